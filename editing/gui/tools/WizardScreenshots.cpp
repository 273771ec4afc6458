// pcn_wizard_screenshots OUTPUT-FOLDER: pictures of the package wizard's Type,
// Files and Build pages for the help pages, taken on a sample package in a
// throw-away data folder and settings file.
//   QT_QPA_PLATFORM=offscreen pcn_wizard_screenshots docs
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "building/gui/BuildHostPanel.h"
#include "distribution/ScriptedUserInterface.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/pickers/QtPickers.h"
#include "editing/gui/wizard/CCabWizPageBuild.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"

namespace {

void writeSample(const QString& path, int size) {
    std::ofstream(path.toStdString(), std::ios::binary) << std::string(size_t(size), 'x');
}

template <typename T>
T* control(QWidget& sheet, const char* name) {
    T* widget = sheet.findChild<T*>(name);
    if (!widget) {
        std::fprintf(stderr, "pcn_wizard_screenshots: no control %s\n", name);
        std::exit(1);
    }
    return widget;
}

bool save(QWidget& sheet, const QString& file) {
    QApplication::processEvents();
    if (sheet.grab().save(file)) return true;
    std::fprintf(stderr, "pcn_wizard_screenshots: cannot write %s\n", qPrintable(file));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pcn_wizard_screenshots OUTPUT-FOLDER\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir work(QDir::tempPath() + "/Acme-XXXXXX");
    if (!work.isValid()) return 1;
    ::setenv("PCN_DATA_DIR", qPrintable(work.filePath("data")), 1);
    const QString source = work.filePath("src/");
    for (const char* folder : {"src/bin", "src/docs"}) QDir().mkpath(work.filePath(folder));
    writeSample(source + "readme.txt", 1200);
    writeSample(source + "bin/acme.dll", 250000);
    writeSample(source + "bin/acmetool.exe", 410000);
    writeSample(source + "bin/acmectl.ocx", 96000);
    writeSample(source + "docs/manual.txt", 30000);

    pcn::SettingsStore settings(work.filePath("PCN.conf").toStdString());
    settings.writeString("Settings\\Package", "Company", "Acme Software");
    settings.writeString("Settings\\Package", "Copyright", "Copyright (C) 2026 Acme Software");
    pcn::ScriptedUserInterface ui;
    pcn::gui::QtPickers pickers;
    pcn::gui::EditingContext context{settings, ui, pickers};
    pcn::CCabObj package;
    pcn::gui::CCabWizSheet sheet(package, context);
    sheet.resize(720, 480);
    sheet.show();

    control<QLineEdit>(sheet, "productName")->setText("Acme Setup");
    control<QLineEdit>(sheet, "productVersion")->setText("2.4");
    sheet.nextButton()->click();
    control<QRadioButton>(sheet, "selfExtractingWizard")->click();
    if (!save(sheet, output + "/wizard-type-page.png")) return 1;

    sheet.nextButton()->click();
    control<QLineEdit>(sheet, "sourceFolder")->setText(source);
    control<QCheckBox>(sheet, "includeSubDirs")->setChecked(true);
    sheet.nextButton()->click();
    auto* files = control<QTreeWidget>(sheet, "fileList");
    if (files->topLevelItemCount() < 2) return 1;
    files->topLevelItem(1)->setSelected(true);
    files->setCurrentItem(files->topLevelItem(1));
    if (!save(sheet, output + "/wizard-files-page.png")) return 1;

    // The Build page after a finished build of the sample files as a cabinet.
    pcn::CCabObj built;
    built.m_strProduct = "Acme Runtime";
    built.m_strCompany = "Acme Software";
    built.m_strProjectName = "AcmeRuntime";
    built.m_strSourceFolder = source.toStdString();
    built.m_strTargetFolder = work.filePath("out/AcmeRuntime").toStdString();
    built.m_bSignature = 0;
    built.m_bCreateInf = 0;
    for (const char* file : {"readme.txt", "bin/acme.dll", "bin/acmetool.exe", "bin/acmectl.ocx", "docs/manual.txt"})
        built.AddFile((source + file).toStdString());
    pcn::gui::CCabWizSheet buildSheet(built, context);
    buildSheet.resize(640, 460);
    buildSheet.setStartId(pcn::gui::CCabWizSheet::kBuildPage);
    buildSheet.show();
    auto* buildPage = qobject_cast<pcn::gui::CCabWizPageBuild*>(buildSheet.page(pcn::gui::CCabWizSheet::kBuildPage));
    QElapsedTimer waited;
    waited.start();
    while (buildPage->panel()->isBuilding() && waited.elapsed() < 60000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (buildSheet.m_bBuildFailed || buildPage->panel()->isBuilding()) {
        std::fprintf(stderr, "pcn_wizard_screenshots: the sample build did not succeed\n");
        return 1;
    }
    return save(buildSheet, output + "/wizard-build-page.png") ? 0 : 1;
}
