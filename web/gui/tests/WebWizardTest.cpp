// The web package wizard driven through its real widgets: the product name
// and target folder, the scan options, scans that succeed, fail, are not
// repeated and are cancelled, the Dependencies and OS pages, and a finished
// wizard on the mingw-built control whose files match `parcelon web`.

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <memory>

#include "app/core/CPCNDoc.h"
#include "app/gui/CInfoView.h"
#include "app/gui/CPCNView.h"
#include "app/gui/Commands.h"
#include "app/gui/FileDialogs.h"
#include "model/PackageFile.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "web/gui/DependencyScan.h"
#include "web/gui/WebEditors.h"
#include "web/gui/forms/DependenciesForm.h"
#include "web/gui/forms/OsTypesForm.h"
#include "web/gui/tests/WebTestSupport.h"
#include "web/gui/wizard/CWebWizPage1.h"
#include "web/gui/wizard/CWebWizSheet.h"
#include "web/scanner/DependencyScanner.h"

namespace pcn::test {
namespace {

namespace fs = std::filesystem;
using gui::CWebWizSheet;

class WebWizardTest : public WebEditingTest {
protected:
    ~WebWizardTest() override { sheet.reset(); }

    void startWizard() {
        package = std::make_unique<CCabObj>();
        package->m_nKind = kKindWebInf;
        package->m_strTargetFolder = (root() / "out").string() + "/";
        sheet = std::make_unique<CWebWizSheet>(*package, context());
        sheet->show();
    }
    template <typename T>
    T* find(const char* name) const { return child<T>(sheet.get(), name); }
    void click(const char* name) { find<QAbstractButton>(name)->click(); }
    void next() { sheet->nextButton()->click(); }
    void back() { sheet->backButton()->click(); }
    int page() const { return sheet->currentId(); }
    // The first page filled in for a component; scan on, dynamic scan off.
    void fillGeneral(const std::string& component, const QString& product = "Gauge") {
        typeText(find<QLineEdit>("productName"), product);
        typeText(find<QLineEdit>("componentPath"), QString::fromStdString(component));
        if (!find<QCheckBox>("scan")->isChecked()) click("scan");
        if (find<QCheckBox>("scanDynamic")->isChecked()) click("scanDynamic");
    }

