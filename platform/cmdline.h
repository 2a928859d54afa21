// platform/cmdline: the command line as Linux users expect it of each of our programs: --help and --version
// answered on standard output (exit status 0); an unknown option refused with one line and the usage on
// standard error (exit status 2); the X options GLUT takes itself (-display NAME, -geometry WxH+X+Y, -sync,
// -iconic, -direct, -indirect, -gldebug) left for GLUT. "--" ends the options.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

constexpr int EXIT_USAGE = 2;   // the command line was refused

// One option of a program's own: "--seeds" with a value (given as "--seeds 4" or "--seeds=4"), or a switch.
struct OptionSpec {
    const char* name;
    bool takesValue;
};

// What a command line asks for. Made by readCommandLine, read by the program's main.
struct CommandLine {
    std::vector<std::pair<std::string, std::string>> options;   // own options in order, value "" for a switch
    std::vector<std::string> operands;                          // everything else (file names), in order
    std::vector<char*> glutArguments;   // argv[0], then the GLUT options with their values (for glutInit)
    bool help = false;
    bool version = false;
    std::string error;   // why the line is refused, one sentence; empty when it is not
};

// ---------------------------------------------------------------------------
// Operations (cmdline.cpp)
// ---------------------------------------------------------------------------

// Reads argv[1..argc-1]. own lists the program's options and ends with {nullptr, false}; glutOptions says
// whether GLUT's own are taken (for a program that opens a window).
CommandLine readCommandLine(int argc, char** argv, const OptionSpec* own, bool glutOptions);

// Answers --help, --version and a refused line: prints the usage (to out for help, to err after the
// error line "program: error") or "program (Tessivar) VERSION" and returns the exit status; -1 when the
// program goes on.
int answerCommandLine(const CommandLine& line, const char* program, const char* usage, FILE* out = stdout,
                      FILE* err = stderr);

// The version of this build, as CMake's project() gives it ("1.0.0").
const char* programVersion();
