/* glcount: an LD_PRELOAD library that counts every OpenGL call a program makes, for the render
 * benchmark (GL calls per frame: on a real GPU their cost, not the pixels, bounds a frame).
 *
 * Each GL entry point of GL/gl.h gets a stub of two instructions (count, jump to the real function),
 * so arguments and results pass untouched whatever the signature. Functions the program fetches
 * with glXGetProcAddress(ARB) (GLEW fetches all of GL 1.2 and later so) get a stub from a pool.
 * Calls that GLU and GLUT make count too: they are GL calls the frame pays for.
 *
 * The counted program asks through dlsym(RTLD_DEFAULT, ...):
 *   unsigned long long glcountTotal(void)          calls so far
 *   void glcountReset(void)                        starts the counts again from 0
 *   void glcountReport(FILE* out, int lines)       the most called functions so far, with counts */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Generated from GL/gl.h: DIRECT_COUNT, GLCOUNT_DIRECT (X(slot, name) for every entry point) and
 * GLCOUNT_POOL (P(slot, index) for each pool stub). */
#include "glcount_names.inc"

__attribute__((
    visibility("hidden"))) unsigned long long glcountCalls[DIRECT_COUNT + POOL_SIZE]; /* per stub, read by the stubs */
__attribute__((visibility("hidden"))) void* glcountTargets[DIRECT_COUNT + POOL_SIZE]; /* the real functions */
static const char* stubNames[DIRECT_COUNT + POOL_SIZE];
static int poolUsed;

/* The stubs, in the text section: count, then jump on with every register as the caller left it. */
#define STUB(slot, name)                                                                                               \
    __asm__(".text\n.globl " #name "\n.type " #name ",@function\n" #name ":\n"                                         \
            "incq glcountCalls+8*" #slot "(%rip)\n"                                                                    \
            "jmp *glcountTargets+8*" #slot "(%rip)\n");
#define X(slot, name) STUB(slot, name)
#define P(slot, index) STUB(slot, glcountPool##index)
GLCOUNT_DIRECT
GLCOUNT_POOL
#undef X
#undef P

#define X(slot, name) void name(void);
#define P(slot, index) void glcountPool##index(void);
GLCOUNT_DIRECT
GLCOUNT_POOL
#undef X
#undef P
static void (*const directStubs[DIRECT_COUNT])(void) = {
#define X(slot, name) name,
    GLCOUNT_DIRECT
#undef X
};
static void (*const poolStubs[POOL_SIZE])(void) = {
#define P(slot, index) glcountPool##index,
    GLCOUNT_POOL
#undef P
};

/* A function the counted program calls when the real one is missing: say so once and stop. */
static void missing(void)
{
    fprintf(stderr, "glcount: a GL function without an implementation was called\n");
    abort();
}

__attribute__((constructor)) static void resolveDirect(void)
{
#define X(slot, name)                                                                                                  \
    glcountTargets[slot] = dlsym(RTLD_NEXT, #name);                                                                    \
    if (!glcountTargets[slot]) {                                                                                       \
        glcountTargets[slot] = (void*)missing;                                                                         \
    }                                                                                                                  \
    stubNames[slot] = #name;
    GLCOUNT_DIRECT
#undef X
}

typedef void (*Proc)(void);

/* The stub for a fetched function: a direct one by name, else the same pool stub every time. */
static Proc stubFor(const char* name, Proc real)
{
    if (!real || strncmp(name, "gl", 2) != 0 || strncmp(name, "glX", 3) == 0) {
        return real;
    }
    for (int i = 0; i < DIRECT_COUNT; ++i) {
        if (strcmp(stubNames[i], name) == 0) {
            return directStubs[i];
        }
    }
    for (int i = 0; i < poolUsed; ++i) {
        if (strcmp(stubNames[DIRECT_COUNT + i], name) == 0) {
            return poolStubs[i];
        }
    }
    if (poolUsed == POOL_SIZE) {
        return real; /* uncounted; the pool holds more than GLEW asks for */
    }
    const int slot = DIRECT_COUNT + poolUsed;
    glcountTargets[slot] = (void*)real;
    stubNames[slot] = strdup(name);
    return poolStubs[poolUsed++];
}

Proc glXGetProcAddressARB(const unsigned char* name)
{
    static Proc (*real)(const unsigned char*);
    if (!real) {
        real = (Proc(*)(const unsigned char*))dlsym(RTLD_NEXT, "glXGetProcAddressARB");
    }
    return real ? stubFor((const char*)name, real(name)) : NULL;
}

Proc glXGetProcAddress(const unsigned char* name)
{
    static Proc (*real)(const unsigned char*);
    if (!real) {
        real = (Proc(*)(const unsigned char*))dlsym(RTLD_NEXT, "glXGetProcAddress");
    }
    return real ? stubFor((const char*)name, real(name)) : NULL;
}

unsigned long long glcountTotal(void)
{
    unsigned long long total = 0;
    for (int i = 0; i < DIRECT_COUNT + POOL_SIZE; ++i) {
        total += glcountCalls[i];
    }
    return total;
}

void glcountReset(void) { memset(glcountCalls, 0, sizeof glcountCalls); }

void glcountReport(FILE* out, int lines)
{
    static unsigned long long shown[DIRECT_COUNT + POOL_SIZE];
    memcpy(shown, glcountCalls, sizeof shown);
    for (int line = 0; line < lines; ++line) {
        int best = -1;
        for (int i = 0; i < DIRECT_COUNT + POOL_SIZE; ++i) {
            if (shown[i] && (best < 0 || shown[i] > shown[best])) {
                best = i;
            }
        }
        if (best < 0) {
            break;
        }
        fprintf(out, "  %-28s %llu\n", stubNames[best] ? stubNames[best] : "?", shown[best]);
        shown[best] = 0;
    }
}
