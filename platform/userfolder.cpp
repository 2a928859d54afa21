// platform/userfolder: the per-user folder of an installed program, on POSIX calls.
#include "platform/userfolder.h"

#include "levelpack/safefile.h"
#include "platform/dirlist.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#ifndef TESSIVAR_DATA_FROM_BIN
#define TESSIVAR_DATA_FROM_BIN "../share/tessivar"
#endif

namespace {

std::string errorText(int error) { return std::strerror(error); }

bool isRegularFile(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool exists(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// mkdir -p with 0700 for what it makes, as the XDG rules ask of a data folder.
bool makeFolders(const std::string& path, std::string& error)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "Cannot make the folder \"" + part + "\": " + errorText(errno) + ".";
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = "Cannot make the folder \"" + path + "\": something else has that name.";
        return false;
    }
    return true;
}

// Both regular files with the same bytes.
bool sameContents(const std::string& a, const std::string& b)
{
    if (!isRegularFile(a) || !isRegularFile(b)) {
        return false;
    }
    FILE* fa = fopen(a.c_str(), "rb");
    FILE* fb = fopen(b.c_str(), "rb");
    bool same = fa && fb;
    while (same) {
        char bufA[16384];
        char bufB[16384];
        const size_t na = fread(bufA, 1, sizeof bufA, fa);
        const size_t nb = fread(bufB, 1, sizeof bufB, fb);
        same = na == nb && memcmp(bufA, bufB, na) == 0 && !ferror(fa) && !ferror(fb);
        if (na < sizeof bufA) {
            break;
        }
    }
    if (fa) fclose(fa);
    if (fb) fclose(fb);
    return same;
}

// Copies from into to through the safe replace, so to is either the old file or the whole new one.
bool copyFile(const std::string& from, const std::string& to, std::string& error)
{
    FILE* in = fopen(from.c_str(), "rb");
    if (!in) {
        error = "Cannot read \"" + from + "\": " + errorText(errno) + ".";
        return false;
    }
    std::string failure;
    const bool copied = replaceFile(
        to,
        [&](FILE* out, std::string& failed) {
            char buffer[16384];
            size_t n = 0;
            while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) {
                if (fwrite(buffer, 1, n, out) != n) {
                    failed = fileFailure("write", to);
                    return false;
                }
            }
            if (ferror(in)) {
                failed = fileFailure("read", from);
                return false;
            }
            return true;
        },
        failure);
    fclose(in);
    if (!copied) {
        error = "Cannot copy \"" + from + "\" to \"" + to + "\": " + failure + ".";
    }
    return copied;
}

// One shipped file, rel below both folders: seeded, updated or left as the user has it. A deleted file
// stays deleted unless restore says it is one the user cannot do without.
void seedFile(const std::string& data, const std::string& user, const std::string& rel, bool restore,
              SeedReport& report)
{
    const std::string from = data + "/" + rel;
    const std::string to = user + "/" + rel;
    const std::string record = user + "/" + SHIPPED_RECORD + "/" + rel;
    const bool seededBefore = isRegularFile(record);
    std::string error;
    bool ok = true;
    if (!exists(to)) {
        // Missing though seeded before: the user deleted it, and a deleted pack stays deleted.
        if (!seededBefore || restore) {
            ok = copyFile(from, to, error);
            report.added += ok;
        }
    } else if (seededBefore && sameContents(to, record) && !sameContents(to, from)) {
        ok = copyFile(from, to, error);
        report.updated += ok;
    }
    // The record follows only a user file that was seeded, so a failed copy is tried again next time.
    if (ok && !sameContents(record, from)) {
        ok = copyFile(from, record, error);
    }
    if (!ok) {
        report.problems.push_back(error);
    }
}

// user/name -> data/name, made or pointed again at data.
void linkFolder(const std::string& data, const std::string& user, const std::string& name, SeedReport& report)
{
    const std::string target = data + "/" + name;
    const std::string link = user + "/" + name;
    struct stat st {};
    if (lstat(link.c_str(), &st) != 0) {
        if (symlink(target.c_str(), link.c_str()) == 0) {
            ++report.linked;
            return;
        }
        if (errno != EEXIST || lstat(link.c_str(), &st) != 0) {   // EEXIST: the other program was quicker
            report.problems.push_back("Cannot link \"" + link + "\" to \"" + target + "\": " + errorText(errno) + ".");
            return;
        }
    }
    if (!S_ISLNK(st.st_mode)) {
        report.problems.push_back("\"" + link + "\" is not a link to the installed \"" + target +
                                  "\"; it is used as it is.");
        return;
    }
    char current[PATH_MAX];
    const ssize_t length = readlink(link.c_str(), current, sizeof current - 1);
    if (length >= 0 && target.compare(0, std::string::npos, current, static_cast<size_t>(length)) == 0) {
        return;
    }
    // A link made by an installation that has moved since: replaced in one rename.
    const std::string temp = link + ".new-" + std::to_string(getpid());
    unlink(temp.c_str());
    if (symlink(target.c_str(), temp.c_str()) != 0 || rename(temp.c_str(), link.c_str()) != 0) {
        report.problems.push_back("Cannot link \"" + link + "\" to \"" + target + "\": " + errorText(errno) + ".");
        unlink(temp.c_str());
        return;
    }
    ++report.linked;
}

}   // namespace

