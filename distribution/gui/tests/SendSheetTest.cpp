// The FTP send sheet, driven offscreen, sending to a real FTP server
// (pyftpdlib) on 127.0.0.1; and the mail dialog with a stand-in xdg-email.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QCheckBox>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>

#include "app/core/CPCNDoc.h"
#include "distribution/MailSender.h"
#include "distribution/gui/ftp/CFTPPropertyPage3.h"
#include "distribution/gui/ftp/CFTPPropertyPageNew.h"
#include "distribution/gui/ftp/CFTPPropertySheet.h"
#include "distribution/gui/mail/CMailSelectDlg.h"
#include "distribution/gui/tests/ModalHelper.h"
#include "editing/gui/tests/EditingTestSupport.h"
#include "ftp/FtpLibrary.h"
#include "ftp/tests/FtpTestServer.h"
#include "ftp/tests/TransferTestSupport.h"
#include "model/CCabObj.h"
#include "model/FtpSiteOptions.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace pcn {
namespace {

using gui::CFTPPropertySheet;
using test::FtpTestServer;

template <class T>
T* child(QWidget* page, const char* name) {
    T* found = page->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QStringList listed(QListWidget* list, bool checkedOnly = false) {
    QStringList paths;
    for (int i = 0; i < list->count(); ++i)
        if (!checkedOnly || list->item(i)->checkState() == Qt::Checked)
            paths << list->item(i)->data(gui::SendFileList::kPathRole).toString();
    return paths;
}

std::unique_ptr<CFTPObj> storedSite(const std::string& description, const std::string& server) {
    auto site = std::make_unique<CFTPObj>();
    site->m_strDescription = description;
    site->m_strServer = server;
    site->m_strUserName = "user-" + description;
    site->m_strDirectory = "/" + description;
    return site;
}

class SendSheetTest : public test::EditingTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.load(ui));
        package.m_strProduct = "Tools";
        package.m_strProjectName = "Tools";
        package.m_strTargetFolder = (root() / "target").string();
        package.m_arrOutputFiles = {"Tools.CAB", "Tools2.CAB", "Tools.EXE"};
        package.m_bCreateInf = 1;
        package.m_bRebuild = 0;
        cab = makeFile("target/Tools.CAB", 70000, 'c');
        exe = makeFile("target/Tools.EXE", 2048, 'e');
        inf = makeFile("target/Tools.Inf", 300, 'i');
        doc_ = makeFile("target/Tools.Doc", 500, 'd');
        test::writeBytes(cab, test::patternBytes(70000, 11));
    }

    // Shows the sheet at its first page.
    std::unique_ptr<CFTPPropertySheet> openSheet() {
        auto sheet = std::make_unique<CFTPPropertySheet>(package, document, library, context());
        sheet->show();
        return sheet;
    }

    void next(CFTPPropertySheet& sheet) { sheet.nextButton()->click(); }
    void back(CFTPPropertySheet& sheet) { sheet.backButton()->click(); }

    void fillNewSite(QWidget* page, const QString& description, const QString& server, const QString& port) {
        child<QLineEdit>(page, "description")->setText(description);
        child<QLineEdit>(page, "server")->setText(server);
        child<QLineEdit>(page, "port")->setText(port);
    }

    CCabObj package;
    CPCNDoc document{&ui};
    FtpLibrary library;
    std::string cab, exe, inf, doc_;
};

