// The Sign File and Check Trust wizards driven like a user, with the real
// SignCode and ChkTrust (and osslsigncode behind them) on files and keys made
// here; stand-in tools where a tool must fail or hang.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <csignal>

#include "editing/gui/tests/EditingTestSupport.h"
#include "signing/gui/CCheckTrustPage1.h"
#include "signing/gui/CCheckTrustPage2.h"
#include "signing/gui/CCheckTrustSheet.h"
#include "signing/gui/CSignCodeMyPropertyPage1.h"
#include "signing/gui/CSignCodeMyPropertyPage2.h"
#include "signing/gui/CSignCodeMyPropertyPage3.h"
#include "signing/gui/CSignCodePropertySheet.h"
#include "signing/gui/CTrustDialog.h"
#include "signing/tests/TestSupport.h"

namespace pcn::test {
namespace {

constexpr int kToolTimeoutMs = 60000;

class SigningWizardsTest : public EditingTest {
protected:
    static void SetUpTestSuite() { SuiteKeys::make(); }
    static void TearDownTestSuite() { SuiteKeys::remove(); }

    void SetUp() override {
        // The tools read the same settings as the wizard.
        ::setenv("PCN_SETTINGS", (root() / "settings.conf").c_str(), 1);
        ::setenv("PCN_PROGRAM_DIR", PCN_PROGRAM_DIR, 1);
        // The trust dialog after signing answers through a program of ours
        // that notes what it was shown and accepts.
        writeScript(root() / "accept", "printf '%s\\n' \"$@\" >> '" + (root() / "shown").string() + "'\nexit 0\n");
        ::setenv("PCN_TRUST_DIALOG", (root() / "accept").c_str(), 1);
        settings().writeString("Settings\\CheckTrust", "CAFile", key("cert.pem"));
        settings().writeString("Settings\\CheckTrust", "TSACAFile", key("tsa.pem"));
    }

    static std::string key(const std::string& name) { return SuiteKeys::key(name); }

    std::string copyOf(const std::string& keyFile, const std::string& name) {
        const fs::path target = root() / name;
        fs::copy_file(SuiteKeys::path() / keyFile, target, fs::copy_options::overwrite_existing);
        return target.string();
    }
    std::string cabinet(const std::string& name) {
        const fs::path target = root() / name;
        writeFile(target, buildCabinet(TestCabinet{sampleFiles(), 6144}));  // a package build's signing reserve
        return target.string();
    }

    // Pages 1 and 2 filled in; Finish pressed on page 2.
    void runSignWizard(gui::CSignCodePropertySheet& sheet, const std::string& file, const char* digest,
                       bool timeStamp = false) {
        sheet.show();
        auto* page1 = sheet.page1();
        ASSERT_EQ(sheet.currentPage(), page1);
        page1->file()->setText(QString::fromStdString(file));
        page1->name()->setText("Parcelon Test");
        page1->information()->setText("http://example.com/parcelon");
        sheet.button(QWizard::NextButton)->click();
        ASSERT_EQ(sheet.currentPage(), sheet.page2());
        auto* page2 = sheet.page2();
        EXPECT_TRUE(sheet.button(QWizard::FinishButton)->isVisible());
        EXPECT_TRUE(sheet.button(QWizard::BackButton)->isVisible());
        EXPECT_FALSE(sheet.button(QWizard::NextButton)->isVisible());
        page2->credentials()->setText(QString::fromStdString(key("cert.spc")));
        page2->privateKey()->setText(QString::fromStdString(key("key.pvk")));
        page2->findChild<QRadioButton*>(digest)->click();
        page2->timeStamp()->setChecked(timeStamp);
        page2->checkTrust()->setChecked(true);
        sheet.button(QWizard::FinishButton)->click();
        ASSERT_EQ(sheet.currentPage(), sheet.page3());
        EXPECT_TRUE(sheet.isVisible());
        EXPECT_FALSE(sheet.button(QWizard::FinishButton)->isEnabled());
    }

