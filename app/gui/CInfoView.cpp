#include "app/gui/CInfoView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

#include "app/gui/CPCNView.h"
#include "app/gui/Commands.h"
#include "app/gui/PcnImages.h"
#include "model/CCabObj.h"
#include "model/Digest.h"

namespace pcn::gui {
namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }
QString yesNo(int32_t flag) { return flag ? "Yes" : "No"; }
QString orNone(const std::string& s) { return s.empty() ? QString("None") : text(s); }

QString displayTypeText(int32_t type) {
    switch (type) {
        case 0: return "Normal";
        case 1: return "Minimized";
        case 2: return "Maximized";
        case 3: return "Console";
        case 4: return "Hidden";
        default: return QString::number(type);
    }
}

QString shortcutTypeText(int32_t folder) {
    switch (folder) {
        case kShortcutFolderPersonalPrograms: return "Personal Programs";
        case kShortcutFolderStartup: return "Startup Programs";
        case kShortcutFolderCommonPrograms: return "Common Programs";
        case kShortcutFolderNone: return "None";
        default: return QString::number(folder);
    }
}

// Inserts items the way the tree is specified: an item given no image takes
// the image (and selected image) of the item inserted just before it.
class TreeBuilder {
public:
    explicit TreeBuilder(QTreeWidget& tree) : tree_(tree) {}

    QTreeWidgetItem* heading(const QString& label, int image) {
        auto* item = new QTreeWidgetItem(&tree_, {label});
        decorate(item, image, image);
        return item;
    }
    QTreeWidgetItem* child(QTreeWidgetItem* parent, const QString& label, int image = -1, int selected = -1) {
        auto* item = new QTreeWidgetItem(parent, {label});
        decorate(item, image, selected < 0 ? image : selected);
        return item;
    }
    // A label with its values.
    QTreeWidgetItem* labelled(QTreeWidgetItem* heading, const QString& label, std::initializer_list<QString> values,
                              int image = -1, int selected = -1) {
        QTreeWidgetItem* item = child(heading, label, image, selected);
        for (const QString& value : values) child(item, value);
        return item;
    }

private:
    void decorate(QTreeWidgetItem* item, int image, int selected) {
        if (image >= 0) {
            image_ = image;
            selected_ = selected;
        }
        QIcon icon = pcnImage(image_);
        if (selected_ != image_) {
            const QIcon selectedIcon = pcnImage(selected_);
            QIcon both;
            for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active})
                both.addPixmap(icon.pixmap(kImageSize, kImageSize), mode);
            both.addPixmap(selectedIcon.pixmap(kImageSize, kImageSize), QIcon::Selected);
            icon = both;
        }
        item->setIcon(0, icon);
        item->setData(0, Qt::UserRole, image_);
        item->setData(0, Qt::UserRole + 1, selected_);
    }

    QTreeWidget& tree_;
    int image_ = 0;
    int selected_ = 0;
};

