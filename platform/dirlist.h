// platform/dirlist: names of the files in a folder with a given extension.
#pragma once

#include <string>
#include <vector>

// File names (no folder) in folder ending in extension (e.g. ".tlp"; matched
// case-sensitively), in alphabeticalOrder: the game and the editor both list
// packs through it, so they show them in the same order on every run.
// A missing or unreadable folder yields an empty list.
std::vector<std::string> listFiles(const std::string& folder, const std::string& extension);

// a before b as a person reads a list of names: letters compared without their case ("arcade.tlp",
// "Classic.tlp", "starter.tlp"); names that differ only in case, byte-wise, so the order is total.
bool alphabeticalOrder(const std::string& a, const std::string& b);