    std::unique_ptr<CCabObj> package;
    std::unique_ptr<CWebWizSheet> sheet;
};

TEST_F(WebWizardTest, ProductNameRetargetsTheFolderButANameWithADotLeavesItAsItWas) {
    startWizard();
    EXPECT_EQ(sheet->windowTitle(), "New Web Package");
    EXPECT_TRUE(sheet->page1()->title().startsWith("Web Inf Package - "));
    auto* product = find<QLineEdit>("productName");
    auto* target = find<QLineEdit>("targetFolder");
    typeText(product, "Gauge");
    const QString gauge = QString::fromStdString((root() / "out" / "Gauge").string());
    EXPECT_EQ(target->text(), gauge);
    QTest::keyClicks(product, " 2.0");
    EXPECT_EQ(product->text(), "Gauge 2.0");
    EXPECT_EQ(target->text(), gauge + " 2.0");
    QTest::keyClicks(product, ":");
    EXPECT_EQ(target->text(), gauge + " 2.0");
    typeText(product, "Meter");
    EXPECT_EQ(target->text(), QString::fromStdString((root() / "out" / "Meter").string()));

    // Next refuses a name that cannot name the output files.
    typeText(find<QLineEdit>("componentPath"), QString::fromStdString(elfPlugin()));
    QTest::keyClicks(product, ":x");
    next();
    EXPECT_EQ(page(), CWebWizSheet::kGeneralPage);
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_NE(ui.shown().back().text.find("cannot hold"), std::string::npos);

    // Names that would end a line or a section of the INF are refused too.
    product->setText("Two\nLines");
    next();
    EXPECT_EQ(page(), CWebWizSheet::kGeneralPage);
    EXPECT_NE(ui.shown().back().text.find("line breaks"), std::string::npos) << ui.shown().back().text;
    product->setText("Meter");
    find<QLineEdit>("componentPath")->setText(QString::fromStdString((root() / "x]\n[Add.Code.ocx").string()));
    next();
    EXPECT_EQ(page(), CWebWizSheet::kGeneralPage);
    EXPECT_NE(ui.shown().back().text.find("INF file"), std::string::npos) << ui.shown().back().text;
}

TEST_F(WebWizardTest, UncheckingTheScanUnchecksAndDisablesTheDynamicScan) {
    startWizard();
    auto* scan = find<QCheckBox>("scan");
    auto* dynamic = find<QCheckBox>("scanDynamic");
    EXPECT_FALSE(dynamic->isEnabled());  // the scan is off by default
    click("scan");
    EXPECT_TRUE(dynamic->isEnabled());
    click("scanDynamic");
    EXPECT_TRUE(dynamic->isChecked());
    click("scan");
    EXPECT_FALSE(scan->isChecked());
    EXPECT_FALSE(dynamic->isChecked());
    EXPECT_FALSE(dynamic->isEnabled());
    // The LPK object only with the HTML page.
    EXPECT_FALSE(find<QCheckBox>("includeLpk")->isEnabled());
    click("htmTemplate");
    EXPECT_TRUE(find<QCheckBox>("includeLpk")->isEnabled());
}

TEST_F(WebWizardTest, NextIsOfferedOnlyWithAComponentOrAProduct) {
    startWizard();
    EXPECT_FALSE(sheet->nextButton()->isEnabled());
    typeText(find<QLineEdit>("componentPath"), "x");
    EXPECT_TRUE(sheet->nextButton()->isEnabled());
    typeText(find<QLineEdit>("componentPath"), "");
    EXPECT_FALSE(sheet->nextButton()->isEnabled());
    EXPECT_FALSE(sheet->backButton()->isEnabled());
}

TEST_F(WebWizardTest, IncludedEntriesListOnTheOsPageAndTheirOsChoiceSurvivesBackAndNext) {
    startWizard();
    fillGeneral(elfPlugin());
    click("scanDynamic");
    next();
    ASSERT_EQ(page(), CWebWizSheet::kDependenciesPage);
    ASSERT_GE(package->GetDependencyCount(), 3);
    EXPECT_EQ(find<QLabel>("dependenciesCaption")->text(), "Libraries loaded on behalf of libscanplugin.so");

    auto* list = find<QTreeWidget>("dependencyList");
    ASSERT_EQ(list->topLevelItemCount(), package->GetDependencyCount());
    // A library the plug-in names that is nowhere on this machine says why on its row.
    int notFound = 0;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        if (package->GetDependencyOrigin(row) != web::kOriginNotFound) continue;
        ++notFound;
        EXPECT_TRUE(list->topLevelItem(row)->toolTip(0).contains("\nNot found: not in LD_LIBRARY_PATH"))
            << list->topLevelItem(row)->toolTip(0).toStdString();
    }
    EXPECT_GT(notFound, 0);
    EXPECT_TRUE(find<QCheckBox>("includeInPackages")->isChecked());  // row 0, the component
    selectRow(list, 2);
    EXPECT_FALSE(find<QCheckBox>("includeInPackages")->isChecked());
    click("includeInPackages");
    EXPECT_EQ(package->GetDependencyInclude(2), 1);
    EXPECT_EQ(package->GetDependencyInclude(1), 0);
    next();
    ASSERT_EQ(page(), CWebWizSheet::kOsTypesPage);

