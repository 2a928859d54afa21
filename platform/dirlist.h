// platform/dirlist: names of the files in a folder with a given extension.
#pragma once

#include <string>
#include <vector>

// File names (no folder) in folder ending in extension (e.g. ".tlp"; matched
// case-sensitively), sorted byte-wise so the order is the same on every run.
// A missing or unreadable folder yields an empty list.
std::vector<std::string> listFiles(const std::string& folder, const std::string& extension);
