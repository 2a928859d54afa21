// fuzz_file: a private scratch file for fuzz targets whose code under test reads a path.
// One file per process, in memory-backed /dev/shm when there is one, removed at exit.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Path of this process's scratch file; created on first use.
inline const std::string& scratchPath()
{
    static const std::string path = [] {
        std::string pattern =
            access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp");
        pattern += "/tessivar-fuzz.XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0) {
            perror("mkstemp");
            abort();
        }
        close(fd);
        static std::string removeAtExit;
        removeAtExit = pattern;
        atexit([] { unlink(removeAtExit.c_str()); });
        return pattern;
    }();
    return path;
}

// Replaces the scratch file's contents with size bytes of data.
inline void writeScratch(const uint8_t* data, size_t size)
{
    FILE* file = fopen(scratchPath().c_str(), "wb");
    if (!file || (size > 0 && fwrite(data, 1, size, file) != size) || fclose(file) != 0) {
        perror("scratch file");
        abort();
    }
}
