// The Component menu's commands on real components: the HTML template dialog
// (picker memory, the LPK rebuild that drops edits, Run, Save As, Copy),
// registration through the component's own entry points, and the licence
// package tool started from the program folder.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "editing/gui/tests/EditingTestSupport.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "web/HtmlTemplate.h"
#include "web/LpkTool.h"
#include "web/Registration.h"
#include "web/SiteAddress.h"
#include "web/gui/CHtmlTemplateDlg.h"
#include "web/gui/ComponentCommands.h"

namespace pcn::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSite = "https://files.example/controls";

std::string readText(const fs::path& path) {
    std::string text;
    readWholeFile(path, text);
    return text;
}

// Records what would have been opened in the desktop's browser.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler("file"); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class ComponentCommandsTest : public EditingTest {
protected:
    ComponentCommandsTest() {
        control = (root() / "controls" / "Gauge.ocx").string();
        fs::create_directories(root() / "controls");
        fs::copy_file(std::string(PCN_SOURCE_DIR) + "/platform/pe/fixtures/bin/control32.ocx", control);
        settings().writeString("Settings\\CodeSign", "URL", kSite);
    }
    // Runs the command; `drive` is called with the dialog once it is up.
    void runTemplateCommand(const std::function<void(gui::CHtmlTemplateDlg&)>& drive) {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<gui::CHtmlTemplateDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            drive(*dialog);
            driven = true;
            dialog->findChild<QPushButton*>("closeButton")->click();
        });
        gui::RunHtmlTemplateCommand(context(), nullptr);
        EXPECT_TRUE(driven);
    }
    std::string control;
};

TEST_F(ComponentCommandsTest, HtmlTemplateDialogShowsEditsSavesCopiesAndRunsThePage) {
    using namespace html_template;
    settings().writeString(kSection, kLastPath, (root() / "controls").string() + "/");
    settings().writeString(kSection, kLastSavePath, (root() / "pages" / "old.htm").string());
    fs::create_directories(root() / "pages");
    pickers.queue(QString::fromStdString(control), 3);
    const std::string saved = (root() / "pages" / "Gauge.htm").string();
    pickers.queue(QString::fromStdString(saved));
    UrlRecorder browser;

    const ComponentTemplateFacts facts = ReadComponentTemplateFacts(control);
    const std::string plain = BuildComponentTemplate(facts, false, kSite);
    const std::string withLpk = BuildComponentTemplate(facts, true, kSite);
    ASSERT_NE(plain.find("CLSID:"), std::string::npos);
    runTemplateCommand([&](gui::CHtmlTemplateDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Component Html Template");
        EXPECT_FALSE(dialog.includeLpk()->isChecked());
        EXPECT_EQ(dialog.pageText(), plain);

        // The user's edits go when the LPK box builds the page afresh.
        dialog.text()->appendPlainText("my edit");
        dialog.includeLpk()->click();
        EXPECT_EQ(dialog.pageText(), withLpk);

        dialog.text()->appendPlainText("<!-- kept -->");
        const std::string edited = dialog.pageText();
        dialog.findChild<QPushButton*>("saveAsButton")->click();
        EXPECT_EQ(readText(saved), edited);
        dialog.findChild<QPushButton*>("copyButton")->click();
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), edited);
        dialog.findChild<QPushButton*>("runButton")->click();
        EXPECT_EQ(readText(gui::CHtmlTemplateDlg::previewFile()), edited);
    });

    ASSERT_EQ(pickers.calls.size(), 2u);
    EXPECT_EQ(pickers.calls[0].kind, "component");
    EXPECT_EQ(pickers.calls[0].number, 2);
    EXPECT_EQ(pickers.calls[0].path.toStdString(), (root() / "controls").string() + "/");
    EXPECT_EQ(pickers.calls[0].filterIndex, kDefaultIndex);
    // Save As offers the component's name in the folder of the last saved page.
    EXPECT_EQ(pickers.calls[1].kind, "savePage");
    EXPECT_EQ(pickers.calls[1].path.toStdString(), (root() / "pages" / "Gauge.htm").string());
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0], QUrl::fromLocalFile(QString::fromStdString(gui::CHtmlTemplateDlg::previewFile())));
    EXPECT_EQ(settings().readString(kSection, kLastSavePath, ""), saved);
    EXPECT_EQ(settings().readString(kSection, kLastPath, ""), (root() / "controls").string() + "/");
    EXPECT_EQ(settings().readInt(kSection, kLastIndex, 0), 3);
    fs::remove(gui::CHtmlTemplateDlg::previewFile());
}

TEST_F(ComponentCommandsTest, HtmlTemplateCancelledInThePickerOpensNothingAndRemembersNothing) {
    gui::RunHtmlTemplateCommand(context(), nullptr);
    EXPECT_EQ(pickers.calls.size(), 1u);
    EXPECT_FALSE(settings().contains(html_template::kSection, html_template::kLastPath));
}

