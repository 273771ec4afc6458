#include <QAction>
#include <QApplication>
#include <QMenu>

#include <filesystem>

#include "app/core/CPCNDoc.h"
#include "app/gui/CInfoView.h"
#include "app/gui/CMainFrame.h"
#include "app/gui/CPCNView.h"
#include "app/gui/PcnImages.h"
#include "app/gui/tests/GuiTestSupport.h"
#include "model/PackageFile.h"
#include "platform/AtomicFile.h"

namespace pcn::test {
namespace {

class ProjectViewsTest : public GuiTest {
protected:
    // A project of one package of each kind, opened at start-up.
    void startWithFourKinds() {
        project_ = writeProject("Four.pcn", {writePackage(kKindWebInf, "Delta"), writePackage(kKindCabinet, "Alpha"),
                                            writePackage(kKindSelfExtractingWizard, "Gamma"),
                                            writePackage(kKindSelfExtractingCabinet, "Beta")});
        settings().writeString("Recent File List", "File1", project_);
        ASSERT_EQ(start(), -1);
    }
    gui::CPCNView& list() { return *app().listView(); }
    gui::CInfoView& tree() { return *app().infoView(); }
    QStringList itemTexts() {
        QStringList texts;
        for (int i = 0; i < list().topLevelItemCount(); ++i) texts << list().topLevelItem(i)->text(0);
        return texts;
    }
    void select(const QString& prefix) {
        for (int i = 0; i < list().topLevelItemCount(); ++i)
            if (list().topLevelItem(i)->text(0).startsWith(prefix)) {
                list().selectPackage(gui::CPCNView::packageOf(list().topLevelItem(i)));
                return;
            }
        FAIL() << "no item " << prefix.toStdString();
    }
    int imageOf(const QString& prefix) {
        for (int i = 0; i < list().topLevelItemCount(); ++i)
            if (list().topLevelItem(i)->text(0).startsWith(prefix))
                return list().topLevelItem(i)->data(0, Qt::UserRole + 1).toInt();
        return -1;
    }
    QTreeWidgetItem* heading(const QString& text) {
        for (int i = 0; i < tree().topLevelItemCount(); ++i)
            if (tree().topLevelItem(i)->text(0) == text) return tree().topLevelItem(i);
        return nullptr;
    }
    static QStringList childTexts(const QTreeWidgetItem* item) {
        QStringList texts;
        for (int i = 0; item && i < item->childCount(); ++i) texts << item->child(i)->text(0);
        return texts;
    }
    std::string project_;
};

}  // namespace

TEST_F(ProjectViewsTest, ListShowsCaptionsAndImagesOfEachKindSortedByText) {
    startWithFourKinds();
    EXPECT_EQ(itemTexts(), QStringList({"Alpha (Cabinet)", "Beta (Self Extracting Cabinet)",
                                        "Delta (Web Inf Package)", "Gamma (Self Extracting Wizard)"}));
    EXPECT_EQ(imageOf("Alpha"), 0);
    EXPECT_EQ(imageOf("Beta"), 0);
    EXPECT_EQ(imageOf("Gamma"), 19);
    EXPECT_EQ(imageOf("Delta"), 21);
}

TEST_F(ProjectViewsTest, RebuildAndNewPackageStatesChangeCaptionAndImage) {
    const std::string project = writeProject(
        "States.pcn", {writePackage(kKindCabinet, "Built", false), writePackage(kKindCabinet, "Stale", true),
                       writePackage(kKindWebInf, "WebStale", true), writePackage(kKindSelfExtractingWizard, "Failed", true, true),
                       writePackage(kKindWebInf, "WebNew", false, true)});
    settings().writeString("Recent File List", "File1", project);
    ASSERT_EQ(start(), -1);
    EXPECT_TRUE(itemTexts().contains("Failed (New Project)"));
    EXPECT_TRUE(itemTexts().contains("WebNew (Web Inf Package)"));
    EXPECT_EQ(imageOf("Built"), 0);
    EXPECT_EQ(imageOf("Stale"), 18);
    EXPECT_EQ(imageOf("WebStale"), 21);
    EXPECT_EQ(imageOf("Failed"), 18);
}

TEST_F(ProjectViewsTest, WizardTreeHasNoGuidScanAndKeepsPackageTypeCollapsed) {
    startWithFourKinds();
    select("Gamma");
    ASSERT_EQ(tree().shownPackage(), list().selectedPackage());
    QStringList headings;
    for (int i = 0; i < tree().topLevelItemCount(); ++i) headings << tree().topLevelItem(i)->text(0);
    // Signing is on by default.
    EXPECT_EQ(headings, QStringList({"General Information", "Package Type", "Package Source", "Package Target",
                                     "Prompt User With", "Do After File Extraction", "Mini Setup", "Code Signing"}));
    QTreeWidgetItem* type = heading("Package Type");
    EXPECT_FALSE(type->isExpanded());
    EXPECT_EQ(childTexts(type), QStringList({"Self Extracting Wizard File", "Use Compression"}));
    EXPECT_TRUE(heading("General Information")->isExpanded());
    EXPECT_TRUE(heading("Mini Setup")->isExpanded());
    EXPECT_EQ(childTexts(heading("Do After File Extraction")),
              QStringList({"Execute Program", "Program Command Line", "Display Type", "Default Directory",
                           "Restore Directory Struture"}));
    EXPECT_EQ(childTexts(heading("Do After File Extraction")->child(0)), QStringList({"None"}));
    EXPECT_EQ(childTexts(heading("Prompt User With")->child(0)), QStringList({"None"}));
    EXPECT_EQ(childTexts(heading("Prompt User With")->child(2)), QStringList({"No"}));
    EXPECT_EQ(childTexts(heading("Code Signing")->child(3)), QStringList({"MD5"}));
    // Images: given ones, and inherited ones from the item inserted before.
    EXPECT_EQ(type->data(0, Qt::UserRole).toInt(), 0);
    EXPECT_EQ(type->child(0)->data(0, Qt::UserRole).toInt(), 10);
    EXPECT_EQ(heading("Code Signing")->child(2)->data(0, Qt::UserRole).toInt(), 9);
    EXPECT_EQ(heading("Code Signing")->child(2)->child(0)->data(0, Qt::UserRole).toInt(), 9);
}

TEST_F(ProjectViewsTest, CabinetTreeShowsGuidScanFilesAndOutputs) {
    CCabObj package;
    setKind(package, kKindCabinet);
    package.m_strProduct = "Files";
    package.m_bSignature = 0;
    package.m_bGuid = 1;
    package.AddFile("/src/a.dll");
    package.AddFile("/src/b.txt");
    package.m_arrOutputFiles = {"FILES.CAB", "FILES.Inf"};
    package.m_strPackageFile = dataDir() + "Files.pcp";
    ASSERT_TRUE(SavePackage(package));
    settings().writeString("Recent File List", "File1", writeProject("P.pcn", {package.m_strPackageFile}));
    ASSERT_EQ(start(), -1);
    select("Files");
    QStringList headings;
    for (int i = 0; i < tree().topLevelItemCount(); ++i) headings << tree().topLevelItem(i)->text(0);
    EXPECT_EQ(headings, QStringList({"General Information", "Package Type", "Package Source", "Package Target"}));
    QTreeWidgetItem* type = heading("Package Type");
    EXPECT_TRUE(type->isExpanded());
    EXPECT_EQ(childTexts(type), QStringList({"Cabinet File", "Use Compression", "Scan For GUIDs"}));
    EXPECT_EQ(childTexts(type->child(2)), QStringList({"Yes"}));
    QTreeWidgetItem* source = heading("Package Source");
    EXPECT_EQ(childTexts(source->child(2)), QStringList({"/src/a.dll", "/src/b.txt"}));
    EXPECT_EQ(source->child(2)->child(1)->data(0, Qt::UserRole).toInt(), 3);
    EXPECT_EQ(source->child(2)->child(1)->data(0, Qt::UserRole + 1).toInt(), 4);
    QTreeWidgetItem* target = heading("Package Target");
    EXPECT_EQ(childTexts(target), QStringList({"Target Folder", "Cabinet Output Files"}));
    EXPECT_EQ(childTexts(target->child(1)), QStringList({"FILES.CAB", "FILES.Inf"}));
}

TEST_F(ProjectViewsTest, WizardTreeListsSourceFilesAndShortcuts) {
    CCabObj package;
    setKind(package, kKindSelfExtractingWizard);
    package.m_strProduct = "Setup";
    package.AddFile("src/a.dll");
    package.AddFile("src/b.exe");
    package.m_arrShortcutDesc = {"Tool"};
    package.m_arrShortcutFile = {"%DESTDIR%\\b.exe"};
    package.m_nShortcutFolder = kShortcutFolderStartup;
    package.m_strPackageFile = dataDir() + "Setup.pcp";
    ASSERT_TRUE(SavePackage(package));
    settings().writeString("Recent File List", "File1", writeProject("W.pcn", {package.m_strPackageFile}));
    ASSERT_EQ(start(), -1);
    select("Setup");
    EXPECT_EQ(childTexts(heading("Package Source")->child(2)), QStringList({"src/a.dll", "src/b.exe"}));
    QTreeWidgetItem* setup = heading("Mini Setup");
    EXPECT_EQ(childTexts(setup->child(3)), QStringList({"Startup Programs"}));
    EXPECT_EQ(setup->child(4)->text(0), "Shortcut 1");
    EXPECT_EQ(childTexts(setup->child(4)), QStringList({"Tool", "%DESTDIR%\\b.exe"}));
}

TEST_F(ProjectViewsTest, WebTreeAndExpandAllCollapse) {
    startWithFourKinds();
    select("Delta");
    QStringList headings;
    for (int i = 0; i < tree().topLevelItemCount(); ++i) headings << tree().topLevelItem(i)->text(0);
    EXPECT_EQ(headings, QStringList({"General Information", "Package Type", "Package Source", "Package Target"}));
    EXPECT_FALSE(heading("General Information")->isExpanded());
    EXPECT_TRUE(heading("Package Source")->isExpanded());
    EXPECT_EQ(childTexts(heading("Package Type")), QStringList({"Web Inf Package"}));
    EXPECT_EQ(childTexts(heading("Package Target")->child(1)),
              QStringList({QString::fromStdString(dataDir() + "Delta.inf")}));

    app().frame()->runCommand(gui::ID_VIEW_EXPAND_ALL);
    for (int i = 0; i < tree().topLevelItemCount(); ++i) {
        EXPECT_TRUE(tree().topLevelItem(i)->isExpanded());
        for (int j = 0; j < tree().topLevelItem(i)->childCount(); ++j)
            EXPECT_TRUE(tree().topLevelItem(i)->child(j)->isExpanded() ||
                        tree().topLevelItem(i)->child(j)->childCount() == 0);
    }
    app().frame()->runCommand(gui::ID_VIEW_COLLAPSE);
    for (int i = 0; i < tree().topLevelItemCount(); ++i) EXPECT_FALSE(tree().topLevelItem(i)->isExpanded());
}

TEST_F(ProjectViewsTest, CutThenUndoPutsThePackageBack) {
    startWithFourKinds();
    gui::CMainFrame& frame = *app().frame();
    EXPECT_FALSE(frame.action(gui::ID_EDIT_UNDO)->isEnabled());
    EXPECT_FALSE(frame.action(gui::ID_EDIT_CUT)->isEnabled());
    select("Beta");
    EXPECT_TRUE(frame.action(gui::ID_EDIT_CUT)->isEnabled());
    frame.action(gui::ID_EDIT_CUT)->trigger();

    EXPECT_EQ(list().topLevelItemCount(), 3);
    EXPECT_EQ(app().doc().m_listPackages.size(), 3u);
    EXPECT_EQ(list().selectedPackage(), nullptr);
    EXPECT_EQ(tree().topLevelItemCount(), 0);
    EXPECT_TRUE(app().doc().IsModified());
    EXPECT_TRUE(std::filesystem::exists(dataDir() + "Beta.pcp"));  // the file stays
    EXPECT_TRUE(frame.action(gui::ID_EDIT_UNDO)->isEnabled());
    EXPECT_TRUE(frame.action(gui::ID_EDIT_PASTE)->isEnabled());

    app().doc().SetModifiedFlag(false);
    frame.action(gui::ID_EDIT_UNDO)->trigger();
    EXPECT_EQ(list().topLevelItemCount(), 4);
    ASSERT_EQ(app().doc().m_listPackages.size(), 4u);
    const CCabObj& back = *app().doc().m_listPackages.back();
    EXPECT_EQ(back.m_strProduct, "Beta");
    EXPECT_EQ(back.m_bRebuild, 1);
    EXPECT_EQ(back.m_strPackageFile, dataDir() + "Beta.pcp");
    EXPECT_FALSE(app().doc().IsModified());
    EXPECT_EQ(itemTexts()[1], "Beta (Self Extracting Cabinet)");  // sorted in again
    EXPECT_FALSE(frame.action(gui::ID_EDIT_UNDO)->isEnabled());
}

TEST_F(ProjectViewsTest, OneCopyPastesOnceAndPastedCopiesAreNumbered) {
    startWithFourKinds();
    gui::CMainFrame& frame = *app().frame();
    EXPECT_FALSE(frame.action(gui::ID_EDIT_PASTE)->isEnabled());
    select("Alpha");
    frame.action(gui::ID_EDIT_COPY)->trigger();
    EXPECT_TRUE(frame.action(gui::ID_EDIT_PASTE)->isEnabled());
    frame.action(gui::ID_EDIT_PASTE)->trigger();
    EXPECT_EQ(list().topLevelItemCount(), 5);
    EXPECT_FALSE(frame.action(gui::ID_EDIT_PASTE)->isEnabled());
    frame.runCommand(gui::ID_EDIT_PASTE);  // the second paste does nothing
    EXPECT_EQ(list().topLevelItemCount(), 5);

    const CCabObj& pasted = *app().doc().m_listPackages.back();
    EXPECT_EQ(pasted.m_strPackageFile, dataDir() + "Alpha1.pcp");
    EXPECT_EQ(pasted.m_bNewPackage, 1);
    EXPECT_TRUE(itemTexts().contains("Alpha (New Project)"));
    EXPECT_EQ(imageOf("Alpha (New"), 18);

    // A second copy: Alpha1.pcp is not on disk yet, but the project holds it.
    select("Alpha (Cabinet)");
    frame.action(gui::ID_EDIT_COPY)->trigger();
    frame.action(gui::ID_EDIT_PASTE)->trigger();
    EXPECT_EQ(app().doc().m_listPackages.back()->m_strPackageFile, dataDir() + "Alpha2.pcp");

    // Saving the project writes both new package files.
    ASSERT_TRUE(app().saveProject());
    EXPECT_TRUE(std::filesystem::exists(dataDir() + "Alpha1.pcp"));
    EXPECT_TRUE(std::filesystem::exists(dataDir() + "Alpha2.pcp"));
}

TEST_F(ProjectViewsTest, ContextMenusFollowTheSelection) {
    startWithFourKinds();
    auto enabled = [](QMenu* menu, const char* name) { return menu->findChild<QAction*>(name)->isEnabled(); };
    std::unique_ptr<QMenu> menu(list().createContextMenu(nullptr));
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) texts << a->text();
    EXPECT_EQ(texts, QStringList({"&Undo", "Cu&t", "&Copy", "&Paste", "&Rebuild Package",
                                  "&Send Project Files (FTP)...", "Send Project Files (Mail)...", "Co&ntents...",
                                  "&Properties..."}));
    for (const char* name : {"contextUndo", "contextCut", "contextCopy", "contextPaste", "contextRebuild",
                             "contextSendFtp", "contextSendMail", "contextContents", "contextProperties"})
        EXPECT_FALSE(enabled(menu.get(), name)) << name;

