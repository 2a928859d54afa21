// platform/cmdline: reading and answering the command line (see cmdline.h).
#include "platform/cmdline.h"

#include <cstring>

namespace {

struct GlutOption {
    const char* name;
    bool takesValue;
};

// The options freeglut's glutInit takes out of the command line itself.
const GlutOption GLUT_OPTIONS[] = {{"-display", true}, {"-geometry", true}, {"-direct", false}, {"-indirect", false},
                                   {"-iconic", false}, {"-gldebug", false}, {"-sync", false}};

const OptionSpec* findOwn(const OptionSpec* own, const std::string& name)
{
    for (const OptionSpec* o = own; o && o->name; ++o) {
        if (name == o->name) {
            return o;
        }
    }
    return nullptr;
}

const GlutOption* findGlut(const std::string& name)
{
    for (const GlutOption& o : GLUT_OPTIONS) {
        if (name == o.name) {
            return &o;
        }
    }
    return nullptr;
}

}   // namespace

CommandLine readCommandLine(int argc, char** argv, const OptionSpec* own, bool glutOptions)
{
    CommandLine line;
    if (argc > 0) {
        line.glutArguments.push_back(argv[0]);
    }
    bool optionsEnded = false;
    // The first fault is the one reported; the rest is still read, for a --help further on.
    auto refuse = [&line](const std::string& why) {
        if (line.error.empty()) {
            line.error = why;
        }
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {   // "-" alone is a name too
            line.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            line.help = true;
            continue;
        }
        if (arg == "--version") {
            line.version = true;
            continue;
        }
        if (const GlutOption* g = glutOptions ? findGlut(arg) : nullptr) {
            line.glutArguments.push_back(argv[i]);
            if (g->takesValue) {
                if (i + 1 >= argc) {
                    refuse(arg + " needs a value");
                    break;
                }
                line.glutArguments.push_back(argv[++i]);
            }
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.compare(0, 2, "--") == 0 ? arg.substr(0, equals) : arg;
        const OptionSpec* o = findOwn(own, name);
        if (!o) {
            refuse("unknown option " + name);
        } else if (!o->takesValue) {
            if (equals != std::string::npos) {
                refuse(name + " takes no value");
            } else {
                line.options.emplace_back(name, "");
            }
        } else if (equals != std::string::npos) {
            line.options.emplace_back(name, arg.substr(equals + 1));
        } else if (i + 1 < argc) {
            line.options.emplace_back(name, argv[++i]);
        } else {
            refuse(name + " needs a value");
        }
    }
    return line;
}

int answerCommandLine(const CommandLine& line, const char* program, const char* usage, FILE* out, FILE* err)
{
    // Asked for help, a person gets it even when something else on the line is wrong.
    if (line.help) {
        fputs(usage, out);
        return 0;
    }
    if (!line.error.empty()) {
        fprintf(err, "%s: %s\n", program, line.error.c_str());
        fputs(usage, err);
        return EXIT_USAGE;
    }
    if (line.version) {
        fprintf(out, "%s (Tessivar) %s\n", program, programVersion());
        return 0;
    }
    return -1;
}

const char* programVersion() { return TESSIVAR_VERSION; }
