// The Export dialog on a saved project: the whole project, selected
// packages, the destination and its Browse.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <filesystem>

#include "app/core/CPCNDoc.h"
#include "app/gui/CExportDlg.h"
#include "editing/gui/tests/EditingTestSupport.h"
#include "platform/AtomicFile.h"

namespace pcn::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::string bytes;
    readWholeFile(path, bytes);
    return bytes;
}

class ExportTest : public EditingTest {
protected:
    ExportTest() {
        for (auto [product, kind] : {std::pair{"Gamma", kKindCabinet}, std::pair{"Alpha", kKindSelfExtractingWizard},
                                     std::pair{"Beta", kKindWebInf}}) {
            auto package = std::make_unique<CCabObj>();
            package->m_strProduct = product;
            package->m_nKind = kind;
            package->m_bRebuild = 0;
            doc.AddPackage(std::move(package));
        }
        EXPECT_TRUE(doc.OnSaveDocument((root() / "Project.pcn").string()));
    }
    void open() {
        dialog = std::make_unique<gui::CExportDlg>(doc, ui, pickers);
        dialog->show();
        dialog->findChild<QLineEdit*>("destination")->setText(QString::fromStdString(destination.string()));
    }
    QTreeWidget& list() { return *dialog->list(); }
    void ok() { dialog->findChild<QPushButton*>("okButton")->click(); }

    CPCNDoc doc{&ui};
    fs::path destination = root() / "export";
    std::unique_ptr<gui::CExportDlg> dialog;
};

}  // namespace

TEST_F(ExportTest, WholeProjectCopiesTheProjectFileAndEveryPackageFile) {
    open();
    EXPECT_EQ(dialog->windowTitle(), "Export");
    EXPECT_TRUE(dialog->findChild<QRadioButton*>("wholeProject")->isChecked());
    EXPECT_FALSE(list().isEnabled());
    fs::create_directories(destination);
    ok();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    for (const char* name : {"Project.pcn", "Gamma.pcp", "Alpha.pcp", "Beta.pcp"})
        EXPECT_EQ(readFile(destination / name), readFile(root() / name)) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(destination), fs::directory_iterator()), 4);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(ExportTest, ExistingFileKeptWhenTheUserSaysNo) {
    fs::create_directories(destination);
    writeFileAtomically(destination / "Alpha.pcp", "older Alpha");
    open();
    ui.queueAnswer(Answer::No);
    ok();
    EXPECT_EQ(readFile(destination / "Alpha.pcp"), "older Alpha");
    EXPECT_EQ(readFile(destination / "Gamma.pcp"), readFile(root() / "Gamma.pcp"));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_NE(ui.shown()[0].text.find("Alpha.pcp"), std::string::npos);
}

TEST_F(ExportTest, SelectedPackagesOnlyAndNothingWithoutASelection) {
    open();
    QStringList texts;
    for (int i = 0; i < list().topLevelItemCount(); ++i) texts << list().topLevelItem(i)->text(0);
    EXPECT_EQ(texts, QStringList({"Alpha (Self Extracting Wizard)", "Beta (Web Inf Package)", "Gamma (Cabinet)"}));
    dialog->findChild<QRadioButton*>("selectedPackages")->click();
    EXPECT_TRUE(list().isEnabled());
    ok();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(fs::exists(destination));

    open();
    dialog->findChild<QRadioButton*>("selectedPackages")->click();
    list().topLevelItem(1)->setSelected(true);
    list().topLevelItem(2)->setSelected(true);
    ok();  // the folder is created after asking (default Yes)
    EXPECT_TRUE(ui.shown().back().text.find("does not exist") != std::string::npos);
    EXPECT_TRUE(fs::exists(destination / "Beta.pcp"));
    EXPECT_TRUE(fs::exists(destination / "Gamma.pcp"));
    EXPECT_FALSE(fs::exists(destination / "Alpha.pcp"));
    EXPECT_FALSE(fs::exists(destination / "Project.pcn"));
}

TEST_F(ExportTest, DestinationStartsAtHomeAndBrowseAddsTheSeparator) {
    dialog = std::make_unique<gui::CExportDlg>(doc, ui, pickers);
    auto* edit = dialog->findChild<QLineEdit*>("destination");
    EXPECT_EQ(edit->text(), gui::CExportDlg::defaultDestination());
    EXPECT_TRUE(edit->text().endsWith('/'));
    pickers.queue("/media/usb");
    dialog->findChild<QPushButton*>("browse")->click();
    EXPECT_EQ(edit->text(), "/media/usb/");
    EXPECT_EQ(pickers.calls.back().kind, "folder");
    dialog->findChild<QPushButton*>("browse")->click();  // cancelled
    EXPECT_EQ(edit->text(), "/media/usb/");
}

}  // namespace pcn::test