    auto* osList = find<QTreeWidget>("osList");
    ASSERT_EQ(osList->topLevelItemCount(), 2);
    EXPECT_EQ(osList->topLevelItem(1)->text(0).toStdString(), package->GetDependencyName(2));
    selectRow(osList, 1);
    click("osMac");
    click("cpuMips");
    EXPECT_FALSE(find<QCheckBox>("osWin32")->isChecked());
    EXPECT_EQ(package->GetDependencyOs(2), 2);
    EXPECT_EQ(package->GetDependencyCpu(2), 4);
    EXPECT_EQ(package->GetDependencyOs(0), 1);
    EXPECT_EQ(package->GetDependencyCpu(0), 1);
    selectRow(osList, 0);
    EXPECT_TRUE(find<QCheckBox>("osWin32")->isChecked());
    click("nonSpecific");
    EXPECT_EQ(package->GetDependencyOs(0), 0);
    EXPECT_EQ(package->GetDependencyCpu(0), 0);
    EXPECT_FALSE(find<QCheckBox>("osWin32")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("cpuX86")->isChecked());

    // Back to the Dependencies page and on again: the choices stay.
    back();
    ASSERT_EQ(page(), CWebWizSheet::kDependenciesPage);
    EXPECT_EQ(package->GetDependencyOs(2), 2);
    EXPECT_EQ(package->GetDependencyOs(0), 0);
    next();
    selectRow(find<QTreeWidget>("osList"), 1);
    EXPECT_TRUE(find<QCheckBox>("osMac")->isChecked());
    EXPECT_TRUE(find<QCheckBox>("cpuMips")->isChecked());
}

TEST_F(WebWizardTest, LeavingTheFirstPageUnchangedAfterAScanDoesNotScanAgain) {
    startWizard();
    fillGeneral(elfPlugin());
    next();
    ASSERT_EQ(page(), CWebWizSheet::kDependenciesPage);
    const int count = package->GetDependencyCount();
    selectRow(find<QTreeWidget>("dependencyList"), 1);
    click("includeInPackages");
    ASSERT_EQ(package->GetDependencyInclude(1), 1);

    back();
    ASSERT_EQ(page(), CWebWizSheet::kGeneralPage);
    EXPECT_TRUE(sheet->nextButton()->isEnabled());
    next();
    ASSERT_EQ(page(), CWebWizSheet::kDependenciesPage);
    EXPECT_EQ(package->GetDependencyCount(), count);
    EXPECT_EQ(package->GetDependencyInclude(1), 1);

    // The same component chosen again with Browse scans again.
    back();
    pickers.queue(QString::fromStdString(elfPlugin()));
    click("browseComponent");
    EXPECT_EQ(pickers.calls.back().kind, "sign");
    EXPECT_EQ(pickers.calls.back().number, 2);
    next();
    EXPECT_EQ(package->GetDependencyInclude(1), 0);
    selectRow(find<QTreeWidget>("dependencyList"), 1);
    click("includeInPackages");

    // So does a changed scan option: the list starts afresh.
    back();
    click("scanDynamic");
    next();
    ASSERT_EQ(page(), CWebWizSheet::kDependenciesPage);
    EXPECT_EQ(package->GetDependencyInclude(1), 0);
    EXPECT_GT(package->GetDependencyCount(), count);  // the names in the plug-in's data
}

TEST_F(WebWizardTest, AFailedScanKeepsTheWizardOnTheFirstPage) {
    startWizard();
    const std::string broken = makeFile("Broken.ocx", 64, 'z');
    fillGeneral(broken);
    next();
    EXPECT_EQ(page(), CWebWizSheet::kGeneralPage);
    EXPECT_EQ(find<QLabel>("scanStatus")->text(), "Failed Scanning for Dependencies.");
    // What is wrong with the file, not a registration it could never have.
    EXPECT_TRUE(ui.sawText("Unable to check Library:\n " + broken +
                           "\n\nThe file is neither a Linux shared object nor a Windows library: choose the "
                           "component's .ocx or .dll."));
    EXPECT_EQ(package->GetDependencyCount(), 0);
    EXPECT_EQ(sheet->state().m_bRescan, 1);
    EXPECT_TRUE(sheet->nextButton()->isEnabled());
    EXPECT_TRUE(find<QLineEdit>("productName")->isEnabled());
}

TEST_F(WebWizardTest, CancelDuringTheScanEndsTheLoaderHostAndStaysOnTheFirstPage) {
    startWizard();
    fillGeneral(std::string(PCN_TEST_BIN) + "/SlowComponent.so");
    bool busyWhileScanning = false;
    QTimer::singleShot(400, [&] {
        busyWhileScanning = sheet->page1()->scan()->running() && !sheet->nextButton()->isEnabled() &&
                            sheet->cancelButton()->isEnabled();
        sheet->cancelButton()->click();
    });
    QElapsedTimer clock;
    clock.start();
    next();
    EXPECT_LT(clock.elapsed(), 3000);  // the host would be waited for five seconds
    EXPECT_TRUE(busyWhileScanning);
    EXPECT_EQ(page(), CWebWizSheet::kGeneralPage);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(find<QLabel>("scanStatus")->text(), gui::DependencyScan::kCancelledText);
    EXPECT_TRUE(ui.shown().empty());  // the cancel is no failure to report
    EXPECT_EQ(web::StopLoaderHosts(), 0);
    EXPECT_EQ(sheet->state().m_bRescan, 1);
    EXPECT_TRUE(sheet->nextButton()->isEnabled());
}

TEST_F(WebWizardTest, TheFirstPageRemembersItsValuesAndAddAndViewHtmWork) {
    startWizard();
    fillGeneral(elfPlugin(), "Plug");
    click("htmTemplate");
    click("includeLpk");
    next();
    ASSERT_EQ(page(), CWebWizSheet::kDependenciesPage);

    // "Add..." starts in the component's folder and appends an included entry.
    const std::string extra = makeFile("extra/Extra.dll");
    pickers.queue(QString::fromStdString(extra));
    const int before = package->GetDependencyCount();
    click("addDependency");
    ASSERT_EQ(package->GetDependencyCount(), before + 1);
    EXPECT_EQ(pickers.calls.back().kind, "sign");
    EXPECT_EQ(pickers.calls.back().path.toStdString(), (kComponents / "elf").string() + "/");
    EXPECT_EQ(package->GetDependencyName(before), extra);
    EXPECT_EQ(package->GetDependencyInclude(before), 1);
    EXPECT_EQ(package->GetDependencyOrigin(before), web::kOriginLoaded);
    EXPECT_EQ(find<QTreeWidget>("dependencyList")->topLevelItemCount(), before + 1);

    next();
    next();
    ASSERT_EQ(page(), CWebWizSheet::kInfOutputPage);
    auto* text = find<QPlainTextEdit>("infText");
    EXPECT_NE(text->toPlainText().indexOf("[Extra.dll]"), -1);
    click("viewHtmTemplate");
    EXPECT_TRUE(text->toPlainText().startsWith("<HTML>"));
    click("viewHtmTemplate");
    EXPECT_TRUE(text->toPlainText().startsWith(";Plug"));

    // The next wizard starts with these values.
    sheet->reject();
    startWizard();
    EXPECT_EQ(find<QLineEdit>("productName")->text(), "Plug");
    EXPECT_EQ(find<QLineEdit>("componentPath")->text().toStdString(), elfPlugin());
    EXPECT_TRUE(find<QCheckBox>("scan")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("scanDynamic")->isChecked());
    EXPECT_TRUE(find<QCheckBox>("htmTemplate")->isChecked());
    EXPECT_TRUE(find<QCheckBox>("includeLpk")->isChecked());
    EXPECT_EQ(find<QLineEdit>("targetFolder")->text().toStdString(), (root() / "out" / "Plug").string());
}

class NoFileDialogs : public gui::FileDialogs {
public:
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

TEST_F(WebWizardTest, AFinishedWizardAddsThePackageAndWritesWhatParcelonWebWrites) {
    const fs::path control = kComponents / "pe/control.ocx";
    ASSERT_TRUE(fs::exists(control)) << "build the PE test components with mingw-w64";
    CPCNDoc doc(&ui);
    NoFileDialogs dialogs;
    gui::CPCNView view(doc, settings(), ui, dialogs);
    gui::InstallWebEditors(view.editors(), context(), &view);
    ASSERT_TRUE(view.canRunCommand(gui::ID_FILE_NEW_WEB_PACKAGE));

    bool finished = false;
    QTimer::singleShot(0, [&] {
        auto* wizard = qobject_cast<CWebWizSheet*>(QApplication::activeModalWidget());
        ASSERT_NE(wizard, nullptr);
        typeText(child<QLineEdit>(wizard, "productName"), "Gauge");
        typeText(child<QLineEdit>(wizard, "componentPath"), QString::fromStdString(control.string()));
        typeText(child<QLineEdit>(wizard, "targetFolder"), QString::fromStdString((root() / "web" / "Gauge").string()));
        for (const char* box : {"scan", "htmTemplate", "includeLpk"})
            if (!child<QCheckBox>(wizard, box)->isChecked()) child<QCheckBox>(wizard, box)->click();
        wizard->nextButton()->click();
        ASSERT_EQ(wizard->currentId(), CWebWizSheet::kDependenciesPage);
        // The helper DLL goes into the package too.
        auto* list = child<QTreeWidget>(wizard, "dependencyList");
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            if (list->topLevelItem(row)->text(0).endsWith("Helper.Dll")) {
                selectRow(list, row);
                child<QCheckBox>(wizard, "includeInPackages")->click();
            }
        wizard->nextButton()->click();
        wizard->nextButton()->click();
        ASSERT_EQ(wizard->currentId(), CWebWizSheet::kInfOutputPage);
        EXPECT_TRUE(child<QCheckBox>(wizard, "viewHtmTemplate")->isEnabled());
        EXPECT_TRUE(child<QPlainTextEdit>(wizard, "infText")->toPlainText().startsWith(";Gauge"));
        wizard->finishButton()->click();
        finished = true;
    });
    view.runCommand(gui::ID_FILE_NEW_WEB_PACKAGE);
    ASSERT_TRUE(finished);

    ASSERT_EQ(doc.m_listPackages.size(), 1u);
    const CCabObj& added = *doc.m_listPackages.front();
    EXPECT_EQ(added.m_nKind, kKindWebInf);
    EXPECT_EQ(view.itemOf(&added)->text(0), "Gauge (Web Inf Package)");
    ASSERT_TRUE(fileExists(added.m_strPackageFile));
    const std::string inf = (root() / "web" / "Gauge" / "Gauge.inf").string();
    const std::string htm = (root() / "web" / "Gauge" / "Gauge.htm").string();
    std::string infText, htmText;
    ASSERT_TRUE(readWholeFile(inf, infText));
    ASSERT_TRUE(readWholeFile(htm, htmText));
    EXPECT_NE(infText.find("[Helper.Dll]"), std::string::npos) << infText;
    EXPECT_NE(htmText.find("value=\"control.lpk\""), std::string::npos) << htmText;

    // The command line, on the package file the wizard's package was saved
    // to, with the same settings, prints the same texts.
    const std::string parcelon = programFolder() + "parcelon";
    const ProcessResult cliInf = runProcess(parcelon, {"web", added.m_strPackageFile});
    const ProcessResult cliHtm = runProcess(parcelon, {"web", added.m_strPackageFile, "--html"});
    ASSERT_EQ(cliInf.exitCode, 0) << cliInf.output;
    ASSERT_EQ(cliHtm.exitCode, 0) << cliHtm.output;
    EXPECT_EQ(cliInf.output, infText);
    EXPECT_EQ(cliHtm.output, htmText);
}

}  // namespace
}  // namespace pcn::test