    static bool waitForEnd(gui::ToolProgressPage* page) {
        return QTest::qWaitFor([page] { return page->hasEnded(); }, kToolTimeoutMs);
    }

    static std::string verify(const std::string& file, std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"verify", "-CAfile", key("cert.pem")};
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), {"-in", file});
        ProcessResult r = run("osslsigncode", args);
        return r.exitCode == 0 ? r.output : "FAILED (" + std::to_string(r.exitCode) + "): " + r.output;
    }
};

TEST_F(SigningWizardsTest, SignsProgramsAndCabinetsWithSha256AndSha1) {
    struct Case {
        std::string file;
        const char* digest;
        const char* reported;
    };
    const Case cases[] = {
        {copyOf("app.exe", "app256.exe"), "sha256", "SHA256"},
        {copyOf("app.exe", "app1.exe"), "sha1", "SHA1"},
        {cabinet("data256.cab"), "sha256", "SHA256"},
        {cabinet("data1.cab"), "sha1", "SHA1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        gui::CSignCodePropertySheet sheet(context());
        runSignWizard(sheet, c.file, c.digest);
        auto* page3 = sheet.page3();
        ASSERT_TRUE(waitForEnd(page3));
        const QString box = page3->output()->toPlainText();
        EXPECT_EQ(page3->status()->text(), "Complete") << box.toStdString();
        EXPECT_TRUE(box.contains("Signing Code.")) << box.toStdString();
        EXPECT_TRUE(box.contains("Checking Trust.")) << box.toStdString();
        // The signer was shown the new signature in the trust dialog and took it.
        EXPECT_TRUE(box.contains(QString::fromStdString("Accepted: " + c.file))) << box.toStdString();
        EXPECT_FALSE(box.contains("Check Trust failed.")) << box.toStdString();
        const std::string shown = readFile(root() / "shown");
        EXPECT_NE(shown.find(c.file), std::string::npos) << shown;
        EXPECT_NE(shown.find("Parcelon Test Publisher"), std::string::npos) << shown;
        fs::remove(root() / "shown");
        EXPECT_EQ(sheet.buttonText(QWizard::FinishButton), "Close");
        EXPECT_TRUE(sheet.button(QWizard::FinishButton)->isEnabled());
        EXPECT_FALSE(sheet.button(QWizard::CancelButton)->isEnabled());
        EXPECT_FALSE(page3->icon()->property("error").toBool());

        const std::string report = verify(c.file);
        EXPECT_NE(report.find(std::string("Message digest algorithm  : ") + c.reported), std::string::npos) << report;
        EXPECT_NE(report.find("Signature verification: ok"), std::string::npos) << report;
        if (c.file.ends_with(".cab")) EXPECT_EQ(run("cabextract", {"-t", c.file}).exitCode, 0);

        sheet.button(QWizard::FinishButton)->click();
        EXPECT_FALSE(sheet.isVisible());
        EXPECT_EQ(sheet.result(), QDialog::Accepted);
    }
    // The pages remembered what was used.
    EXPECT_EQ(settings().readString("Settings\\CodeSign", "File", ""), cases[3].file);
    EXPECT_EQ(settings().readString("Settings\\CodeSign", "SPCFile", ""), key("cert.spc"));
    EXPECT_EQ(settings().readInt("Settings\\CodeSign", "MD5", -1), 0);
}

TEST_F(SigningWizardsTest, TimeStampFromALocalRfc3161Authority) {
    QProcess authority;
    authority.start("/usr/bin/python3", {PCN_SOURCE_DIR "/signing/tests/rfc3161-responder.py",
                                         QString::fromStdString(key("tsa.pem")), QString::fromStdString(key("tsa.key"))});
    ASSERT_TRUE(authority.waitForReadyRead(10000)) << authority.readAllStandardError().toStdString();
    const QString port = QString::fromLatin1(authority.readLine()).trimmed();
    ASSERT_FALSE(port.isEmpty());
    settings().writeString("Settings\\CodeSign", "TimeStampCommand",
                           ("-tr 2 -x -ts http://127.0.0.1:" + port + " @FileName@").toStdString());

    const std::string file = copyOf("app.exe", "stamped.exe");
    gui::CSignCodePropertySheet sheet(context());
    runSignWizard(sheet, file, "sha256", true);
    ASSERT_TRUE(waitForEnd(sheet.page3()));
    const QString box = sheet.page3()->output()->toPlainText();
    EXPECT_EQ(sheet.page3()->status()->text(), "Complete") << box.toStdString();
    EXPECT_TRUE(box.contains("Setting Timestamp.")) << box.toStdString();
    EXPECT_FALSE(box.contains("Timestamp could not be set.")) << box.toStdString();

    const std::string report = verify(file, {"-TSA-CAfile", key("tsa.pem")});
    EXPECT_NE(report.find("Timestamp time:"), std::string::npos) << report;
    EXPECT_NE(report.find("Timestamp Server Signature verification: ok"), std::string::npos) << report;
    authority.terminate();
    authority.waitForFinished(5000);
}

TEST_F(SigningWizardsTest, EmptyFileToSignKeepsThePage) {
    gui::CSignCodePropertySheet sheet(context());
    sheet.show();
    sheet.page1()->file()->clear();
    sheet.button(QWizard::NextButton)->click();
    EXPECT_EQ(sheet.currentPage(), sheet.page1());
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_EQ(ui.shown().back().text, "File to sign is a required entry.");
    EXPECT_EQ(ui.shown().back().icon, Icon::Error);
    EXPECT_EQ(settings().readString("Settings\\CodeSign", "File", "unset"), "unset");
}

TEST_F(SigningWizardsTest, SilentFailingToolShowsTheExitCode) {
    FakeTools fakes;  // a program folder of stand-ins
    fakes.tool("SignCode", "", 5);
    const std::string file = copyOf("app.exe", "app.exe");
    gui::CSignCodePropertySheet sheet(context());
    runSignWizard(sheet, file, "sha256");
    ASSERT_TRUE(waitForEnd(sheet.page3()));
    EXPECT_EQ(sheet.page3()->status()->text(), "Failed to Sign Code.");
    EXPECT_TRUE(sheet.page3()->output()->toPlainText().contains(
        "Sign Code Failed.\nSignCode Process Exit Code [0x00000005]"))
        << sheet.page3()->output()->toPlainText().toStdString();
    EXPECT_TRUE(sheet.page3()->icon()->property("error").toBool());
    EXPECT_EQ(sheet.buttonText(QWizard::FinishButton), "Close");
}

TEST_F(SigningWizardsTest, CancelStopsASlowToolAtOnceAndLeavesTheFile) {
    FakeTools fakes;
    const fs::path pidFile = root() / "tool.pid";
    // A stand-in that would change the file (its last argument) after a long wait.
    fakes.tool("SignCode", "for f; do :; done; echo $$ > '" + pidFile.string() +
                               "'; echo working; sleep 30; echo changed >> \"$f\"");
    const std::string file = copyOf("app.exe", "slow.exe");
    const std::string before = readFile(file);
    gui::CSignCodePropertySheet sheet(context());
    runSignWizard(sheet, file, "sha256");
    auto* page3 = sheet.page3();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page3->output()->toPlainText().contains("working"); }, 10000));
    ASSERT_TRUE(page3->isRunning());

    QElapsedTimer clock;
    clock.start();
    sheet.button(QWizard::CancelButton)->click();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(page3->isRunning());
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.result(), QDialog::Rejected);
    EXPECT_EQ(readFile(file), before);
    const pid_t tool = std::stoi(readFile(pidFile));
    EXPECT_NE(::kill(tool, 0), 0);  // the stand-in is gone, not left behind
}