    // With the editors of later parts plugged in, the selection decides.
    gui::PackageEditors& editors = list().editors();
    editors.rebuildDialog = [](CCabObj&) {};
    editors.cabinetSheet = [](CCabObj&, int) { return false; };
    editors.webSheet = [](CCabObj&) { return false; };
    editors.sendFtp = [](CCabObj&, CPCNDoc&) {};
    editors.sendMail = [](CCabObj&, CPCNDoc&) {};
    editors.contentsDialog = [](const CCabObj&) {};
    select("Alpha");
    menu.reset(list().createContextMenu(nullptr));
    // Contents reads the built cabinet: nothing to read before a build.
    EXPECT_FALSE(enabled(menu.get(), "contextContents"));
    EXPECT_EQ(list().whyDisabled(gui::ID_PROJECT_CONTENTS),
              "Build the package first: it has no cabinet yet (Rebuild Package, F5)");
    list().selectedPackage()->m_arrOutputFiles = {"Alpha.CAB"};
    menu.reset(list().createContextMenu(nullptr));
    EXPECT_TRUE(enabled(menu.get(), "contextContents"));
    EXPECT_TRUE(enabled(menu.get(), "contextSendFtp"));
    EXPECT_TRUE(enabled(menu.get(), "contextSendMail"));
    EXPECT_TRUE(enabled(menu.get(), "contextCut"));
    EXPECT_TRUE(enabled(menu.get(), "contextCopy"));
    EXPECT_TRUE(enabled(menu.get(), "contextRebuild"));
    EXPECT_TRUE(enabled(menu.get(), "contextProperties"));
    EXPECT_FALSE(enabled(menu.get(), "contextPaste"));
    EXPECT_FALSE(enabled(menu.get(), "contextUndo"));
    // Output is sent only when it was built since the package's last change.
    for (const auto& package : app().doc().m_listPackages)
        if (package->m_strProduct == "Alpha") package->m_bRebuild = 1;
    menu.reset(list().createContextMenu(nullptr));
    EXPECT_FALSE(enabled(menu.get(), "contextSendFtp"));
    EXPECT_FALSE(enabled(menu.get(), "contextSendMail"));

