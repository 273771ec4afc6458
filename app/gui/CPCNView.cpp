#include "app/gui/CPCNView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <iterator>

#include "app/core/CPCNDoc.h"
#include "app/gui/CInfoView.h"
#include "app/gui/CMainFrame.h"
#include "app/gui/Commands.h"
#include "app/gui/FileDialogs.h"
#include "app/gui/PackageItem.h"
#include "app/gui/PcnImages.h"
#include "app/gui/SiblingFileCheck.h"
#include "distribution/ErrorReport.h"
#include "distribution/gui/QtUserInterface.h"
#include "model/Digest.h"
#include "model/PackageFile.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "platform/gui/WholeNames.h"

namespace pcn::gui {
namespace {

constexpr std::string_view kListSection = "Settings\\List";
constexpr const char* kAlreadyListed = "Selected Package is already\nin the current Project list.";

// The program-wide clipboard record: one copied or cut package.
std::unique_ptr<CCabObj>& clipboardRecord() {
    static std::unique_ptr<CCabObj> record;
    return record;
}

std::unique_ptr<CCabObj> copyOf(const CCabObj& package) {
    auto copy = std::make_unique<CCabObj>();
    copy->CopyFrom(package);
    return copy;
}

bool samePath(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

bool usedByProject(const CPCNDoc& doc, const std::string& path) {
    return std::any_of(doc.m_listPackages.begin(), doc.m_listPackages.end(),
                       [&](const auto& p) { return p->m_strPackageFile == path; });
}

// The numbering rule of new package files (data folder + product [+ n] + ".pcp"),
// also passing over names that packages of the project hold but have not yet written.
std::string freePackageFileName(const CPCNDoc& doc, const std::string& product) {
    const std::string folder = dataFolder();
    std::string candidate = folder + product + ".pcp";
    for (int n = 1; fileExists(candidate) || usedByProject(doc, candidate); ++n)
        candidate = folder + product + std::to_string(n) + ".pcp";
    return candidate;
}

// List lines sort by text the way the platform's list control does: by the
// user's locale, not by character codes.
class PackageListItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int byLocale = QString::localeAwareCompare(text(0), other.text(0));
        return byLocale != 0 ? byLocale < 0 : text(0) < other.text(0);
    }
};

}  // namespace

CPCNView::CPCNView(CPCNDoc& doc, SettingsStore& settings, UserInterface& ui, FileDialogs& dialogs, QWidget* parent)
    : QTreeWidget(parent), doc_(doc), settings_(settings), ui_(ui), dialogs_(dialogs) {
    setObjectName("CPCNView");
    setColumnCount(1);
    setHeaderLabels({"Package Description"});
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setIconSize(QSize(kImageSize, kImageSize));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    showWholeNames(this);
    setSortingEnabled(true);
    sortByColumn(0, Qt::AscendingOrder);
    header()->setSectionsClickable(false);
    header()->setSortIndicatorShown(false);

    columnWidth_ = settings_.readInt(kListSection, "Column 1", -1);
    header()->resizeSection(0, columnWidth_ >= 0 ? columnWidth_ : viewport()->width());

    connect(this, &QTreeWidget::itemSelectionChanged, this, &CPCNView::onSelectionChanged);
}

CPCNView::~CPCNView() { settings_.writeInt(kListSection, "Column 1", header()->sectionSize(0)); }

void CPCNView::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    header()->resizeSection(0, viewport()->width());
}

// ---- list contents -------------------------------------------------------------

void CPCNView::fillList() {
    if (doc_.m_bMarkModified) {
        doc_.SetModifiedFlag(true);
        doc_.m_bMarkModified = 0;
    }
    selected_ = nullptr;
    clear();
    for (const auto& package : doc_.m_listPackages) insertItem(package.get());
    if (info_) info_->showPackage(nullptr);
    emit commandsChanged();
}

void CPCNView::contentsCleared() {
    selected_ = nullptr;
    undo_.reset();
    clear();
    if (info_) info_->showPackage(nullptr);
    emit commandsChanged();
}

void CPCNView::writeItem(QTreeWidgetItem* item, const CCabObj& package) {
    item->setText(0, packageItemText(package));
    item->setIcon(0, pcnImage(packageImage(package)));
    item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(&package)));
    item->setData(0, Qt::UserRole + 1, packageImage(package));
}

QTreeWidgetItem* CPCNView::insertItem(CCabObj* package) {
    auto* item = new PackageListItem();
    writeItem(item, *package);
    addTopLevelItem(item);
    return item;
}