TEST_F(SendSheetTest, ANewSiteIsCheckedFieldByFieldAndThenAppended) {
    document.m_listFtpSites.push_back(storedSite("Existing", "ftp.example.com"));
    auto sheet = openSheet();
    QWidget* first = sheet->currentPage();
    child<QRadioButton>(first, "createNewSite")->setChecked(true);
    next(*sheet);
    ASSERT_EQ(sheet->currentId(), CFTPPropertySheet::kNewSitePage);
    QWidget* page = sheet->currentPage();
    EXPECT_EQ(child<QLineEdit>(page, "server")->text(), "ftp://");
    EXPECT_EQ(child<QLineEdit>(page, "port")->text(), "21");

    struct Case {
        QString description, server, port;
        std::string message;
    };
    const Case cases[] = {
        {"Existing", "host", "21", "Duplicate Site Description\nPlease enter a new description."},
        {"", "host", "21", "Description Required."},
        {"New", "ftp://", "21", "FTP Site Required."},
        {"New", "", "21", "FTP Site Required."},
        {"New", "host", "0", "Port number invalid."},
        {"New", "ftp://host:99999/", "21", "Port number invalid."},
    };
    for (const Case& c : cases) {
        ui.clear();
        fillNewSite(page, c.description, c.server, c.port);
        next(*sheet);
        EXPECT_EQ(sheet->currentId(), CFTPPropertySheet::kNewSitePage) << c.message;
        ASSERT_EQ(ui.shown().size(), 1u) << c.message;
        // The message names the field, then says what it needs.
        EXPECT_TRUE(ui.shown()[0].text.starts_with(c.message + "\n\n")) << c.message << " / " << ui.shown()[0].text;
    }
    EXPECT_EQ(document.m_listFtpSites.size(), 1u);

    ui.clear();
    fillNewSite(page, "New", "host", "2121");
    child<QCheckBox>(page, "passive")->setChecked(true);
    next(*sheet);
    EXPECT_EQ(sheet->currentId(), CFTPPropertySheet::kFilesPage);
    ASSERT_EQ(document.m_listFtpSites.size(), 2u);
    const CFTPObj& made = *document.m_listFtpSites.back();
    EXPECT_EQ(made.m_strDescription, "New");
    EXPECT_EQ(made.m_strServer, "host");
    EXPECT_EQ(made.m_nPort, 2121);
    EXPECT_EQ(made.m_bOverwriteExisting, 1);
    EXPECT_EQ(made.m_bPassive, 1);
    EXPECT_EQ(sheet->chosenSite(), &made);
    // One output file is missing: said once, listed unchecked.
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Some or all project output files are missing.");
    QListWidget* files = child<QListWidget>(sheet->currentPage(), "fileList");
    const QString target = QString::fromStdString(package.m_strTargetFolder) + "/";
    EXPECT_EQ(listed(files), QStringList({target + "Tools.CAB", target + "Tools2.CAB", target + "Tools.EXE",
                                          target + "Tools.Inf", target + "Tools.Doc"}));
    EXPECT_EQ(listed(files, true), QStringList({target + "Tools.CAB", target + "Tools.EXE", target + "Tools.Inf",
                                                target + "Tools.Doc"}));

    // Back to correct the site just made: typed as an address this time, it
    // is the same site, corrected, not a duplicate beside it.
    back(*sheet);
    ASSERT_EQ(sheet->currentId(), CFTPPropertySheet::kSelectSitePage);
    child<QRadioButton>(sheet->currentPage(), "createNewSite")->setChecked(true);
    next(*sheet);
    ASSERT_EQ(sheet->currentId(), CFTPPropertySheet::kNewSitePage);
    ui.clear();
    fillNewSite(page, "New", "ftp://127.0.0.1:2122/incoming/", "21");
    child<QLineEdit>(page, "directory")->clear();
    next(*sheet);
    EXPECT_EQ(sheet->currentId(), CFTPPropertySheet::kFilesPage);
    EXPECT_TRUE(ui.shown().size() <= 1u);  // at most the missing-files note again
    ASSERT_EQ(document.m_listFtpSites.size(), 2u);
    EXPECT_EQ(&made, document.m_listFtpSites.back().get());
    EXPECT_EQ(made.m_strServer, "ftp://127.0.0.1");
    EXPECT_EQ(made.m_nPort, 2122);
    EXPECT_EQ(made.m_strDirectory, "/incoming");
}

TEST(SiteAddress, APortAndAFolderInTheAddressGoToTheirFields) {
    using gui::splitSiteAddress;
    EXPECT_EQ(splitSiteAddress("ftp://127.0.0.1:1/").server, "ftp://127.0.0.1");
    EXPECT_EQ(splitSiteAddress("ftp://127.0.0.1:1/").port, 1);
    EXPECT_EQ(splitSiteAddress("ftp://127.0.0.1/").server, "ftp://127.0.0.1");
    EXPECT_EQ(splitSiteAddress("ftp://127.0.0.1/").port, -1);
    EXPECT_EQ(splitSiteAddress("ftp://127.0.0.1/").directory, "");
    EXPECT_EQ(splitSiteAddress("files.example.com:2121").server, "files.example.com");
    EXPECT_EQ(splitSiteAddress("files.example.com:2121").port, 2121);
    EXPECT_EQ(splitSiteAddress("ftps://h:99999/a/b/").port, 0);
    EXPECT_EQ(splitSiteAddress("ftps://h:99999/a/b/").directory, "/a/b");
    EXPECT_EQ(splitSiteAddress("  host  ").server, "host");
    EXPECT_EQ(splitSiteAddress("user@host").server, "user@host");  // not an address of ours: kept as typed
}