    select("Delta");
    menu.reset(list().createContextMenu(nullptr));
    EXPECT_FALSE(enabled(menu.get(), "contextRebuild"));
    EXPECT_FALSE(enabled(menu.get(), "contextContents"));
    EXPECT_TRUE(enabled(menu.get(), "contextProperties"));
    std::unique_ptr<QMenu> treeMenu(tree().createContextMenu(nullptr));
    EXPECT_FALSE(enabled(treeMenu.get(), "contextRebuild"));
    EXPECT_TRUE(enabled(treeMenu.get(), "contextProperties"));
}

TEST_F(ProjectViewsTest, OpenPackageAddsNewFilesAndRefusesListedOnes) {
    startWithFourKinds();
    const std::string extra = writePackage(kKindCabinet, "Extra");
    dialogs_.queue(QString::fromStdString(dataDir() + "ALPHA.pcp"));  // listed, other case
    app().frame()->runCommand(gui::ID_FILE_OPEN_PACKAGE);
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_EQ(ui_.shown()[0].text, "Selected Package is already\nin the current Project list.");
    EXPECT_EQ(list().topLevelItemCount(), 4);

    dialogs_.queue(QString::fromStdString(extra));
    app().frame()->runCommand(gui::ID_FILE_OPEN_PACKAGE);
    EXPECT_EQ(list().topLevelItemCount(), 5);
    EXPECT_TRUE(app().doc().IsModified());

    dialogs_.queue(QString::fromStdString(dataDir() + "Missing.pcp"));
    app().frame()->runCommand(gui::ID_FILE_OPEN_PACKAGE);
    EXPECT_EQ(list().topLevelItemCount(), 5);
    EXPECT_TRUE(ui_.shown().back().isErrorDetails);
}