void fillCabinetTree(TreeBuilder& b, const CCabObj& p, std::vector<QTreeWidgetItem*>& expand) {
    const bool wizard = p.m_nKind == kKindSelfExtractingWizard;
    const bool selfExtracting = p.m_nKind == kKindSelfExtractingCabinet;

    QTreeWidgetItem* general = b.heading("General Information", kImageGeneral);
    expand.push_back(general);
    b.labelled(general, "Company Name", {text(p.m_strCompany)}, kImageCompany);
    b.labelled(general, "Product Name", {text(p.m_strProduct)}, kImageProduct);
    b.labelled(general, "Product Version", {text(p.m_strVersion)}, kImageVersion);
    b.labelled(general, "Comment", {text(p.m_strComment)}, kImageComment);
    b.labelled(general, "Copyright", {text(p.m_strCopyright)}, kImageCopyright);

    QTreeWidgetItem* type = b.heading("Package Type", kImageCabinet);
    if (!wizard) expand.push_back(type);
    if (p.m_bCab) b.child(type, "Cabinet File");
    if (p.m_bCabSelf) b.child(type, "Self Extracting Cabinet File");
    if (p.m_bCabWiz) b.child(type, "Self Extracting Wizard File", kImageWizardFile);
    b.labelled(type, "Use Compression", {yesNo(p.m_bCompression)}, kImageCompression);
    if (!wizard) b.labelled(type, "Scan For GUIDs", {yesNo(p.m_bGuid)}, kImageGuid);

    QTreeWidgetItem* source = b.heading("Package Source", kImageFolder);
    expand.push_back(source);
    b.labelled(source, "Source Folder", {text(p.m_strSourceFolder)});
    b.labelled(source, "Include Sub Directories", {yesNo(p.m_bSubDirs)});
    QTreeWidgetItem* files = b.child(source, "Source Files", kImageFiles, kImageFilesOpen);
    for (int i = 0; i < p.GetFileCount(); ++i) b.child(files, text(p.GetFilePath(i)));

    QTreeWidgetItem* target = b.heading("Package Target", kImageFolder);
    expand.push_back(target);
    QTreeWidgetItem* outputParent = b.child(target, "Target Folder");
    outputParent = b.child(outputParent, text(p.m_strTargetFolder));
    if (p.m_bCab) outputParent = b.child(target, "Cabinet Output Files", kImageFiles, kImageFilesOpen);
    if (p.m_bCabSelf) outputParent = b.child(target, "Self Extraction Cabinet Output Files", kImageFiles, kImageFilesOpen);
    if (p.m_bCabWiz) outputParent = b.child(target, "Self Extraction Wizard Output File", kImageFiles, kImageFilesOpen);
    for (const std::string& output : p.m_arrOutputFiles) b.child(outputParent, text(output));

    if (wizard) {
        QTreeWidgetItem* prompt = b.heading("Prompt User With", kImagePrompt);
        expand.push_back(prompt);
        b.labelled(prompt, "Text", {p.m_bText ? text(p.m_strText) : QString("None")});
        b.labelled(prompt, "Password Protect Package", {yesNo(p.m_bPassword)});
        b.labelled(prompt, "Display License File", {p.m_bLicense ? text(p.m_strLicenseFile) : QString("No")});
    }

    if (wizard || selfExtracting) {
        QTreeWidgetItem* after = b.heading("Do After File Extraction", kImageAction);
        expand.push_back(after);
        if (wizard) {
            b.labelled(after, "Execute Program", {orNone(p.m_strExe)});
            b.labelled(after, "Program Command Line", {orNone(p.m_strCommandLine)});
            b.labelled(after, "Display Type", {displayTypeText(p.m_nShowType)});
            b.labelled(after, "Default Directory", {text(p.m_strInstallDir)});
        }
        b.labelled(after, "Restore Directory Struture", {yesNo(p.m_bRestoreDirs)});
    }

    if (wizard) {
        QTreeWidgetItem* setup = b.heading("Mini Setup", kImageAction);
        expand.push_back(setup);
        b.labelled(setup, "Create Shortcut Group", {yesNo(p.m_bShortcutGroup)});
        b.labelled(setup, "Shortcut Group Description", {orNone(p.m_strGroupDesc)});
        b.labelled(setup, "Create Shortcut", {yesNo(p.m_bShortcuts)});
        b.labelled(setup, "Shortcut Type", {shortcutTypeText(p.m_nShortcutFolder)});
        const size_t shortcuts = std::min(p.m_arrShortcutDesc.size(), p.m_arrShortcutFile.size());
        for (size_t i = 0; i < shortcuts; ++i)
            b.labelled(setup, QString("Shortcut %1").arg(i + 1),
                       {text(p.m_arrShortcutDesc[i]), text(p.m_arrShortcutFile[i])});
    }

    if (p.m_bSignature) {
        QTreeWidgetItem* signing = b.heading("Code Signing", kImageSignature);
        expand.push_back(signing);
        b.labelled(signing, "Digital Signature", {text(p.m_strSignCredentials)});
        b.labelled(signing, "Private Key", {text(p.m_strSignKey)});
        b.labelled(signing, "Information", {text(p.m_strSignInfo)}, kImageInformation);
        b.labelled(signing, "Cryptographic Digest Algorithm", {QString::fromUtf8(digestText(p.m_bMD5, "SH 1"))},
                   kImageSignature);
    }
}