CCabObj* CPCNView::packageOf(const QTreeWidgetItem* item) {
    return item ? reinterpret_cast<CCabObj*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
}

QTreeWidgetItem* CPCNView::itemOf(const CCabObj* package) const {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (packageOf(topLevelItem(i)) == package) return topLevelItem(i);
    return nullptr;
}

void CPCNView::selectPackage(const CCabObj* package) {
    QTreeWidgetItem* item = itemOf(package);
    if (!item) {
        clearSelection();
        return;
    }
    setCurrentItem(item);
    item->setSelected(true);
}

void CPCNView::onSelectionChanged() {
    const QList<QTreeWidgetItem*> items = selectedItems();
    selected_ = items.isEmpty() ? nullptr : packageOf(items.front());
    if (selected_ && info_) info_->showPackage(selected_);
    emit selectionChangedTo(selected_);
    emit commandsChanged();
}

void CPCNView::refreshSelectedItem() {
    if (!selected_) return;
    if (QTreeWidgetItem* item = itemOf(selected_)) {
        writeItem(item, *selected_);
        sortItems(0, Qt::AscendingOrder);
    }
    saveRecord(*selected_);
    // The record changed in place: the tree shows it again.
    if (info_ && info_->shownPackage() == selected_) info_->refresh();
}

bool CPCNView::saveRecord(const CCabObj& package) {
    int error = 0;
    if (pcn::SavePackage(package, &error)) return true;
    reportWithErrorDetails(ui_, "Unable to save the package file\n\n" + package.m_strPackageFile, error);
    return false;
}

// ---- commands ---------------------------------------------------------------------

bool CPCNView::canRunCommand(int id) const {
    // A package whose file could not be loaded can only be cut (removed).
    const bool cuttable = selected_ != nullptr;
    const bool selected = cuttable && !selected_->m_bNotLoaded;
    const bool web = selected && selected_->IsWebPackage();
    switch (id) {
        case ID_FILE_NEW_PACKAGE: return bool(editors_.cabinetWizard);
        case ID_FILE_NEW_WEB_PACKAGE: return bool(editors_.webWizard);
        case ID_FILE_OPEN_PACKAGE: return true;
        case ID_FILE_SAVE_PACKAGE:
        case ID_FILE_SAVE_PACKAGE_AS: return selected;
        case ID_PROJECT_PROPERTIES: return selected && (web ? bool(editors_.webSheet) : bool(editors_.cabinetSheet));
        case ID_PROJECT_REBUILD: return selected && !web && bool(editors_.rebuildDialog);
        case ID_PROJECT_CONTENTS:
            return selected && !web && !selected_->m_arrOutputFiles.empty() && bool(editors_.contentsDialog);
        case ID_PROJECT_SEND_FTP: return selected && selected_->m_bRebuild != 1 && bool(editors_.sendFtp);
        case ID_FILE_SEND_MAIL: return selected && selected_->m_bRebuild != 1 && bool(editors_.sendMail);
        case ID_PROJECT_OPEN_OUTPUT:
            return selected && selected_->m_bRebuild != 1 &&
                   QFileInfo(QString::fromStdString(selected_->m_strTargetFolder)).isDir();
        case ID_EDIT_CUT:
        case ID_EDIT_REMOVE: return cuttable;
        case ID_EDIT_COPY: return selected;
        case ID_EDIT_PASTE: return clipboardHoldsPackage();
        case ID_EDIT_UNDO: return undo_ != nullptr;
        case ID_FILE_EXPORT: return bool(editors_.exportDialog);
        case ID_FILE_PRINT:
        case ID_FILE_PRINT_PREVIEW: return selected && bool(editors_.print);
        case ID_FILE_PRINT_SETUP: return bool(editors_.printSetup);
        default: return false;
    }
}

