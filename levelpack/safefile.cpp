// levelpack/safefile: replacing a file safely, on POSIX calls (see safefile.h).
#include "levelpack/safefile.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int LINK_HOPS_MAX = 40;   // as the kernel allows when it follows links itself
constexpr int SCRATCH_TRIES = 100;
constexpr size_t SCRATCH_NAME_LENGTH = 6;   // random characters after SCRATCH_MARK

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withReason(const std::string& action, const std::string& path, const std::string& reason)
{
    return "cannot " + action + " " + path + ": " + reason;
}

// Where path leads when it is a link (or a chain of them); path itself otherwise, also when nothing is
// there yet. The link stays as it is: the file it leads to is what gets replaced.
bool resolveLinks(const std::string& path, std::string& target, std::string& failure)
{
    std::string current = path;
    for (int hop = 0; hop <= LINK_HOPS_MAX; ++hop) {
        struct stat st {};
        if (lstat(current.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                target = current;
                return true;
            }
            failure = fileFailure("write", path);
            return false;
        }
        if (!S_ISLNK(st.st_mode)) {
            target = current;
            return true;
        }
        char buffer[PATH_MAX];
        const ssize_t length = readlink(current.c_str(), buffer, sizeof buffer - 1);
        if (length <= 0) {
            failure = fileFailure("write", path);
            return false;
        }
        const std::string next(buffer, static_cast<size_t>(length));
        current = next[0] == '/' ? next : folderOf(current) + "/" + next;
    }
    failure = withReason("write", path, "too many symbolic links");
    return false;
}

// A file or folder the user may not change: what access() says, and for the superuser, whom access()
// never refuses, a mode without any write permission, which is how a file is marked read-only.
bool writable(const std::string& path, const struct stat& st, std::string& reason)
{
    if ((st.st_mode & 0222) == 0) {
        char mode[16];
        snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        reason = std::string("it is read-only (mode ") + mode + ")";
        return false;
    }
    if (access(path.c_str(), W_OK) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    return true;
}

const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    return "not a regular file";
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Waits for the other writer of fd's file, up to the deadline.
bool lockWaiting(int fd, double deadline)
{
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return false;
        }
        if (monotonicMs() > deadline) {
            errno = EWOULDBLOCK;
            return false;
        }
        usleep(2000);
    }
}

// Checks that replace.target may be replaced and, when it exists, opens and locks it: the lock is taken on
// the file the path names once it is held, so a writer that waited for another one's rename locks the new
// file, not the one that was replaced.
bool lockTarget(FileReplace& replace, struct stat& existing, bool& exists, std::string& failure)
{
    const std::string folder = folderOf(replace.target);
    struct stat folderStat {};
    std::string reason;
    if (stat(folder.c_str(), &folderStat) != 0) {
        failure = fileFailure("write", replace.path);
        return false;
    }
    if (!writable(folder, folderStat, reason)) {
        failure = withReason("write", replace.path,
                             "its folder " + folder + " is not writable (" +
                                 (reason.rfind("it is ", 0) == 0 ? reason.substr(6) : reason) + ")");
        return false;
    }
    const double deadline = monotonicMs() + REPLACE_LOCK_WAIT_MS;
    for (;;) {
        if (stat(replace.target.c_str(), &existing) != 0) {
            if (errno != ENOENT) {
                failure = fileFailure("write", replace.path);
                return false;
            }
            exists = false;
            return true;
        }
        exists = true;
        if (!S_ISREG(existing.st_mode)) {
            failure = withReason("write", replace.path, std::string("it is ") + kindOf(existing.st_mode));
            return false;
        }
        if (!writable(replace.target, existing, reason)) {
            failure = withReason("write", replace.path, reason);
            return false;
        }
        const int fd = open(replace.target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
        if (fd < 0) {
            failure = fileFailure("open", replace.path);
            return false;
        }
        if (!lockWaiting(fd, deadline)) {
            failure = errno == EWOULDBLOCK ? withReason("write", replace.path, "another program is writing it")
                                           : fileFailure("lock", replace.path);
            close(fd);
            return false;
        }
        struct stat held {};
        struct stat now {};
        if (fstat(fd, &held) == 0 && stat(replace.target.c_str(), &now) == 0 && sameFile(held, now)) {
            replace.lockFd = fd;
            existing = held;
            return true;
        }
        close(fd);   // replaced while we waited: look again
        if (monotonicMs() > deadline) {
            failure = withReason("write", replace.path, "another program keeps replacing it");
            return false;
        }
    }
}

void randomName(char* out, size_t length)
{
    static const char LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[16] = {};
    if (getrandom(bytes, length, GRND_NONBLOCK) != static_cast<ssize_t>(length)) {
        // Only uniqueness matters, and O_EXCL guards that: any changing value will do.
        static unsigned counter = 0;
        const unsigned long mix =
            static_cast<unsigned long>(monotonicMs() * 1000) ^ (static_cast<unsigned long>(getpid()) << 16) ^ ++counter;
        for (size_t i = 0; i < length; ++i) {
            bytes[i] = static_cast<unsigned char>(mix >> (i * 5));
        }
    }
    for (size_t i = 0; i < length; ++i) {
        out[i] = LETTERS[bytes[i] % (sizeof LETTERS - 1)];
    }
    out[length] = '\0';
}

// Scratch files of target left by writers that were killed: with the lock held no writer of target is at
// work, so every one there is stale.
void removeStaleScratch(const std::string& target)
{
    const std::string folder = folderOf(target);
    std::string stem = nameOf(target);   // built in steps: GCC 12 at -O3 warns falsely of "." + name
    stem.insert(0, 1, '.');
    stem += SCRATCH_MARK;
    DIR* listing = opendir(folder.c_str());
    if (!listing) {
        return;
    }
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.size() == stem.size() + SCRATCH_NAME_LENGTH && name.compare(0, stem.size(), stem) == 0) {
            unlinkat(dirfd(listing), name.c_str(), 0);
        }
    }
    closedir(listing);
}