TEST_F(SendSheetTest, ThePackagesLastSiteIsPreselectedAndEditsChangeTheStoredSite) {
    document.m_listFtpSites.push_back(storedSite("Alpha", "alpha.example.com"));
    document.m_listFtpSites.push_back(storedSite("Beta", "beta.example.com"));
    document.m_listFtpSites.push_back(storedSite("Gamma", "gamma.example.com"));
    package.m_strFtpSite = "Beta";
    auto sheet = openSheet();
    QWidget* page = sheet->currentPage();
    EXPECT_TRUE(child<QRadioButton>(page, "useExistingSite")->isChecked());
    EXPECT_EQ(child<QComboBox>(page, "siteCombo")->currentText(), "Beta");
    EXPECT_EQ(child<QLineEdit>(page, "server")->text(), "beta.example.com");
    EXPECT_EQ(child<QLineEdit>(page, "userName")->text(), "user-Beta");
    EXPECT_EQ(child<QLineEdit>(page, "project")->text(), "Tools");

    child<QComboBox>(page, "siteCombo")->setCurrentIndex(2);
    EXPECT_EQ(child<QLineEdit>(page, "directory")->text(), "/Gamma");
    child<QLineEdit>(page, "directory")->setText("/gamma/releases");
    next(*sheet);
    EXPECT_EQ(sheet->currentId(), CFTPPropertySheet::kFilesPage);
    EXPECT_EQ(sheet->chosenSite(), document.m_listFtpSites[2].get());
    EXPECT_EQ(document.m_listFtpSites[2]->m_strDirectory, "/gamma/releases");
}

TEST_F(SendSheetTest, WithoutSitesOnlyANewSiteCanBeMade) {
    auto sheet = openSheet();
    QWidget* page = sheet->currentPage();
    EXPECT_FALSE(child<QRadioButton>(page, "useExistingSite")->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(page, "createNewSite")->isChecked());
    EXPECT_FALSE(child<QComboBox>(page, "siteCombo")->isEnabled());
    EXPECT_FALSE(child<QLineEdit>(page, "server")->isVisibleTo(page));
    next(*sheet);
    EXPECT_EQ(sheet->currentId(), CFTPPropertySheet::kNewSitePage);
}