class CheckTrustTest : public SigningWizardsTest {
protected:
    std::string signedFile() {
        const std::string file = copyOf("app.exe", "signed.exe");
        ProcessResult r = run(std::string(PCN_PROGRAM_DIR) + "/SignCode",
                              {"-spc", key("cert.spc"), "-v", key("key.pvk"), "-a", "sha256", file});
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return file;
    }
    // The user's answer in the trust dialog, given by a program of ours.
    void answerTrustDialogWith(int exitCode) {
        const fs::path answer = root() / "answer";
        writeScript(answer, "exit " + std::to_string(exitCode) + "\n");
        ::setenv("PCN_TRUST_DIALOG", answer.c_str(), 1);
    }
    // Runs the wizard on the file; the page at the end.
    gui::CCheckTrustPage2* check(gui::CCheckTrustSheet& sheet, const std::string& file, bool display) {
        sheet.show();
        sheet.page1()->file()->setText(QString::fromStdString(file));
        sheet.page1()->displayUI()->setChecked(display);
        sheet.button(QWizard::NextButton)->click();
        EXPECT_EQ(sheet.currentPage(), sheet.page2());
        EXPECT_TRUE(waitForEnd(sheet.page2()));
        return sheet.page2();
    }
};

TEST_F(CheckTrustTest, SignedFileIsCompleteUnsignedFails) {
    // Success and failure sound different: the sound theme's names reach the player.
    const fs::path heard = root() / "heard";
    writeScript(root() / "player", "echo \"$2\" >> '" + heard.string() + "'\n");
    ::setenv("PCN_SOUND_PLAYER", (root() / "player").c_str(), 1);
    const auto soundsHeard = [&](size_t count) {
        QTest::qWaitFor([&] { return splitLines(readFile(heard)).size() >= count; }, 5000);
        return readFile(heard);
    };
    gui::CCheckTrustSheet trusted(context());
    auto* page = check(trusted, signedFile(), false);
    EXPECT_EQ(page->status()->text(), "Complete") << page->output()->toPlainText().toStdString();
    EXPECT_TRUE(page->output()->toPlainText().contains("Trusted: ")) << page->output()->toPlainText().toStdString();
    EXPECT_FALSE(page->icon()->property("error").toBool());
    EXPECT_EQ(settings().readInt("Settings\\CheckTrust", "Display UI", -1), 0);

    gui::CCheckTrustSheet unsignedSheet(context());
    page = check(unsignedSheet, copyOf("app.exe", "plain.exe"), false);
    EXPECT_NE(page->status()->text(), "Complete");
    EXPECT_TRUE(page->output()->toPlainText().contains("Failed to Check Trust."));
    EXPECT_TRUE(page->output()->toPlainText().contains("plain.exe is not signed."));
    EXPECT_TRUE(page->icon()->property("error").toBool());
    EXPECT_EQ(unsignedSheet.buttonText(QWizard::FinishButton), "Close");
    EXPECT_EQ(soundsHeard(2), "dialog-information\ndialog-error\n");
    ::unsetenv("PCN_SOUND_PLAYER");
}

