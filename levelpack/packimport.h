// levelpack/packimport: bringing a pack file from anywhere (a download, a mail, a USB stick) into the packs
// folder, as both programs do with a file given on their command line. The file is read whole and checked
// first, so a damaged one is refused with the reason and copied nowhere; then it is compared with the pack of
// the same name already there; then copied in through the safe replace, byte for byte as checked.
#pragma once

#include <cstdint>
#include <string>

constexpr int IMPORTED_STEM_MAX = 64;    // characters of an imported name before ".tlp", room left for "-NNN"
constexpr int IMPORT_SUFFIX_MAX = 999;   // "<stem>-2.tlp" up to "<stem>-999.tlp" keep both of a name

// Where planning left the file.
enum class ImportState {
    Refused,     // not a pack this program can use (message says why); nothing copied
    InFolder,    // the folder holds it already, as name (the file itself, or the same bytes): use that
    NameTaken,   // a different pack is there under name: the person chooses Replace or KeepBoth
    Ready,       // nothing of that name: finishPackImport copies it in
};

enum class ImportChoice {
    Replace,    // the pack of that name gives way (or there was none)
    KeepBoth,   // the file comes in under freeName
};

// One file on its way into the packs folder; lives from planPackImport to finishPackImport.
struct PackImport {
    std::string source;   // the file as given (absolute, or relative to where the program started)
    std::string folder;   // the packs folder
    ImportState state = ImportState::Refused;
    std::string name;       // file name in the folder: the source's own, made a pack name (ends in ".tlp")
    std::string renamed;    // how the name had to change, in words; empty when it is the source's own
    std::string freeName;   // NameTaken: the first "<stem>-N.tlp" not taken, for KeepBoth
    std::string message;    // Refused: why
    int32_t levels = 0;     // complete levels the file holds
    uint64_t hash = 0;      // ContentHash of the bytes checked
    uint64_t length = 0;    // and their number
};

// ---------------------------------------------------------------------------
// Operations (packimport.cpp)
// ---------------------------------------------------------------------------

// The pack name a file of that name comes in as: ".tlp" at the end, and every run of characters a pack
// name cannot hold (packNameCharacterAllowed) as one "_"; how it changed goes to how (empty when it
// did not).
std::string importedPackName(const std::string& fileName, std::string& how);

// Reads and checks source (a regular file; the level count at least 1 and the file holding that many
// complete levels of valid values), then looks at what folder holds under its name. Writes nothing.
PackImport planPackImport(const std::string& source, const std::string& folder);

// Copies the planned file in (a Ready or NameTaken plan): as name with Replace, as freeName with KeepBoth.
// The folder is made when it is missing. A file whose bytes changed since they were checked is refused and
// nothing is written. On success the plan is InFolder and name the file in the folder; false with failure
// saying why otherwise.
bool finishPackImport(PackImport& plan, ImportChoice choice, std::string& failure);
