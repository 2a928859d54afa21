// levelpack/safefile: the one way the programs replace a file: level packs, config.ini and the user
// folder's copies. The new contents go to a scratch file of the call's own, made beside the file
// exclusively (never through a link, never over another program's file); they are flushed to disk and
// renamed over the file, and the folder is flushed too. A failure anywhere leaves the file byte-identical
// and removes the scratch file. A file that is a symbolic link is written through to the file it leads to,
// and stays a link. A file or folder the user cannot write is refused before anything is written. The file
// is locked (an advisory lock) from the start to the rename, so two writers take turns; the writer holding
// the lock also removes the scratch files a killed writer of the same file left.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

constexpr const char* SCRATCH_MARK = ".scratch-";   // every scratch file is named ".<file>.scratch-XXXXXX"
constexpr int REPLACE_LOCK_WAIT_MS = 5000;          // how long a writer waits for another one to finish

// One replacement, from beginReplace to finishReplace or abandonReplace.
struct FileReplace {
    std::string path;      // the file as the caller named it, for messages
    std::string target;    // the file that is replaced: path, or where the links at path lead
    std::string scratch;   // the scratch file beside target; empty once renamed or removed
    int lockFd = -1;       // target as it was, open for reading and locked; -1 when there was none
    FILE* out = nullptr;   // the scratch file, open for writing
};

// Makes the scratch file for replacing path, after checking that path can be written, and locks the file
// that is there. False with failure saying why ("cannot write <path>: ..."); nothing is left behind then.
bool beginReplace(const std::string& path, FileReplace& replace, std::string& failure);

// Flushes the scratch file to disk, renames it over the target and flushes the folder; releases the lock.
// On failure the target is untouched and the scratch file gone.
bool finishReplace(FileReplace& replace, std::string& failure);

// Gives up: the scratch file is removed, the lock released, the target untouched.
void abandonReplace(FileReplace& replace);

// beginReplace, write(out, failure), finishReplace; abandonReplace when any step fails.
bool replaceFile(const std::string& path, const std::function<bool(FILE* out, std::string& failure)>& write,
                 std::string& failure);

// "cannot <action> <path>: <the system's reason>", from errno.
std::string fileFailure(const std::string& action, const std::string& path);

// A write past the process's file-size limit then fails with an error the writer reports (EFBIG),
// instead of ending the program. Every program calls it first thing.
void ignoreFileSizeSignal();
