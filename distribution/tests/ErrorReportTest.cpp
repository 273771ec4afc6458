#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>

#include "distribution/ErrorReport.h"
#include "distribution/ScriptedUserInterface.h"

namespace pcn {

TEST(ErrorReport, LastErrorVariantShowsNothingWithoutError) {
    ScriptedUserInterface ui;
    EXPECT_FALSE(reportLastError(ui, "Cabinet add file failed", 0));
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_TRUE(reportLastError(ui, "Cabinet add file failed", ENOENT));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Error " + std::to_string(ENOENT) + "\n\nNo such file or directory");
    EXPECT_EQ(ui.shown()[0].details, "Cabinet add file failed");
}

// The system's texts are shown in English whatever the user's language (the
// C library has German texts installed), and a number the system does not
// know has no text at all rather than a translated "Unknown error".
TEST(ErrorReport, SystemTextsAreEnglishAndUnknownNumbersHaveNone) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ::setenv("LANGUAGE", "de", 1);
    std::setlocale(LC_ALL, "C.UTF-8");
    const std::string missing = systemErrorText(ENOENT);
    const std::string unknown = systemErrorText(9999);
    ::unsetenv("LANGUAGE");
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(missing, "No such file or directory");
    EXPECT_EQ(unknown, "");
    ScriptedUserInterface ui;
    reportWithErrorDetails(ui, "Unable to load", 9999);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].details, "Error 9999");
}

TEST(ErrorReport, MessageWithErrorDetails) {
    ScriptedUserInterface ui;
    reportWithErrorDetails(ui, "Unable to load", EACCES);
    reportWithErrorDetails(ui, "Unable to load", 0);
    reportWithErrorDetails(ui, "Unable to load", 12029);  // transfer error without a text table
    ASSERT_EQ(ui.shown().size(), 3u);
    EXPECT_EQ(ui.shown()[0].details, "Permission denied");
    EXPECT_EQ(ui.shown()[1].details, "");
    EXPECT_EQ(ui.shown()[2].details, "Error 12029");

    setTransferErrorTexts([](int e) { return e == 12029 ? std::string("Cannot connect") : std::string(); });
    reportWithErrorDetails(ui, "Unable to load", 12029);
    setTransferErrorTexts(nullptr);
    EXPECT_EQ(ui.shown()[3].details, "Cannot connect");
}

TEST(ErrorReport, GivenErrorVariant) {
    ScriptedUserInterface ui;
    reportGivenError(ui, "Registration failed", EACCES);
    reportGivenError(ui, "Registration failed", 99999);
    EXPECT_EQ(ui.shown()[0].text, "Registration failed");
    EXPECT_EQ(ui.shown()[0].details, "Error " + std::to_string(EACCES) + "\r\n\r\nPermission denied");
    EXPECT_EQ(ui.shown()[1].details, "");
}

}  // namespace pcn