TEST_F(ProjectViewsTest, RebuildAsksAndANewPackageFirstNeedsANewName) {
    const std::string project = writeProject(
        "R.pcn", {writePackage(kKindCabinet, "Old"), writePackage(kKindCabinet, "Fresh", true, true)});
    settings().writeString("Recent File List", "File1", project);
    ASSERT_EQ(start(), -1);
    int rebuilds = 0;
    std::vector<int> pages;
    list().editors().rebuildDialog = [&](CCabObj&) { ++rebuilds; };
    list().editors().cabinetSheet = [&](CCabObj& copy, int page) {
        pages.push_back(page);
        copy.m_strProjectName = "FRESH2";
        return true;
    };
    select("Old");
    ui_.queueAnswer(Answer::No);
    app().frame()->runCommand(gui::ID_PROJECT_REBUILD);
    EXPECT_EQ(ui_.shown().back().text, "Rebuild Project:\t\n\nOld");
    EXPECT_EQ(rebuilds, 0);
    app().frame()->runCommand(gui::ID_PROJECT_REBUILD);  // default answer Yes
    EXPECT_EQ(rebuilds, 1);

    select("Fresh");
    ui_.clear();
    ui_.queueAnswer(Answer::Yes);
    ui_.queueAnswer(Answer::Yes);
    app().frame()->runCommand(gui::ID_PROJECT_REBUILD);
    ASSERT_EQ(ui_.shown().size(), 2u);
    EXPECT_EQ(ui_.shown()[1].text,
              "Project is conflicting with an existing project.\nPlease select another project name.\n\nDo it now.");
    EXPECT_EQ(pages, std::vector<int>{2});
    EXPECT_EQ(rebuilds, 2);
    EXPECT_EQ(list().selectedPackage()->m_strProjectName, "FRESH2");
}

