#include "app/CommandLine.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TCommandLineCase
{
    const char *Name;
    std::vector<const char *> Args; // after the program's name
    std::optional<int> ExitCode;
    const char *OutputStart; // what the output begins with; empty for none
};

void PrintTo(const TCommandLineCase &ACase, std::ostream *AOut)
{
    *AOut << ACase.Name;
}

class CommandLine : public ::testing::TestWithParam<TCommandLineCase>
{};

TEST_P(CommandLine, AnswersOnlyItsOwnOptions)
{
    const TCommandLineCase &c = GetParam();
    std::vector<const char *> argv{"ovilen"};
    argv.insert(argv.end(), c.Args.begin(), c.Args.end());
    std::ostringstream out;
    EXPECT_EQ(HandleCommandLine(static_cast<int>(argv.size()), argv.data(), out), c.ExitCode);
    const std::string text = out.str();
    if (*c.OutputStart == '\0')
        EXPECT_EQ(text, "");
    else
        EXPECT_EQ(text.substr(0, std::string(c.OutputStart).size()), c.OutputStart) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLine,
    ::testing::Values(
        TCommandLineCase{"NoArguments", {}, std::nullopt, ""},
        TCommandLineCase{"Version", {"--version"}, 0, "ovilen " OVILEN_TEST_VERSION "\n"},
        TCommandLineCase{"Help", {"--help"}, 0, "Usage: ovilen [options]\n"},
        TCommandLineCase{"ShortHelp", {"-h"}, 0, "Usage: ovilen [options]\n"},
        TCommandLineCase{"HelpAfterQtOptions", {"-platform", "offscreen", "--help"}, 0, "Usage:"},
        TCommandLineCase{"FirstOfTwoWins", {"--version", "--help"}, 0, "ovilen "},
        TCommandLineCase{
            "QtOptionsLeftAlone", {"-platform", "offscreen", "-style", "fusion"}, std::nullopt, ""},
        TCommandLineCase{"AfterDoubleDash", {"--", "--help"}, std::nullopt, ""},
        TCommandLineCase{"NotAPrefix", {"--versions", "--helpme", "-help"}, std::nullopt, ""}),
    [](const ::testing::TestParamInfo<TCommandLineCase> &AInfo) { return AInfo.param.Name; });

TEST(CommandLineHelp, NamesEveryOptionAndTheCameraVariable)
{
    const char *argv[] = {"ovilen", "--help"};
    std::ostringstream out;
    ASSERT_EQ(HandleCommandLine(2, argv, out), 0);
    for (const char *text : {"-h, --help", "--version", "OVILEN_SIMULATED_CAMERAS"})
        EXPECT_NE(out.str().find(text), std::string::npos) << text;
}

} // namespace