QString CPCNView::whyDisabled(int id) const {
    static constexpr int kNeedPackage[] = {ID_PROJECT_OPEN_OUTPUT, ID_FILE_SAVE_PACKAGE, ID_FILE_SAVE_PACKAGE_AS,
                                           ID_PROJECT_PROPERTIES,  ID_PROJECT_REBUILD,   ID_PROJECT_SEND_FTP,
                                           ID_FILE_SEND_MAIL,      ID_EDIT_CUT,          ID_EDIT_REMOVE,
                                           ID_EDIT_COPY,           ID_FILE_PRINT,        ID_FILE_PRINT_PREVIEW,
                                           ID_PROJECT_CONTENTS};
    const bool needsPackage = std::find(std::begin(kNeedPackage), std::end(kNeedPackage), id) != std::end(kNeedPackage);
    if (needsPackage && !selected_) return tr("Select a package in the list first");
    if (needsPackage && selected_->m_bNotLoaded)
        return tr("The package file could not be loaded; it can only be removed");
    if (id == ID_PROJECT_REBUILD && selected_->IsWebPackage())
        return tr("A web package is written by its wizard and its properties, not rebuilt");
    if (id == ID_PROJECT_CONTENTS && selected_->IsWebPackage())
        return tr("A web package has no cabinet: its INF and page are in the tree");
    if (id == ID_PROJECT_CONTENTS && selected_->m_arrOutputFiles.empty())
        return tr("Build the package first: it has no cabinet yet (Rebuild Package, F5)");
    if ((id == ID_PROJECT_SEND_FTP || id == ID_FILE_SEND_MAIL || id == ID_PROJECT_OPEN_OUTPUT) &&
        selected_->m_bRebuild == 1)
        return tr("Build the package first: it has changed since its last build (Rebuild Package, F5)");
    if (id == ID_PROJECT_OPEN_OUTPUT) return tr("The package's target folder does not exist yet");
    if (id == ID_EDIT_PASTE) return tr("The Clipboard holds no package: Copy or Cut one first");
    if (id == ID_EDIT_UNDO) return tr("Nothing to undo: Undo puts back the last package cut or removed");
    return {};
}

void CPCNView::runCommand(int id) {
    if (!canRunCommand(id)) return;
    switch (id) {
        case ID_FILE_NEW_PACKAGE: newPackage(); break;
        case ID_FILE_NEW_WEB_PACKAGE: newWebPackage(); break;
        case ID_FILE_OPEN_PACKAGE: openPackage(); break;
        case ID_FILE_SAVE_PACKAGE: savePackage(); break;
        case ID_FILE_SAVE_PACKAGE_AS: savePackageAs(); break;
        case ID_PROJECT_PROPERTIES: properties(); break;
        case ID_PROJECT_REBUILD: rebuild(); break;
        case ID_PROJECT_CONTENTS: editors_.contentsDialog(*selected_); break;
        case ID_PROJECT_SEND_FTP: editors_.sendFtp(*selected_, doc_); break;
        case ID_FILE_SEND_MAIL: editors_.sendMail(*selected_, doc_); break;
        case ID_PROJECT_OPEN_OUTPUT:
            QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(selected_->m_strTargetFolder)));
            break;
        case ID_EDIT_CUT: cut(); break;
        case ID_EDIT_REMOVE: removeSelected(); break;
        case ID_EDIT_COPY: copy(); break;
        case ID_EDIT_PASTE: paste(); break;
        case ID_EDIT_UNDO: undo(); break;
        case ID_FILE_EXPORT: editors_.exportDialog(doc_); break;
        case ID_FILE_PRINT: editors_.print(*selected_, false); break;
        case ID_FILE_PRINT_PREVIEW: editors_.print(*selected_, true); break;
        case ID_FILE_PRINT_SETUP: editors_.printSetup(); break;
        default: break;
    }
    emit commandsChanged();
}

std::unique_ptr<CCabObj> CPCNView::newPackageFromLast(int32_t kind) const {
    auto package = std::make_unique<CCabObj>();
    package->m_nKind = kind;
    if (!doc_.m_listPackages.empty()) {
        // Company, version, copyright, kinds, options, texts and signing
        // settings carry over from the last package; its identity does not.
        package->CopyFrom(*doc_.m_listPackages.back());
        CCabObj& p = *package;
        p.m_strPackageFile.clear();
        p.m_strProduct.clear();
        p.m_strProjectName.clear();
        p.m_strDescription.clear();
        p.m_strComment.clear();
        p.m_strSourceFolder.clear();
        p.m_strBuildFolder.clear();
        p.m_strTargetFolder = dataFolder();
        p.m_strInstallDir.clear();
        p.m_strInfText.clear();
        p.m_nSourceSize = 0;
        p.m_pFtpSite = nullptr;
        p.m_strFtpSite.clear();
        p.m_bRebuild = 1;
        p.m_timeBuilt = 0;
        p.RemoveAllFiles();
        p.m_arrOutputFiles.clear();
        p.m_arrShortcutDesc.clear();
        p.m_arrShortcutFile.clear();
        p.m_arrBuildFiles.clear();
    }
    if (kind == kKindWebInf) package->m_nKind = kKindWebInf;
    // The digest is the user's default, whatever the last package used.
    package->m_bMD5 = defaultDigest(settings_);
    return package;
}