std::string installedDataFolder(const std::string& executable, const std::string& dataFromBin)
{
    const size_t slash = executable.rfind('/');
    if (slash == std::string::npos) {
        return "";
    }
    const std::string candidate = executable.substr(0, slash + 1) + dataFromBin;
    if (!isRegularFile(candidate + "/config.ini")) {
        return "";
    }
    char resolved[PATH_MAX];
    return realpath(candidate.c_str(), resolved) ? std::string(resolved) : "";
}

std::string userFolderPath(const char* xdgDataHome, const char* home)
{
    if (xdgDataHome && xdgDataHome[0] == '/') {
        return std::string(xdgDataHome) + "/" + USER_FOLDER_NAME;
    }
    if (home && home[0] == '/') {
        std::string base(home);
        if (base.size() > 1 && base.back() == '/') {
            base.pop_back();
        }
        return base + "/.local/share/" + USER_FOLDER_NAME;
    }
    return "";
}

SeedReport seedUserFolder(const std::string& data, const std::string& user)
{
    SeedReport report;
    std::string error;
    if (!makeFolders(user, error)) {
        report.problems.push_back(error);
        return report;
    }
    // Only the top level and "Levels Packs" are looked at: what is seeded is small and known.
    std::error_code listError;
    for (std::filesystem::directory_iterator it(data, listError), end; !listError && it != end;
         it.increment(listError)) {
        const std::string name = it->path().filename().string();
        std::error_code kindError;
        if (name.empty() || name[0] == '.') {
            continue;
        }
        if (name == SEEDED_FOLDER) {
            const std::string packs = user + "/" + SEEDED_FOLDER;
            const std::string record = user + "/" + SHIPPED_RECORD + "/" + SEEDED_FOLDER;
            if (!makeFolders(packs, error) || !makeFolders(record, error)) {
                report.problems.push_back(error);
                continue;
            }
            // The packs, and the ratings kept beside them (which name the pack's content they rate).
            for (const char* kind : {".tlp", ".tlp.ratings"}) {
                for (const std::string& file : listFiles(data + "/" + SEEDED_FOLDER, kind)) {
                    seedFile(data, user, std::string(SEEDED_FOLDER) + "/" + file, false, report);
                }
            }
        } else if (it->is_directory(kindError)) {
            linkFolder(data, user, name, report);
        } else if (it->is_regular_file(kindError)) {
            if (!makeFolders(user + "/" + SHIPPED_RECORD, error)) {
                report.problems.push_back(error);
                continue;
            }
            seedFile(data, user, name, true, report);   // config.ini: deleted, it comes back as shipped
        }
    }
    if (listError) {
        report.problems.push_back("Cannot list the installed data in \"" + data + "\": " + listError.message() + ".");
    }
    return report;
}

namespace {

// This program's installed data folder and the user folder that goes with it; data is empty when the
// program runs from a build tree, user when neither XDG_DATA_HOME nor a home folder is known.
void findInstallation(std::string& data, std::string& user)
{
    data.clear();
    user.clear();
    char executable[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", executable, sizeof executable - 1);
    if (length <= 0) {
        return;
    }
    executable[length] = '\0';
    data = installedDataFolder(executable, TESSIVAR_DATA_FROM_BIN);
    if (data.empty()) {
        return;
    }
    const char* home = getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* entry = getpwuid(getuid());
        home = entry ? entry->pw_dir : nullptr;
    }
    user = userFolderPath(getenv("XDG_DATA_HOME"), home);
}

}   // namespace

std::string installedUserFolder()
{
    std::string data;
    std::string user;
    findInstallation(data, user);
    return user;
}

bool enterUserFolder()
{
    std::string data;
    std::string user;
    findInstallation(data, user);
    if (data.empty()) {
        return true;   // a build tree: the caller's working directory is the runtime folder
    }
    if (user.empty()) {
        printf("Cannot find a folder for the settings and level packs: neither XDG_DATA_HOME nor HOME is set.\n");
        return false;
    }
    const SeedReport report = seedUserFolder(data, user);
    for (const std::string& problem : report.problems) {
        printf("%s\n", problem.c_str());
    }
    if (chdir(user.c_str()) != 0) {
        printf("Cannot work in \"%s\": %s.\n", user.c_str(), errorText(errno).c_str());
        return false;
    }
    if (report.added > 0) {
        printf("Settings and level packs are in \"%s\".\n", user.c_str());
    }
    return true;
}