TEST_F(CheckTrustTest, DisplayTrustInformationTellsTheUsersAnswer) {
    const std::string signedOne = signedFile();
    struct Row {
        const char* trustedCertificates;
        int answer;  // the dialog's exit code: 0 accepts
        const char* appended;
        bool complete;
    };
    const Row rows[] = {
        {"cert.pem", 0, "User selected to accept Trust.", true},
        {"other-cert.pem", 0, "User selected to accept Unverified Trust.", false},
        {"cert.pem", 1, "User selected to decline Trust.", true},
        {"other-cert.pem", 1, "User selected to decline Unverified Trust.", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.appended);
        settings().writeString("Settings\\CheckTrust", "CAFile", key(row.trustedCertificates));
        answerTrustDialogWith(row.answer);
        gui::CCheckTrustSheet sheet(context());
        auto* page = check(sheet, signedOne, true);
        const QString box = page->output()->toPlainText();
        EXPECT_TRUE(box.contains(row.appended)) << box.toStdString();
        EXPECT_EQ(page->status()->text() == "Complete", row.complete) << box.toStdString();
        EXPECT_EQ(box.contains("Failed to Check Trust."), !row.complete) << box.toStdString();
    }
    // A file without a signature has nothing to trust: nobody is asked.
    const fs::path asked = root() / "asked";
    writeScript(root() / "answer", "touch '" + asked.string() + "'\nexit 0\n");
    ::setenv("PCN_TRUST_DIALOG", (root() / "answer").c_str(), 1);
    gui::CCheckTrustSheet sheet(context());
    auto* page = check(sheet, copyOf("app.exe", "plain.exe"), true);
    const QString box = page->output()->toPlainText();
    EXPECT_FALSE(box.contains("User selected")) << box.toStdString();
    EXPECT_TRUE(box.contains("plain.exe is not signed. TRUST_E_NOSIGNATURE 0x800B0100")) << box.toStdString();
    EXPECT_FALSE(fs::exists(asked));
}

