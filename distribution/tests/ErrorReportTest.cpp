#include <gtest/gtest.h>

#include <cerrno>

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
