// platform/userfolder: where an installed program works. An installed tessivar or tles finds its read-only
// data beside its executable (<prefix>/bin/../share/tessivar), makes the per-user folder
// $XDG_DATA_HOME/tessivar, seeds it with config.ini and the shipped packs, links the data folders (Textures,
// Shaders, sounds) into it and makes it the working directory, so the programs keep reading and writing
// plain relative paths. Started from a build tree it changes nothing.
#pragma once

#include <string>
#include <vector>

constexpr const char* USER_FOLDER_NAME = "tessivar";    // below $XDG_DATA_HOME
constexpr const char* SEEDED_FOLDER = "Levels Packs";   // seeded file by file; every other data folder is linked
constexpr const char* SHIPPED_RECORD = ".shipped";      // in the user folder: the copies last seeded

// What one seeding did. Lives for one call of seedUserFolder.
struct SeedReport {
    int added = 0;                       // files copied in that the user folder lacked
    int updated = 0;                     // files replaced because the user had left the shipped copy as it was
    int linked = 0;                      // data folders linked in, or relinked to a moved installation
    std::vector<std::string> problems;   // one sentence per thing that failed or was left alone; the rest went on
};

// The installed data folder of the program at executable (an absolute path, symbolic links resolved):
// dataFromBin relative to the executable's folder, when it holds a config.ini. Empty otherwise, as for a
// program started from its build tree.
std::string installedDataFolder(const std::string& executable, const std::string& dataFromBin);

// $XDG_DATA_HOME/tessivar, or home/.local/share/tessivar when XDG_DATA_HOME is unset, empty or relative (the
// XDG rule); empty when home is not an absolute path either.
std::string userFolderPath(const char* xdgDataHome, const char* home);

// Makes user (and its missing parents, 0700) and brings it up to date with data:
//  - every data file at the top (config.ini), every "Levels Packs/*.tlp" and its ".tlp.ratings" is copied in
//    when missing, and replaced when the user's copy still equals the one seeded last time; a file the user changed stays as
//    it is, and so does a pack the user deleted (a deleted config.ini comes back). The copies seeded last
//    time are kept in user/.shipped for that comparison;
//  - every other data folder is reached through a symbolic link user/<name> -> data/<name>, made or
//    pointed again at data when the installation moved; something else of that name is left alone.
// Files are written through the safe replace (levelpack/safefile.h), so a second program starting at the
// same time never sees half a file.
SeedReport seedUserFolder(const std::string& data, const std::string& user);

// The user folder when this program is installed; empty when it runs from a build tree.
std::string installedUserFolder();

// The one start-up call of each program, before anything reads a file. Installed: seeds the user folder,
// prints any problem and changes into it. From a build tree: nothing. False (with a message printed) only
// when an installed program has no folder to work in.
bool enterUserFolder();
