// platform/dirlist: folder listing on std::filesystem.
#include "platform/dirlist.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

std::vector<std::string> listFiles(const std::string& folder, const std::string& extension)
{
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) {
        return names;
    }
    for (const std::filesystem::directory_iterator end; it != end; it.increment(error)) {
        if (error) {
            break;
        }
        std::error_code kindError;
        if (it->is_directory(kindError)) {
            continue;
        }
        std::string name = it->path().filename().string();
        if (name.size() > extension.size() &&
            name.compare(name.size() - extension.size(), extension.size(), extension) == 0) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end(), alphabeticalOrder);
    return names;
}

bool alphabeticalOrder(const std::string& a, const std::string& b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const int x = tolower(static_cast<unsigned char>(a[i]));
        const int y = tolower(static_cast<unsigned char>(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}