class SheetSendTest : public SendSheetTest {
protected:
    void SetUp() override {
        if (!test::ftpServerAvailable()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
        SendSheetTest::SetUp();
    }
    // Through the first three pages to the sending page with a new site of the server.
    void sendToNewSite(CFTPPropertySheet& sheet, const FtpTestServer& server, const QString& password) {
        child<QRadioButton>(sheet.currentPage(), "createNewSite")->setChecked(true);
        next(sheet);
        QWidget* page = sheet.currentPage();
        fillNewSite(page, "Test server", "127.0.0.1", QString::number(server.port()));
        child<QLineEdit>(page, "userName")->setText(FtpTestServer::kUser);
        child<QLineEdit>(page, "password")->setText(password);
        child<QLineEdit>(page, "directory")->setText("incoming/tools");
        next(sheet);
        ASSERT_EQ(sheet.currentId(), CFTPPropertySheet::kFilesPage);
    }
    int finishAndWait(CFTPPropertySheet& sheet, const std::function<void()>& whileSending = {}) {
        auto* sending = static_cast<gui::CFTPPropertyPage3*>(sheet.page(CFTPPropertySheet::kSendingPage));
        QSignalSpy ended(sending, &gui::CFTPPropertyPage3::sendingEnded);
        sheet.finishButton()->click();
        EXPECT_EQ(sheet.currentId(), CFTPPropertySheet::kSendingPage);
        if (whileSending) whileSending();
        if (ended.isEmpty() && !ended.wait(60000)) return -1;
        return ended.front().front().toInt();
    }
};

TEST_F(SheetSendTest, ASendDrivenThroughTheFourPagesArrivesOnTheServer) {
    FtpTestServer server((root() / "server").string());
    ASSERT_TRUE(server.started());
    auto sheet = openSheet();
    sendToNewSite(*sheet, server, FtpTestServer::kPassword);
    const std::string extra = makeFile("elsewhere/readme.txt", 10, 'r');
    pickers.queue(QString::fromStdString(extra), 3);
    child<QPushButton>(sheet->currentPage(), "addFile")->click();
    EXPECT_EQ(settings().readString("Settings\\FTP Add File", "Last File", ""), extra);
    EXPECT_EQ(settings().readInt("Settings\\FTP Add File", "Last Index", 0), 3);

    EXPECT_EQ(finishAndWait(*sheet), kTransferSucceeded);
    auto* sending = static_cast<gui::CFTPPropertyPage3*>(sheet->currentPage());
    EXPECT_EQ(sending->statusText(), "File Transfer Complete.");
    EXPECT_EQ(child<QLabel>(sending, "overallPercent")->text(), "%100");
    EXPECT_TRUE(child<QLabel>(sending, "currentPercent")->isVisibleTo(sending));
    EXPECT_EQ(sheet->cancelButton()->text(), "Close");
    EXPECT_TRUE(sheet->cancelButton()->isEnabled());

    const std::string remote = server.root() + "/incoming/tools/";
    for (const std::string& path : {cab, exe, inf, doc_, extra})
        EXPECT_TRUE(test::readBytes(remote + fileNamePart(path)) == test::readBytes(path)) << path;
    EXPECT_FALSE(std::filesystem::exists(remote + "Tools2.CAB"));
    EXPECT_EQ(package.m_strFtpSite, "Test server");

    // The new site was kept in the site file, readable by its owner only.
    std::string bytes;
    ASSERT_TRUE(readWholeFile(document.m_szFtpFile, bytes));
    auto saved = CPCNDoc::ParseFtpSiteFile(bytes);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0]->m_strDescription, "Test server");
    EXPECT_EQ(saved[0]->m_nPort, server.port());
    struct stat st {};
    ASSERT_EQ(::stat(document.m_szFtpFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // Closing now ends the sheet, Enter too.
    EXPECT_TRUE(sheet->cancelButton()->isDefault());
    QTest::keyClick(sheet.get(), Qt::Key_Return);
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(SheetSendTest, AWrongPasswordShowsTheServersReplyAndTheSendFails) {
    FtpTestServer server((root() / "server").string());
    ASSERT_TRUE(server.started());
    auto sheet = openSheet();
    sendToNewSite(*sheet, server, "wrong");
    ui.clear();
    EXPECT_EQ(finishAndWait(*sheet), kTransferFailed);
    auto* sending = static_cast<gui::CFTPPropertyPage3*>(sheet->currentPage());
    EXPECT_EQ(sending->statusText(), "File Transfer Failed.");
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_TRUE(ui.shown()[0].isErrorDetails);
    EXPECT_TRUE(ui.shown()[0].details.starts_with("530")) << ui.shown()[0].details;
}

TEST_F(SheetSendTest, CancelWhileSendingWaitsForTheLibraryAndReportsTheCancel) {
    FtpTestServer server((root() / "server").string());
    ASSERT_TRUE(server.started());
    test::writeBytes(cab, test::patternBytes(64u * 1024 * 1024, 12));
    auto sheet = openSheet();
    sendToNewSite(*sheet, server, FtpTestServer::kPassword);
    const int result = finishAndWait(*sheet, [&] {
        sheet->cancelButton()->click();
        // The first press asks the library to stop; the sheet stays open.
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_FALSE(sheet->cancelButton()->isEnabled());
    });
    EXPECT_EQ(result, kTransferCancelled);
    EXPECT_EQ(static_cast<gui::CFTPPropertyPage3*>(sheet->currentPage())->statusText(), "File Transfer Cancelled.");
    EXPECT_EQ(std::filesystem::file_size(cab), 64u * 1024 * 1024);
    EXPECT_FALSE(std::filesystem::exists(server.root() + "/incoming/tools/Tools.EXE"));
}

// ---- mail ----------------------------------------------------------------------------

class MailTest : public SendSheetTest {
protected:
    void SetUp() override {
        SendSheetTest::SetUp();
        // A stand-in xdg-email that records its arguments, one a line.
        bin = root() / "bin";
        std::filesystem::create_directories(bin);
        record = (root() / "mail-args.txt").string();
        writeStandIn(0);
        oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
    }
    void TearDown() override { ::setenv("PATH", oldPath.c_str(), 1); }
    void writeStandIn(int exitCode) {
        const std::string script = (bin / "xdg-email").string();
        std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << record
                              << "'\nexit " << exitCode << "\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    QStringList recorded() {
        std::string text;
        readWholeFile(record, text);
        return QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
    }

    std::filesystem::path bin;
    std::string record, oldPath;
};

TEST_F(MailTest, TheDialogListsEachKindsFilesAndTheComposerGetsTheCheckedOnes) {
    EXPECT_EQ(findMailProgram(), (bin / "xdg-email").string());
    gui::CMailSelectDlg dialog(package, context());
    dialog.fillList();
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Some or all project output file(s) are missing.");
    EXPECT_EQ(ui.shown()[0].icon, Icon::Question);
    const QString target = QString::fromStdString(package.m_strTargetFolder) + "/";
    EXPECT_EQ(listed(dialog.fileList()), QStringList({target + "Tools.CAB", target + "Tools2.CAB", target + "Tools.EXE",
                                                      target + "Tools.Inf", target + "Tools.Doc"}));
    EXPECT_EQ(dialog.attachments(), QStringList({target + "Tools.CAB", target + "Tools.EXE", target + "Tools.Inf",
                                                 target + "Tools.Doc"}));

    // A web package offers its INF file, and its page only when it has one.
    CCabObj web;
    web.m_nKind = kKindWebInf;
    web.m_strProjectName = "Control";
    web.m_strTargetFolder = package.m_strTargetFolder;
    const std::string webInf = makeFile("target/Control.inf");
    makeFile("target/Control.htm");
    ui.clear();
    gui::CMailSelectDlg webDialog(web, context());
    webDialog.fillList();
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(listed(webDialog.fileList()), QStringList{QString::fromStdString(webInf)});
    web.m_pWeb->m_bHtmTemplate = 1;
    gui::CMailSelectDlg withPage(web, context());
    withPage.fillList();
    EXPECT_EQ(withPage.attachments().size(), 2);

    // Sent: one file unchecked, one added by hand from outside the target folder.
    const std::string added = makeFile("notes/changes.txt");
    pickers.queue(QString::fromStdString(added), 1);
    test::onNextModal([&](QWidget* modal) {
        auto* list = modal->findChild<QListWidget*>("fileList");
        list->item(4)->setCheckState(Qt::Unchecked);  // the summary stays at home
        modal->findChild<QPushButton*>("addFile")->click();
        static_cast<QDialog*>(modal)->accept();
    });
    ui.clear();
    gui::RunSendMail(package, context(), nullptr);
    EXPECT_EQ(recorded(), QStringList({"--utf8", "--attach", target + "Tools.CAB", "--attach",
                                       target + "Tools.EXE", "--attach", target + "Tools.Inf", "--attach",
                                       QString::fromStdString(added)}));
    EXPECT_EQ(settings().readString("Settings\\Mail Add File", "Last File", ""), added);
    ASSERT_EQ(ui.shown().size(), 1u);  // only the missing-file question
}

// A mail program that xdg-email had to start holds the message until it is
// closed: the window keeps answering, and the user may stop waiting.
TEST_F(MailTest, AMailProgramThatHoldsTheMessageLeavesTheWindowAnsweringAndCanBeLeftToItself) {
    const std::string release = (root() / "release").string();
    const std::string script = (bin / "xdg-email").string();
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << record << "'\n"
                          << "for i in $(seq 200); do [ -e '" << release << "' ] && exit 0; sleep 0.05; done\nexit 0\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    test::onNextModal([](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); });
    int ticks = 0;
    QString note;
    QTimer clock;
    QObject::connect(&clock, &QTimer::timeout, [&] {
        ++ticks;
        auto* busy = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!busy || !busy->isVisible() || !note.isEmpty()) return;
        note = busy->labelText();
        auto* stop = busy->findChild<QPushButton*>();
        EXPECT_EQ(stop->text(), "Stop Waiting");
        stop->click();
    });
    clock.start(20);
    ui.clear();
    gui::RunSendMail(package, context(), nullptr);
    clock.stop();
    EXPECT_EQ(note, "Opening a new message with the files attached in your mail program...");
    EXPECT_GE(ticks, 10) << "the event loop stood still while the mail program held the message";
    EXPECT_TRUE(recorded().contains("--attach"));
    std::ofstream(release) << "";
}

TEST_F(MailTest, AComposerThatFailsIsReportedAndNothingCheckedStillOpensIt) {
    writeStandIn(4);
    test::onNextModal([&](QWidget* modal) {
        auto* list = modal->findChild<QListWidget*>("fileList");
        for (int i = 0; i < list->count(); ++i) list->item(i)->setCheckState(Qt::Unchecked);
        static_cast<QDialog*>(modal)->accept();
    });
    ui.clear();
    gui::RunSendMail(package, context(), nullptr);
    EXPECT_EQ(recorded(), QStringList({"--utf8"}));
    ASSERT_EQ(ui.shown().size(), 2u);
    EXPECT_EQ(ui.shown()[1].text,
              "Send Mail failed to send message.\n\nThe mail program could not start a new message. Check that the "
              "default e-mail application of the desktop opens on its own, then try again.");

    ::setenv("PATH", "/nonexistent", 1);
    ui.clear();
    EXPECT_FALSE(sendMail({}, ui));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, std::string("Unable to load mail system support.\n\n") + kMailProgramMissing);
}

}  // namespace
}  // namespace pcn