TEST_F(ProjectViewsTest, PropertiesCopyBackRefreshTheItemAndSaveTheFile) {
    startWithFourKinds();
    list().editors().cabinetSheet = [](CCabObj& copy, int) {
        copy.m_strProduct = "Aleph";
        copy.m_bCab = 0;
        copy.m_bCabWiz = 1;
        return true;
    };
    select("Alpha");
    app().frame()->runCommand(gui::ID_PROJECT_PROPERTIES);
    EXPECT_TRUE(itemTexts().contains("Aleph (Self Extracting Wizard)"));
    EXPECT_EQ(list().selectedPackage()->m_nKind, kKindSelfExtractingWizard);
    EXPECT_EQ(tree().topLevelItem(0)->child(1)->child(0)->text(0), "Aleph");  // the tree follows
    auto reloaded = LoadPackage(dataDir() + "Alpha.pcp");
    ASSERT_NE(reloaded, nullptr);
    EXPECT_EQ(reloaded->m_strProduct, "Aleph");
}

TEST_F(ProjectViewsTest, NewPackageFromTheWizardIsAddedListedAndSaved) {
    startWithFourKinds();
    EXPECT_FALSE(app().frame()->action(gui::ID_FILE_NEW_PACKAGE)->isEnabled());
    std::string carriedCompany;
    list().editors().cabinetWizard = [&](CCabObj& p) {
        carriedCompany = p.m_strCompany;
        EXPECT_TRUE(p.m_strProduct.empty());
        EXPECT_EQ(p.GetFileCount(), 0);
        p.m_strProduct = "Alpha";  // a file of that name exists already
        p.m_bCab = 0;
        p.m_bCabSelf = 1;
        return gui::WizardResult::Finished;
    };
    app().frame()->updateCommandUi();
    EXPECT_TRUE(app().frame()->action(gui::ID_FILE_NEW_PACKAGE)->isEnabled());
    app().frame()->runCommand(gui::ID_FILE_NEW_PACKAGE);
    EXPECT_EQ(carriedCompany, "Tarnwick");
    const CCabObj& added = *app().doc().m_listPackages.back();
    EXPECT_EQ(added.m_nKind, kKindSelfExtractingCabinet);
    EXPECT_EQ(added.m_bNewPackage, 1);
    EXPECT_EQ(added.m_strPackageFile, dataDir() + "Alpha1.pcp");
    EXPECT_TRUE(std::filesystem::exists(dataDir() + "Alpha1.pcp"));
    EXPECT_TRUE(itemTexts().contains("Alpha (New Project)"));
    EXPECT_TRUE(app().doc().IsModified());
}