void fillWebTree(TreeBuilder& b, const CCabObj& p, std::vector<QTreeWidgetItem*>& expand) {
    const CWebObj& web = *p.m_pWeb;
    QTreeWidgetItem* general = b.heading("General Information", kImageGeneral);
    b.labelled(general, "Company Name", {text(p.m_strCompany)}, kImageCompany);
    b.labelled(general, "Product Name", {text(p.m_strProduct)}, kImageProduct);

    QTreeWidgetItem* type = b.heading("Package Type", kImageCabinet);
    b.child(type, "Web Inf Package", kImageWebPackage);

    QTreeWidgetItem* source = b.heading("Package Source", kImageFolder);
    expand.push_back(source);
    b.labelled(source, "Source Folder", {text(web.m_strSourceFolder)});
    b.labelled(source, "Source File", {text(web.m_strFilePath)}, kImageFiles, kImageFilesOpen);
    QTreeWidgetItem* deps = b.child(source, "Source Dependencies");
    for (int i = 0; i < p.GetDependencyCount(); ++i) b.child(deps, text(p.GetDependencyName(i)));

    QTreeWidgetItem* target = b.heading("Package Target", kImageFolder);
    expand.push_back(target);
    b.labelled(target, "Target Folder", {text(p.m_strTargetFolder)});
    b.labelled(target, "Inf Output File", {text(p.m_strTargetFolder + p.m_strProjectName + ".inf")}, kImageFiles,
               kImageFilesOpen);
}

}  // namespace

CInfoView::CInfoView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("CInfoView");
    setColumnCount(1);
    header()->hide();
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(kImageSize, kImageSize));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
}

void CInfoView::fillTree(QTreeWidget& tree, const CCabObj& package) {
    TreeBuilder builder(tree);
    std::vector<QTreeWidgetItem*> expand;
    if (package.IsWebPackage()) fillWebTree(builder, package, expand);
    else fillCabinetTree(builder, package, expand);
    for (QTreeWidgetItem* item : expand) item->setExpanded(true);
}

void CInfoView::showPackage(const CCabObj* package) {
    if (package == shown_) return;
    shown_ = package;
    refresh();
}

void CInfoView::refresh() {
    clear();
    if (!shown_) return;
    fillTree(*this, *shown_);
    if (QTreeWidgetItem* general = topLevelItem(0)) scrollToItem(general);
}

void CInfoView::setHeadingsExpanded(bool expanded) {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* heading = topLevelItem(i);
        heading->setExpanded(expanded);
        for (int j = 0; j < heading->childCount(); ++j) heading->child(j)->setExpanded(expanded);
    }
    if (QTreeWidgetItem* first = topLevelItem(0)) scrollToItem(first);
}

void CInfoView::expandAllHeadings() { setHeadingsExpanded(true); }
void CInfoView::collapseAllHeadings() { setHeadingsExpanded(false); }

QMenu* CInfoView::createContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName("infoContextMenu");
    const bool selected = list_ && list_->selectedPackage();
    const bool webShown = shown_ && shown_->IsWebPackage();
    struct Item {
        const char* name;
        const char* text;
        int id;
        bool enabled;
    };
    for (const Item& item : {
             Item{"contextRebuild", "&Rebuild Package", ID_PROJECT_REBUILD, selected && shown_ && !webShown},
             Item{"contextSendFtp", "&Send Project Files (FTP)...", ID_PROJECT_SEND_FTP, selected},
             Item{"contextSendMail", "Send Project Files (Mail)...", ID_FILE_SEND_MAIL, selected},
             Item{"contextContents", "Co&ntents...", ID_PROJECT_CONTENTS, selected && shown_ && !webShown},
             Item{"contextProperties", "&Properties...", ID_PROJECT_PROPERTIES, selected},
         }) {
        QAction* action = menu->addAction(item.text);
        action->setObjectName(item.name);
        action->setEnabled(item.enabled && list_ && list_->canRunCommand(item.id));
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] {
            if (list_) list_->runCommand(id);
        });
    }
    return menu;
}

void CInfoView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createContextMenu(this);
    menu->exec(event->globalPos());
    delete menu;
}

}  // namespace pcn::gui
