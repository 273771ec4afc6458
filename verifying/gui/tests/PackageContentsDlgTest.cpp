// The Contents dialog on a real spanning set written by the cabinet engine:
// it lists the set's files from the cabinets, and Verify shows the checks'
// lines, failing on a cabinet damaged after the build.

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <gtest/gtest.h>

#include "cabinet/tests/CabinetTestSupport.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"
#include "platform/gui/DialogKeys.h"
#include "platform/gui/HelpTopicName.h"
#include "verifying/gui/CPackageContentsDlg.h"

namespace {

using namespace pcn::cabinet;
using namespace pcn::cabinet::test;

struct BuiltPackage {
    ScratchFolder scratch;
    pcn::CCabObj package;

    BuiltPackage() {
        std::vector<SourceFile> files = {{"readme.txt", textData(40000, 1)},
                                         {"docs\\manual.txt", textData(90000, 2)},
                                         {"data.bin", noiseData(70000, 3)}};
        CabinetParams params;
        params.maxCabinetSize = 80000;
        params.folderThreshold = 90000000;
        params.setId = 44444;
        const WriteResult written = writeCabinets(scratch.path(), files, params, kCompressionMszip);
        EXPECT_TRUE(written.ok);
        package.m_strProduct = "Pkg";
        package.m_strBuildFolder = (scratch / "out").string() + "/";
        package.m_arrOutputFiles = written.cabinets;
        package.m_bCreateInf = 0;
        package.m_bSignature = 0;
    }
};

// Verify runs on a worker; the dialog shows its end in the summary label.
bool verifyAndWait(pcn::gui::CPackageContentsDlg& dialog) {
    QTest::mouseClick(dialog.verifyButton(), Qt::LeftButton);
    return QTest::qWaitFor([&] { return !dialog.summaryLabel()->text().isEmpty(); }, 20000);
}

TEST(PackageContentsDlg, ListsTheSetAndVerifiesIt) {
    BuiltPackage built;
    ASSERT_GE(built.package.m_arrOutputFiles.size(), 2u);
    pcn::SettingsStore settings(built.scratch / "settings.conf");
    pcn::gui::DialogKeys::install();
    pcn::gui::CPackageContentsDlg dialog(built.package, settings);
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.windowTitle(), "Pkg - Contents");
    EXPECT_EQ(dialog.property(pcn::gui::kHelpTopicProperty).toString(), "project_contents.htm");

    QTreeWidget* list = dialog.contentsList();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(1)->text(0), "docs\\manual.txt");
    EXPECT_EQ(list->topLevelItem(1)->text(1), "90,000");
    EXPECT_EQ(list->topLevelItem(1)->text(5), "MSZIP");

    // The list has the focus and Enter there runs Verify, as a user would start it.
    EXPECT_EQ(dialog.focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.summaryLabel()->text().isEmpty(); }, 20000));
    EXPECT_TRUE(dialog.summaryLabel()->text().contains(" 0 fail")) << dialog.summaryLabel()->text().toStdString();
    EXPECT_FALSE(dialog.checkList()->findItems("whole set of", Qt::MatchContains).isEmpty());
    EXPECT_EQ(dialog.verifyButton()->text(), "&Verify");

    // A byte changed in the last cabinet's data after the build.
    const auto last = built.scratch / "out" / built.package.m_arrOutputFiles.back();
    std::fstream f(last, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(-100, std::ios::end);
    f.put('\x55');
    f.close();
    ASSERT_TRUE(verifyAndWait(dialog));
    EXPECT_TRUE(dialog.summaryLabel()->text().contains("1 fails")) << dialog.summaryLabel()->text().toStdString();
    EXPECT_FALSE(dialog.checkList()->findItems("FAIL", Qt::MatchStartsWith).isEmpty());
}

TEST(PackageContentsDlg, ClosingWhileVerifyingWaitsForTheWorker) {
    BuiltPackage built;
    pcn::SettingsStore settings(built.scratch / "settings.conf");
    auto dialog = std::make_unique<pcn::gui::CPackageContentsDlg>(built.package, settings);
    dialog->show();
    QTest::mouseClick(dialog->verifyButton(), Qt::LeftButton);
    dialog->reject();
    EXPECT_FALSE(dialog->verifying());
    dialog.reset();
    QTest::qWait(50);  // queued lines for the closed dialog are dropped
}

TEST(PackageContentsDlg, UnbuiltPackageHasNothingToVerify) {
    pcn::CCabObj package;
    package.m_strProduct = "Never built";
    ScratchFolder scratch;
    pcn::SettingsStore settings(scratch / "settings.conf");
    pcn::gui::CPackageContentsDlg dialog(package, settings);
    EXPECT_EQ(dialog.contentsList()->topLevelItemCount(), 0);
    EXPECT_FALSE(dialog.verifyButton()->isEnabled());
}

}  // namespace
