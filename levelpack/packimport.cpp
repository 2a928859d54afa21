// levelpack/packimport: a pack file from anywhere into the packs folder (see packimport.h).
#include "levelpack/packimport.h"

#include "levelpack/catalogue.h"
#include "levelpack/pack_internal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr size_t COPY_CHUNK = 1 << 16;

std::string baseName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Reads the whole pack at path, hashing its bytes: Ok when it can be played and edited as it is.
PackResult checkWholePack(const std::string& path, int32_t& levels, ContentHash& hash)
{
    PackResult error;
    FILE* file = openPackFile(path, error);
    if (!file) {
        return error;
    }
    IntReader in = readerOverFile(file);
    in.hash = &hash;
    int32_t count = 0;
    int32_t value = 0;
    levels = 0;
    bool good = readValue(in, path, count, error);
    if (good && count < 1) {
        error =
            formatError(path, "the level count is " + std::to_string(count) + ", but a pack holds at least 1 level");
        good = false;
    }
    while (good) {
        const int64_t start = in.index;
        const ReadOutcome first = readInt32(in, value);
        if (first == ReadOutcome::End) {
            break;
        }
        if (first != ReadOutcome::Value) {
            error = describeFailure(in, first, start, path);
            good = false;
            break;
        }
        for (int i = 1; good && i < LEVEL_HEADER_VALUES; ++i) {
            good = readValue(in, path, value, error);
        }
        for (int i = 0; good && i < GRID_CELLS; ++i) {
            good = readBrickCode(in, path, value, error);
        }
        if (good && levels == LEVEL_COUNT_MAX) {
            error = formatError(path, "the file holds more levels than a count can say");
            good = false;
        }
        levels += good ? 1 : 0;
    }
    if (good && levels < count) {
        error = formatError(path, "the level count says " + std::to_string(count) +
                                      " levels, but the file holds only " + std::to_string(levels));
        good = false;
    }
    fclose(file);
    return good ? PackResult{} : error;
}

// Whether the file at path holds exactly length bytes hashing to hash; false when it cannot be read.
bool holdsBytes(const std::string& path, uint64_t hash, uint64_t length)
{
    PackResult error;
    FILE* file = openPackFile(path, error);
    if (!file) {
        return false;
    }
    ContentHash seen;
    char chunk[COPY_CHUNK];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0 && seen.length + got <= length) {
        hashBytes(seen, chunk, got);
    }
    const bool whole = got == 0 && !ferror(file);
    fclose(file);
    return whole && seen.length == length && hashValue(seen) == hash;
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat sa {
    }, sb{};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool exists(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 || errno != ENOENT;   // anything in the way counts as taken
}

}   // namespace

std::string importedPackName(const std::string& fileName, std::string& how)
{
    std::string stem =
        endsWith(fileName, PACK_EXTENSION) ? fileName.substr(0, fileName.size() - strlen(PACK_EXTENSION)) : fileName;
    std::string name;
    bool replaced = false;
    bool gap = false;   // refused characters since the last one kept: one "_" before the next
    for (const char c : stem) {
        if (!packNameCharacterAllowed(c, name.empty())) {
            replaced = true;
            gap = !name.empty();
            continue;
        }
        if (gap) {
            name.push_back('_');
            gap = false;
        }
        name.push_back(c);
    }
    const bool cut = name.size() > static_cast<size_t>(IMPORTED_STEM_MAX);
    name.resize(std::min(name.size(), static_cast<size_t>(IMPORTED_STEM_MAX)));
    if (name.empty()) {
        name = "pack";
    }
    name += PACK_EXTENSION;
    how.clear();
    if (name != fileName) {
        how = "\"" + quoteBytes(fileName) + "\" comes in as \"" + name + "\": ";
        if (replaced) {
            how += "a pack name takes letters, digits, '-', '_' and '.' (not first)";
        } else if (cut) {
            how += "a pack name has at most " + std::to_string(IMPORTED_STEM_MAX) + " characters before \".tlp\"";
        } else {
            how += "a pack file ends in \".tlp\"";
        }
    }
    return name;
}