TEST_F(ComponentCommandsTest, SavingIntoAFolderThatCannotBeWrittenSaysSo) {
    pickers.queue(QString::fromStdString(control));
    pickers.queue(QString::fromStdString((root() / "missing" / "page.htm").string()));
    runTemplateCommand([&](gui::CHtmlTemplateDlg& dialog) {
        dialog.findChild<QPushButton*>("saveAsButton")->click();
    });
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_NE(ui.shown().back().text.find("missing/page.htm"), std::string::npos) << ui.shown().back().text;
    EXPECT_FALSE(settings().contains(html_template::kSection, html_template::kLastSavePath));
}

TEST_F(ComponentCommandsTest, RegisterAndUnregisterCallTheComponentAndRememberItsFolder) {
    using namespace registration;
    const std::string marker = (root() / "marker").string();
    ::setenv("PCN_TEST_MARKER", marker.c_str(), 1);
    ::unsetenv("PCN_TEST_RESULT");
    const std::string component = std::string(PCN_TEST_BIN) + "/ElfComponent-full.so";
    settings().writeString(kSection, kLastPath, (root() / "controls").string() + "/");

    pickers.queue(QString::fromStdString(component), 1);
    gui::RunRegisterCommand(context(), nullptr);
    EXPECT_TRUE(fs::exists(marker + ".registered"));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, kRegistered);
    EXPECT_EQ(pickers.calls.at(0).number, 0);
    EXPECT_EQ(pickers.calls.at(0).path.toStdString(), (root() / "controls").string() + "/");
    EXPECT_EQ(pickers.calls.at(0).filterIndex, kDefaultIndex);
    EXPECT_EQ(settings().readString(kSection, kLastPath, ""), std::string(PCN_TEST_BIN) + "/");
    EXPECT_EQ(settings().readInt(kSection, kLastIndex, 0), 1);

    ui.clear();
    pickers.queue(QString::fromStdString(component), 3);
    gui::RunUnregisterCommand(context(), nullptr);
    EXPECT_TRUE(fs::exists(marker + ".unregistered"));
    EXPECT_EQ(ui.shown().at(0).text, kUnregistered);
    EXPECT_EQ(pickers.calls.at(1).number, 1);
    EXPECT_EQ(pickers.calls.at(1).path.toStdString(), std::string(PCN_TEST_BIN) + "/");
    EXPECT_EQ(pickers.calls.at(1).filterIndex, 1);
    EXPECT_EQ(settings().readInt(kSection, kLastIndex, 0), 3);

    // Cancel in the picker: nothing is called.
    ui.clear();
    gui::RunRegisterCommand(context(), nullptr);
    EXPECT_TRUE(ui.shown().empty());
    ::unsetenv("PCN_TEST_MARKER");
}

// A component that takes its time (Wine preparing its prefix takes
// minutes): the window keeps answering, with a note of what goes on.
TEST_F(ComponentCommandsTest, ASlowRegistrationLeavesTheWindowResponsiveWithABusyNote) {
    using namespace registration;
    const std::string marker = (root() / "slow").string();
    ::setenv("PCN_TEST_MARKER", marker.c_str(), 1);
    ::setenv("PCN_TEST_DELAY_MS", "700", 1);
    ::unsetenv("PCN_TEST_RESULT");
    pickers.queue(QString::fromStdString(std::string(PCN_TEST_BIN) + "/ElfComponent-full.so"), 1);

    int ticks = 0;
    QString note;
    QTimer clock;
    QObject::connect(&clock, &QTimer::timeout, [&] {
        ++ticks;
        if (auto* busy = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
            note = busy->labelText();
    });
    clock.start(20);
    gui::RunRegisterCommand(context(), nullptr);
    clock.stop();
    ::unsetenv("PCN_TEST_DELAY_MS");
    ::unsetenv("PCN_TEST_MARKER");

    EXPECT_TRUE(fs::exists(marker + ".registered"));
    EXPECT_GE(ticks, 10) << "the event loop stood still while the component registered";
    EXPECT_TRUE(note.startsWith("Registering ElfComponent-full.so...")) << note.toStdString();
    EXPECT_TRUE(note.contains("prepares Wine")) << note.toStdString();
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, kRegistered);
}

TEST_F(ComponentCommandsTest, CreateLpkStartsTheToolOfTheProgramFolderOrSaysWhereItLooked) {
    const std::string folder = (root() / "program").string() + "/";
    fs::create_directories(folder);
    const char* programDir = std::getenv("PCN_PROGRAM_DIR");
    const std::string saved = programDir ? programDir : "";
    ::setenv("PCN_PROGRAM_DIR", folder.c_str(), 1);

    gui::RunCreateLpkCommand(context());
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Unable to locate " + folder + kLpkToolExe);

    const std::string started = (root() / "started").string();
    {
        std::ofstream tool(folder + kLpkTool);
        tool << "#!/bin/sh\ntouch '" << started << "'\n";
    }
    fs::permissions(folder + kLpkTool, fs::perms::owner_all);
    ui.clear();
    gui::RunCreateLpkCommand(context());
    EXPECT_TRUE(ui.shown().empty());
    for (int i = 0; i < 100 && !fs::exists(started); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(fs::exists(started));
    ::setenv("PCN_PROGRAM_DIR", saved.c_str(), 1);
}

}  // namespace
}  // namespace pcn::test

#include "ComponentCommandsTest.moc"