// The project lists only packages that have a file: one that cannot be
// written is reported and left out.
// The new package is selected, so that the tree shows what the wizard made.
void CPCNView::addSavedPackage(std::unique_ptr<CCabObj> package) {
    if (!saveRecord(*package)) return;
    CCabObj* added = doc_.AddPackage(std::move(package));
    insertItem(added);
    selectPackage(added);
}

void CPCNView::newPackage() {
    std::unique_ptr<CCabObj> package = newPackageFromLast(kKindCabinet);
    const WizardResult result = editors_.cabinetWizard(*package);
    if (result == WizardResult::Cancelled) return;
    if (result != WizardResult::FinishedAndBuilt) {
        package->m_bNewPackage = 1;
        package->m_bRebuild = 1;
    }
    package->SetKindFromFlags();
    // Never let a new package take over the file of another one.
    if (package->m_strPackageFile.empty()) package->m_strPackageFile = freePackageFileName(doc_, package->m_strProduct);
    addSavedPackage(std::move(package));
}

void CPCNView::newWebPackage() {
    std::unique_ptr<CCabObj> package = newPackageFromLast(kKindWebInf);
    if (editors_.webWizard(*package) == WizardResult::Cancelled) return;
    package->m_bRebuild = 0;
    if (package->m_strPackageFile.empty()) package->m_strPackageFile = freePackageFileName(doc_, package->m_strProduct);
    addSavedPackage(std::move(package));
}

void CPCNView::openPackage() {
    const QString chosen =
        dialogs_.openFile(this, "Open Package", QString::fromStdString(dataFolder()), kPackageFileFilter);
    if (chosen.isEmpty()) return;
    const std::string path = chosen.toStdString();
    const bool listed =
        std::any_of(doc_.m_arrPackageFiles.begin(), doc_.m_arrPackageFiles.end(),
                    [&](const std::string& p) { return samePath(p, path); }) ||
        std::any_of(doc_.m_listPackages.begin(), doc_.m_listPackages.end(),
                    [&](const auto& p) { return samePath(p->m_strPackageFile, path); });
    if (listed) {
        ui_.message(kAlreadyListed, kAppTitle, Icon::None, Buttons::Ok, Answer::Ok);
        return;
    }
    PackageLoadResult loaded = LoadPackageFile(path);
    if (!loaded.package) {
        std::string why = "Unable to open the package file\n\n" + path;
        if (!loaded.detail.empty()) why += "\n\n" + loaded.detail;
        reportWithErrorDetails(ui_, why, loaded.systemError);
        return;
    }
    CCabObj* added = doc_.AddPackage(std::move(loaded.package));
    insertItem(added);
}

void CPCNView::savePackage() { saveRecord(*selected_); }

void CPCNView::savePackageAs() {
    const QString initial =
        QString::fromStdString(dataFolder() + fileNamePart(selected_->m_strPackageFile));
    const QString chosen = dialogs_.saveFile(this, "Save Package As", initial, kPackageFileFilter);
    if (chosen.isEmpty()) return;
    selected_->m_strPackageFile = chosen.toStdString();
    // The project now lists the package under its new file.
    if (saveRecord(*selected_)) doc_.SetModifiedFlag(true);
}

bool CPCNView::properties() {
    CCabObj& package = *selected_;
    std::unique_ptr<CCabObj> copy = copyOf(package);
    if (package.IsWebPackage()) {
        if (!editors_.webSheet(*copy)) return false;
        package.CopyFrom(*copy);
        package.m_bRebuild = 0;
        refreshSelectedItem();
        return true;
    }
    if (!editors_.cabinetSheet(*copy, 0)) return false;
    package.CopyFrom(*copy);
    package.SetKindFromFlags();
    refreshSelectedItem();
    return true;
}

void CPCNView::rebuild() {
    CCabObj& package = *selected_;
    if (!ui_.ask("Rebuild Project:\t\n\n" + package.m_strProduct, Answer::Yes, kAppTitle)) return;
    if (package.m_bNewPackage) {
        if (!ui_.ask("Project is conflicting with an existing project.\nPlease select another project name.\n\nDo it now.",
                     Answer::Yes, kAppTitle))
            return;
        if (!editors_.cabinetSheet) return;
        std::unique_ptr<CCabObj> copy = copyOf(package);
        if (!editors_.cabinetSheet(*copy, kProjectNamePage)) return;
        package.CopyFrom(*copy);
        package.SetKindFromFlags();
        refreshSelectedItem();
    }
    editors_.rebuildDialog(package);
    refreshSelectedItem();
}