TEST_F(ProjectViewsTest, ANewPackageWhoseFileCannotBeWrittenIsNotAdded) {
    startWithFourKinds();
    const size_t before = app().doc().m_listPackages.size();
    const std::string unwritable = dataDir() + std::string(300, 'n') + ".pcp";
    list().editors().cabinetWizard = [&](CCabObj& p) {
        p.m_strProduct = "Gamma";
        p.m_strPackageFile = unwritable;
        return gui::WizardResult::FinishedAndBuilt;
    };
    app().doc().SetModifiedFlag(false);
    app().frame()->runCommand(gui::ID_FILE_NEW_PACKAGE);
    EXPECT_TRUE(ui_.sawText("Unable to save the package file\n\n" + unwritable));
    EXPECT_EQ(app().doc().m_listPackages.size(), before);
    EXPECT_FALSE(itemTexts().contains("Gamma"));
    EXPECT_FALSE(app().doc().IsModified());
}

TEST_F(ProjectViewsTest, ClosingAModifiedProjectAsksAndCancelKeepsTheWindow) {
    startWithFourKinds();
    gui::CMainFrame& frame = *app().frame();
    select("Beta");
    frame.runCommand(gui::ID_EDIT_CUT);

    ui_.queueAnswer(Answer::Cancel);
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(ui_.shown().back().text, "Save changes to " + project_ + "?");
    EXPECT_EQ(ui_.shown().back().buttons, Buttons::SaveDiscardCancel);

    ui_.queueAnswer(Answer::Yes);
    EXPECT_TRUE(frame.close());
    EXPECT_FALSE(app().doc().IsModified());
    EXPECT_EQ(CPCNDoc::ParseProjectFile([&] {
                  std::string bytes;
                  readWholeFile(project_, bytes);
                  return bytes;
              }()).size(),
              3u);
}

