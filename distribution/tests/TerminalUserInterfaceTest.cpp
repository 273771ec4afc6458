// The command line's answers to Retry/Cancel questions: a build without a
// person at the terminal must end rather than retry forever.

#include "distribution/TerminalUserInterface.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace pcn {
namespace {

struct Streams {
    Streams() : out(std::tmpfile()), in(std::tmpfile()) {}  // a file is no terminal
    ~Streams() {
        std::fclose(out);
        std::fclose(in);
    }
    std::FILE* out;
    std::FILE* in;
};

Answer retryCancel(TerminalUserInterface& ui, std::string_view text) {
    return ui.message(text, "Parcelon", Icon::Error, Buttons::RetryCancel, Answer::Retry);
}

TEST(TerminalRetryQuestion, WithoutATerminalOrWithNoTheAnswerIsCancel) {
    Streams s;
    TerminalUserInterface unattended(std::nullopt, s.out, s.in);
    EXPECT_EQ(retryCancel(unattended, "key file missing"), Answer::Cancel);
    TerminalUserInterface no(false, s.out, s.in);
    EXPECT_EQ(retryCancel(no, "key file missing"), Answer::Cancel);
    // Other questions keep their defaults.
    EXPECT_EQ(unattended.message("Go on?", "Parcelon", Icon::Question, Buttons::YesNo, Answer::Yes), Answer::Yes);
}

TEST(TerminalRetryQuestion, YesRetriesEachQuestionOnce) {
    Streams s;
    TerminalUserInterface yes(true, s.out, s.in);
    EXPECT_EQ(retryCancel(yes, "key file missing\n/k.pvk"), Answer::Retry);
    EXPECT_EQ(retryCancel(yes, "key file missing\n/k.pvk"), Answer::Cancel);
    EXPECT_EQ(retryCancel(yes, "credentials missing\n/c.spc"), Answer::Retry);
    EXPECT_EQ(retryCancel(yes, "credentials missing\n/c.spc"), Answer::Cancel);
    EXPECT_EQ(yes.message("Go on?", "Parcelon", Icon::Question, Buttons::YesNo, Answer::No), Answer::Yes);
}

}  // namespace
}  // namespace pcn