// As Sign File does, Check Trust keeps its first page without a file.
TEST_F(CheckTrustTest, EmptyFileToCheckKeepsThePage) {
    gui::CCheckTrustSheet sheet(context());
    sheet.show();
    sheet.page1()->file()->clear();
    sheet.button(QWizard::NextButton)->click();
    EXPECT_EQ(sheet.currentPage(), sheet.page1());
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_EQ(ui.shown().back().text, "File to check is a required entry.");
}

TEST_F(CheckTrustTest, MissingChkTrustShowsTheErrorNumber) {
    FakeTools emptyProgramFolder;
    gui::CCheckTrustSheet sheet(context());
    auto* page = check(sheet, copyOf("app.exe", "plain.exe"), false);
    const QString box = page->output()->toPlainText();
    EXPECT_TRUE(box.contains("Failed to Check Trust.")) << box.toStdString();
    EXPECT_TRUE(box.contains("ChkTrust Process Exit Code [0x00000002]")) << box.toStdString();
}

TEST(TrustDialogTest, ShowsTheDetailsAndTellsTheAnswer) {
    TrustDetails d;
    d.file = "/out/Setup.EXE";
    d.subject = "/CN=Acme Publisher";
    d.issuer = "/CN=Acme Root";
    d.validFrom = "Dec  9 01:51:21 2026 GMT";
    d.validTo = "Jan  8 01:51:21 2027 GMT";
    d.digest = "SHA256";
    d.problem = "the signing certificate is not trusted";
    for (bool accept : {true, false}) {
        gui::CTrustDialog dialog(d);
        EXPECT_EQ(dialog.fieldText("subject"), "/CN=Acme Publisher");
        EXPECT_EQ(dialog.fieldText("issuer"), "/CN=Acme Root");
        EXPECT_EQ(dialog.fieldText("validity"), "Dec  9 01:51:21 2026 GMT to Jan  8 01:51:21 2027 GMT");
        EXPECT_EQ(dialog.fieldText("digest"), "SHA256");
        EXPECT_EQ(dialog.fieldText("timeStamp"), "none");
        EXPECT_EQ(dialog.fieldText("chain"), "NOT trusted: the signing certificate is not trusted");
        QTimer::singleShot(0, &dialog, [&] { (accept ? dialog.acceptButton() : dialog.declineButton())->click(); });
        EXPECT_EQ(dialog.exec(), accept ? QDialog::Accepted : QDialog::Rejected);
    }
    // Enter declines a chain that is not trusted, whatever has the focus first.
    {
        gui::CTrustDialog dialog(d);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dialog, Qt::Key_Return); });
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    }
    // The details survive the trip to the dialog's program.
    d.timeStamp = "Dec  9 01:51:29 2026 GMT";
    d.chainTrusted = true;
    d.problem.clear();
    EXPECT_EQ(trustDetailsFromArguments(trustDialogArguments(d)), d);
    EXPECT_FALSE(trustDetailsFromArguments({"--subject"}).has_value());
    EXPECT_FALSE(trustDetailsFromArguments({"--colour", "red"}).has_value());
}

}  // namespace
}  // namespace pcn::test
