// The programs' command lines: help, version, refused options, GLUT's own options passed on.
#include "platform/cmdline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const OptionSpec OWN[] = {{"--seeds", true}, {"--window", false}, {nullptr, false}};
const char* const USAGE = "usage: prog [--seeds N] [--window] FILE\n";

CommandLine readLine(std::vector<std::string> words, bool glut = true)
{
    static std::vector<std::string> kept;
    kept = std::move(words);
    kept.insert(kept.begin(), "prog");
    static std::vector<char*> argv;
    argv.clear();
    for (std::string& w : kept) {
        argv.push_back(w.data());
    }
    return readCommandLine(static_cast<int>(argv.size()), argv.data(), OWN, glut);
}

// The exit status answerCommandLine gives, with what it wrote to standard output and standard error.
int answer(const CommandLine& line, std::string& out, std::string& err)
{
    FILE* o = tmpfile();
    FILE* e = tmpfile();
    const int status = answerCommandLine(line, "prog", USAGE, o, e);
    for (auto [file, text] : {std::pair{o, &out}, std::pair{e, &err}}) {
        rewind(file);
        text->clear();
        for (int c; (c = fgetc(file)) != EOF;) {
            text->push_back(static_cast<char>(c));
        }
        fclose(file);
    }
    return status;
}

}   // namespace

TEST(CommandLines, HelpAndVersionGoToStandardOutputAndEndWithZero)
{
    std::string out, err;
    EXPECT_EQ(answer(readLine({"--help"}), out, err), 0);
    EXPECT_EQ(out, USAGE);
    EXPECT_EQ(err, "");
    EXPECT_EQ(answer(readLine({"--bogus", "-h"}), out, err), 0);   // help, whatever else is there
    EXPECT_EQ(answer(readLine({"--version"}), out, err), 0);
    EXPECT_EQ(out, std::string("prog (Tessivar) ") + programVersion() + "\n");
    EXPECT_EQ(answer(readLine({"pack.tlp"}), out, err), -1);
}

TEST(CommandLines, AWrongLineIsOneLineAndTheUsageOnStandardErrorWithStatusTwo)
{
    std::string out, err;
    for (const auto& [words, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--bogus"}, "unknown option --bogus"},
             {{"--bogus=3"}, "unknown option --bogus"},
             {{"--seeds"}, "--seeds needs a value"},
             {{"--window=1"}, "--window takes no value"},
             {{"-display"}, "-display needs a value"},
         }) {
        EXPECT_EQ(answer(readLine(words), out, err), EXIT_USAGE);
        EXPECT_EQ(out, "");
        EXPECT_EQ(err, "prog: " + message + "\n" + USAGE);
    }
    EXPECT_EQ(readLine({"-sync"}, false).error, "unknown option -sync");   // a program without a window
}

TEST(CommandLines, OwnOptionsFilesAndGlutOptionsAreToldApart)
{
    const CommandLine line =
        readLine({"-display", ":5", "--seeds=4", "a.tlp", "--window", "-sync", "--seeds", "7", "--", "--odd.tlp", "-"});
    EXPECT_EQ(line.error, "");
    ASSERT_EQ(line.options.size(), 3u);
    EXPECT_EQ(line.options[0], (std::pair<std::string, std::string>{"--seeds", "4"}));
    EXPECT_EQ(line.options[1], (std::pair<std::string, std::string>{"--window", ""}));
    EXPECT_EQ(line.options[2], (std::pair<std::string, std::string>{"--seeds", "7"}));
    EXPECT_EQ(line.operands, (std::vector<std::string>{"a.tlp", "--odd.tlp", "-"}));
    ASSERT_EQ(line.glutArguments.size(), 4u);
    EXPECT_STREQ(line.glutArguments[1], "-display");
    EXPECT_STREQ(line.glutArguments[2], ":5");
    EXPECT_STREQ(line.glutArguments[3], "-sync");
}