void CPCNView::copy() {
    clipboardRecord() = copyOf(*selected_);
    // Other programs get the package file.
    auto* mime = new QMimeData;
    const QString path = QString::fromStdString(selected_->m_strPackageFile);
    mime->setText(path);
    if (!path.isEmpty()) mime->setUrls({QUrl::fromLocalFile(path)});
    QApplication::clipboard()->setMimeData(mime);
}

void CPCNView::cut() {
    copy();
    removeSelected();
}

void CPCNView::removeSelected() {
    CCabObj* package = selected_;
    undo_ = copyOf(*package);
    QTreeWidgetItem* item = itemOf(package);
    // Like the platform's list control, removing a line selects no other one.
    clearSelection();
    setCurrentItem(nullptr);
    selected_ = nullptr;
    if (info_) info_->showPackage(nullptr);
    doc_.RemovePackage(package);
    delete item;
    const QList<QTreeWidgetItem*> still = selectedItems();
    selected_ = still.isEmpty() ? nullptr : packageOf(still.front());
}

void CPCNView::paste() {
    std::unique_ptr<CCabObj> package = std::move(clipboardRecord());
    package->m_bNewPackage = 1;
    if (fileExists(package->m_strPackageFile) || usedByProject(doc_, package->m_strPackageFile))
        package->m_strPackageFile = freePackageFileName(doc_, package->m_strProduct);
    CCabObj* added = doc_.AddPackage(std::move(package));
    insertItem(added);
}

void CPCNView::undo() {
    CCabObj* restored = undo_.get();
    doc_.m_listPackages.push_back(std::move(undo_));
    insertItem(restored);
}

bool CPCNView::clipboardHoldsPackage() { return clipboardRecord() != nullptr; }
void CPCNView::clearClipboard() { clipboardRecord().reset(); }

// ---- menus and mouse -----------------------------------------------------------------

QMenu* CPCNView::createContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName("listContextMenu");
    struct Item {
        const char* name;
        const char* text;
        int id;
    };
    const Item items[] = {
        {"contextUndo", "&Undo", ID_EDIT_UNDO},
        {"contextCut", "Cu&t", ID_EDIT_CUT},
        {"contextCopy", "&Copy", ID_EDIT_COPY},
        {"contextPaste", "&Paste", ID_EDIT_PASTE},
        {nullptr, nullptr, 0},
        {"contextRebuild", "&Rebuild Package", ID_PROJECT_REBUILD},
        {"contextSendFtp", "&Send Project Files (FTP)...", ID_PROJECT_SEND_FTP},
        {"contextSendMail", "Send Project Files (Mail)...", ID_FILE_SEND_MAIL},
        {nullptr, nullptr, 0},
        {"contextContents", "Co&ntents...", ID_PROJECT_CONTENTS},
        {"contextProperties", "&Properties...", ID_PROJECT_PROPERTIES},
    };
    for (const Item& item : items) {
        if (!item.name) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item.text);
        action->setObjectName(item.name);
        action->setEnabled(canRunCommand(item.id));
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
    }
    return menu;
}

void CPCNView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createContextMenu(this);
    menu->exec(event->globalPos());
    delete menu;
}

void CPCNView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    if (itemAt(event->position().toPoint()) && selected_) runCommand(ID_PROJECT_PROPERTIES);
}

// ---- sibling-file check -----------------------------------------------------------------

void CPCNView::startSiblingFileCheck() {
    QPointer<CPCNView> self(this);
    const std::string folder = programFolder();
    QThread* worker = QThread::create([self, folder] {
        const QString missing = QString::fromStdString(missingSiblingFilesText(folder));
        QMetaObject::invokeMethod(
            qApp,
            [self, missing] {
                if (self) self->reportSiblingFiles(missing);
            },
            Qt::QueuedConnection);
    });
    worker->setObjectName("siblingFileCheck");
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start(QThread::LowestPriority);
}

void CPCNView::reportSiblingFiles(const QString& missingText) {
    if (!missingText.isEmpty()) {
        const std::string details = missingText.toStdString();
        if (auto* qtUi = dynamic_cast<QtUserInterface*>(&ui_))
            qtUi->errorDetails(kSiblingCheckHeading, details, CErrorDlg::Size::SiblingCheck);
        else
            ui_.errorDetails(kSiblingCheckHeading, details);
    }
    emit siblingFileCheckDone(missingText);
}

}  // namespace pcn::gui