// A new file of its own beside the target: O_EXCL never opens what is there, a link included.
bool makeScratch(FileReplace& replace, const struct stat* existing, std::string& failure)
{
    const std::string stem = folderOf(replace.target) + "/." + nameOf(replace.target) + SCRATCH_MARK;
    for (int attempt = 0; attempt < SCRATCH_TRIES; ++attempt) {
        char suffix[SCRATCH_NAME_LENGTH + 1];
        randomName(suffix, SCRATCH_NAME_LENGTH);
        const std::string name = stem + suffix;
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, existing ? 0600 : 0666);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            failure = withReason("write", replace.path,
                                 std::string("cannot make a scratch file beside it (") + std::strerror(errno) + ")");
            return false;
        }
        replace.scratch = name;
        if (existing) {
            // The file keeps its permissions and, where the system lets us, its owner.
            fchmod(fd, existing->st_mode & 07777);
            if ((existing->st_uid != geteuid() || existing->st_gid != getegid()) &&
                fchown(fd, existing->st_uid, existing->st_gid) != 0) {
                // Not ours to give away; the file is still written.
            }
        }
        replace.out = fdopen(fd, "wb");
        if (!replace.out) {
            failure = fileFailure("write", replace.path);
            close(fd);
            return false;
        }
        return true;
    }
    failure = withReason("write", replace.path, "cannot find a free scratch file name beside it");
    return false;
}

}   // namespace

std::string fileFailure(const std::string& action, const std::string& path)
{
    return withReason(action, path, std::strerror(errno));
}

bool beginReplace(const std::string& path, FileReplace& replace, std::string& failure)
{
    replace = FileReplace{};
    replace.path = path;
    if (!resolveLinks(path, replace.target, failure)) {
        return false;
    }
    struct stat existing {};
    bool exists = false;
    if (!lockTarget(replace, existing, exists, failure)) {
        return false;
    }
    if (exists) {
        removeStaleScratch(replace.target);
    }
    if (!makeScratch(replace, exists ? &existing : nullptr, failure)) {
        abandonReplace(replace);
        return false;
    }
    return true;
}

bool finishReplace(FileReplace& replace, std::string& failure)
{
    auto fail = [&](const char* action) {
        failure = fileFailure(action, replace.path);
        abandonReplace(replace);
        return false;
    };
    if (fflush(replace.out) != 0) {
        return fail("write");
    }
    if (fsync(fileno(replace.out)) != 0) {
        return fail("flush to disk");
    }
    const int closed = fclose(replace.out);
    replace.out = nullptr;
    if (closed != 0) {
        return fail("write");
    }
    if (rename(replace.scratch.c_str(), replace.target.c_str()) != 0) {
        return fail("replace");
    }
    replace.scratch.clear();
    // The rename reaches the disk with the folder. Its result is not checked: the new file is in place
    // and there is nothing left to undo.
    const int folder = open(folderOf(replace.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    abandonReplace(replace);   // releases the lock; nothing else is left
    return true;
}

void abandonReplace(FileReplace& replace)
{
    const int error = errno;   // the caller's reason stays readable
    if (replace.out) {
        fclose(replace.out);
        replace.out = nullptr;
    }
    if (!replace.scratch.empty()) {
        unlink(replace.scratch.c_str());
        replace.scratch.clear();
    }
    if (replace.lockFd >= 0) {
        close(replace.lockFd);
        replace.lockFd = -1;
    }
    errno = error;
}

bool replaceFile(const std::string& path, const std::function<bool(FILE* out, std::string& failure)>& write,
                 std::string& failure)
{
    FileReplace replace;
    if (!beginReplace(path, replace, failure)) {
        return false;
    }
    if (!write(replace.out, failure)) {
        abandonReplace(replace);
        return false;
    }
    return finishReplace(replace, failure);
}

void ignoreFileSizeSignal() { signal(SIGXFSZ, SIG_IGN); }
