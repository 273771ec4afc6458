#include <gtest/gtest.h>

#include "app/gui/CommandLine.h"

namespace pcn::test {

using gui::CommandLine;
using gui::ParseCommandLine;

TEST(CommandLineTest, WindowsSwitchesMeanTheLongOptions) {
    // /pt FILE PRINTER DRIVER PORT: the driver and the port are dropped.
    const CommandLine printTo = ParseCommandLine({"pcn", "/pt", "Release.pcn", "Office", "winspool", "Ne00:"});
    EXPECT_EQ(printTo.action, CommandLine::Action::Run);
    EXPECT_TRUE(printTo.print);
    EXPECT_EQ(printTo.printTo, "Office");
    EXPECT_EQ(printTo.project, "Release.pcn");

    const CommandLine print = ParseCommandLine({"pcn", "-P", "Release.pcn"});
    EXPECT_TRUE(print.print);
    EXPECT_TRUE(print.printTo.isEmpty());

    EXPECT_TRUE(ParseCommandLine({"pcn", "/Automation"}).automation);
    EXPECT_TRUE(ParseCommandLine({"pcn", "-Embedding"}).automated());
    EXPECT_TRUE(ParseCommandLine({"pcn", "--automation", "Release.pcn"}).automated());
    // A project path is never taken for a switch.
    EXPECT_EQ(ParseCommandLine({"pcn", "/home/me/p.pcn"}).project, "/home/me/p.pcn");
}

TEST(CommandLineTest, PrintingNeedsOneProject) {
    EXPECT_EQ(ParseCommandLine({"pcn", "--print"}).action, CommandLine::Action::Error);
    EXPECT_EQ(ParseCommandLine({"pcn", "a.pcn", "b.pcn"}).action, CommandLine::Action::Error);
    EXPECT_EQ(ParseCommandLine({"pcn", "--no-such-switch"}).action, CommandLine::Action::Error);
    EXPECT_EQ(ParseCommandLine({"pcn", "--help"}).action, CommandLine::Action::Help);
}

}  // namespace pcn::test
