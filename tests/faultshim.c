/* faultshim: an LD_PRELOAD library that makes file calls fail on demand, for the save fault tests.
 *
 *   FAULT_CALL   write | fsync | close | rename   the call to fail (unset: the shim does nothing)
 *   FAULT_PATH   text the file's path must contain (rename: the source path); unset matches every file
 *   FAULT_TIMES  failures to inject before calls pass again (default: every matching call)
 *   FAULT_ERRNO  errno of the failure (default ENOSPC for write, EIO otherwise)
 *
 * glibc's stdio writes and closes through internal entry points that an LD_PRELOAD library cannot
 * reach, so "write" also fails fwrite and fflush, and "close" also fails fclose (after really closing,
 * as the kernel does). Each injected failure is noted on standard error. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static long injected; /* failures so far */

/* The real function behind name; the shim is useless without it, so a missing one ends the run. */
static void* real(const char* name)
{
    void* f = dlsym(RTLD_NEXT, name);
    if (!f) {
        fprintf(stderr, "faultshim: no %s to wrap\n", name);
        abort();
    }
    return f;
}

static int pathOfFd(int fd, char* out, size_t size)
{
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, out, size - 1);
    if (n < 0) {
        return 0;
    }
    out[n] = '\0';
    return 1;
}

/* True when this call of kind on path is to fail; sets errno and counts it. */
static int shouldFail(const char* kind, const char* path)
{
    const char* call = getenv("FAULT_CALL");
    if (!call || strcmp(call, kind) != 0 || !path) {
        return 0;
    }
    const char* want = getenv("FAULT_PATH");
    if (want && *want && !strstr(path, want)) {
        return 0;
    }
    const char* times = getenv("FAULT_TIMES");
    if (times && injected >= atol(times)) {
        return 0;
    }
    ++injected;
    const char* code = getenv("FAULT_ERRNO");
    const int error = code ? atoi(code) : (strcmp(kind, "write") == 0 ? ENOSPC : EIO);
    fprintf(stderr, "faultshim: failing %s on %s (%s)\n", kind, path, strerror(error));
    errno = error;
    return 1;
}

static int fdFails(const char* kind, int fd)
{
    char path[PATH_MAX];
    return getenv("FAULT_CALL") && pathOfFd(fd, path, sizeof path) && shouldFail(kind, path);
}

ssize_t write(int fd, const void* data, size_t size)
{
    static ssize_t (*next)(int, const void*, size_t);
    if (!next) {
        next = (ssize_t(*)(int, const void*, size_t))real("write");
    }
    /* Standard error carries the shim's own notes. */
    if (fd != 2 && fdFails("write", fd)) {
        return -1;
    }
    return next(fd, data, size);
}

size_t fwrite(const void* data, size_t size, size_t count, FILE* file)
{
    static size_t (*next)(const void*, size_t, size_t, FILE*);
    if (!next) {
        next = (size_t(*)(const void*, size_t, size_t, FILE*))real("fwrite");
    }
    if (file != stderr && count > 0 && size > 0 && fdFails("write", fileno(file))) {
        return 0;
    }
    return next(data, size, count, file);
}

int fflush(FILE* file)
{
    static int (*next)(FILE*);
    if (!next) {
        next = (int (*)(FILE*))real("fflush");
    }
    if (file && file != stderr && fdFails("write", fileno(file))) {
        return EOF;
    }
    return next(file);
}

int fsync(int fd)
{
    static int (*next)(int);
    if (!next) {
        next = (int (*)(int))real("fsync");
    }
    if (fdFails("fsync", fd)) {
        return -1;
    }
    return next(fd);
}

int close(int fd)
{
    static int (*next)(int);
    if (!next) {
        next = (int (*)(int))real("close");
    }
    const int fails = fdFails("close", fd);
    const int saved = errno;
    const int result = next(fd);
    if (fails) {
        errno = saved;
        return -1;
    }
    return result;
}

int fclose(FILE* file)
{
    static int (*next)(FILE*);
    if (!next) {
        next = (int (*)(FILE*))real("fclose");
    }
    const int fails = fdFails("close", fileno(file));
    const int saved = errno;
    const int result = next(file);
    if (fails) {
        errno = saved;
        return EOF;
    }
    return result;
}

int rename(const char* from, const char* to)
{
    static int (*next)(const char*, const char*);
    if (!next) {
        next = (int (*)(const char*, const char*))real("rename");
    }
    if (shouldFail("rename", from)) {
        return -1;
    }
    return next(from, to);
}