TEST_F(ProjectViewsTest, ClosingWithNoLeavesTheProjectFileAlone) {
    startWithFourKinds();
    select("Beta");
    app().frame()->runCommand(gui::ID_EDIT_CUT);
    ui_.queueAnswer(Answer::No);
    EXPECT_TRUE(app().frame()->close());
    std::string bytes;
    ASSERT_TRUE(readWholeFile(project_, bytes));
    EXPECT_EQ(CPCNDoc::ParseProjectFile(bytes).size(), 4u);
}

TEST_F(ProjectViewsTest, UntitledProjectIsSavedThroughSaveAs) {
    settings().writeInt("Settings\\General", "Reload Workspace", 0);
    settings().writeString("Recent File List", "File1", dataDir() + "Whatever.pcn");
    ASSERT_EQ(start(), -1);
    dialogs_.queue(QString::fromStdString(dataDir() + "Named.pcn"));
    ui_.queueAnswer(Answer::Yes);
    EXPECT_TRUE(app().frame()->close());
    EXPECT_EQ(dialogs_.lastInitialPath, QString::fromStdString(dataDir() + "Untitled.pcn"));
    EXPECT_EQ(std::filesystem::file_size(dataDir() + "Named.pcn"), 12u);
    EXPECT_EQ(settings().readString("Recent File List", "File1", ""), dataDir() + "Named.pcn");
}

TEST_F(ProjectViewsTest, NewProjectAfterCutAsksFirstAndClearsUndo) {
    startWithFourKinds();
    select("Alpha");
    app().frame()->runCommand(gui::ID_EDIT_CUT);
    ui_.queueAnswer(Answer::No);
    app().frame()->runCommand(gui::ID_FILE_NEW);
    EXPECT_EQ(app().doc().GetTitle(), "Untitled");
    EXPECT_EQ(list().topLevelItemCount(), 0);
    EXPECT_FALSE(list().hasUndoRecord());
    EXPECT_FALSE(app().frame()->action(gui::ID_EDIT_UNDO)->isEnabled());
    EXPECT_TRUE(app().frame()->action(gui::ID_EDIT_PASTE)->isEnabled());  // the clipboard outlives projects
}

}  // namespace pcn::test