PackImport planPackImport(const std::string& source, const std::string& folder)
{
    PackImport plan;
    plan.source = source;
    plan.folder = folder;
    ContentHash hash;
    const PackResult checked = checkWholePack(source, plan.levels, hash);
    if (!checked.ok()) {
        plan.message = checked.message;
        return plan;
    }
    plan.hash = hashValue(hash);
    plan.length = hash.length;
    // A pack of the folder given by its path is used as it is, whatever its name.
    const std::string own = baseName(source);
    if (sameFile(source, folder + "/" + own)) {
        plan.name = own;
        plan.state = ImportState::InFolder;
        return plan;
    }
    plan.name = importedPackName(own, plan.renamed);
    const std::string target = folder + "/" + plan.name;
    if (!exists(target)) {
        plan.state = ImportState::Ready;
        return plan;
    }
    if (holdsBytes(target, plan.hash, plan.length)) {
        plan.state = ImportState::InFolder;
        return plan;
    }
    // Kept both before: that copy is used again rather than a third one made.
    const std::string stem = plan.name.substr(0, plan.name.size() - strlen(PACK_EXTENSION));
    for (int n = 2; n <= IMPORT_SUFFIX_MAX; ++n) {
        const std::string candidate = stem + "-" + std::to_string(n) + PACK_EXTENSION;
        const std::string path = folder + "/" + candidate;
        if (!exists(path)) {
            plan.freeName = candidate;
            break;
        }
        if (holdsBytes(path, plan.hash, plan.length)) {
            plan.name = candidate;
            plan.state = ImportState::InFolder;
            return plan;
        }
    }
    plan.state = ImportState::NameTaken;
    return plan;
}

bool finishPackImport(PackImport& plan, ImportChoice choice, std::string& failure)
{
    if (plan.state != ImportState::Ready && plan.state != ImportState::NameTaken) {
        failure = plan.state == ImportState::Refused ? plan.message : "";
        return plan.state == ImportState::InFolder;
    }
    const bool newName = choice == ImportChoice::KeepBoth && plan.state == ImportState::NameTaken;
    if (newName && plan.freeName.empty()) {
        failure = "cannot keep both: " + quoteBytes(plan.folder) + " already holds " +
                  std::to_string(IMPORT_SUFFIX_MAX - 1) + " other packs of that name";
        return false;
    }
    const std::string name = newName ? plan.freeName : plan.name;
    if (newName && exists(plan.folder + "/" + name)) {   // taken since the plan: never written over
        failure = "cannot keep both: " + quoteBytes(plan.folder + "/" + name) + " has appeared meanwhile";
        return false;
    }
    if (mkdir(plan.folder.c_str(), 0755) != 0 && errno != EEXIST) {
        failure = fileFailure("make", plan.folder);
        return false;
    }
    const bool copied = replaceFile(
        plan.folder + "/" + name,
        [&](FILE* out, std::string& why) {
            why.clear();
            PackResult error;
            FILE* in = openPackFile(plan.source, error);
            if (!in) {
                why = error.message;
                return false;
            }
            ContentHash seen;
            char chunk[COPY_CHUNK];
            size_t got = 0;
            bool written = true;
            while (written && seen.length <= plan.length && (got = fread(chunk, 1, sizeof chunk, in)) > 0) {
                hashBytes(seen, chunk, got);
                written = fwrite(chunk, 1, got, out) == got;
            }
            const bool readFailed = ferror(in) != 0;
            fclose(in);
            if (readFailed) {
                why = fileFailure("read", plan.source);
            } else if (!written) {
                why = fileFailure("write", plan.folder + "/" + name);
            } else if (seen.length != plan.length || hashValue(seen) != plan.hash) {
                why = "cannot copy " + quoteBytes(plan.source) + ": it changed while it was read";
            }
            return why.empty();
        },
        failure);
    if (!copied) {
        return false;
    }
    plan.name = name;
    plan.state = ImportState::InFolder;
    return true;
}
