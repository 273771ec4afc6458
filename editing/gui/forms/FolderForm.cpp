#include "editing/gui/forms/FolderForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "editing/core/NewPackage.h"
#include "editing/gui/pickers/Pickers.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"

namespace pcn::gui {

namespace {

QLineEdit* makeEdit(const char* name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    return edit;
}

QPushButton* makeBrowse(const char* name) {
    auto* button = new QPushButton(QObject::tr("Browse..."));
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

QString RetargetFolder(const QString& target, const QString& projectName) {
    const QString folder = QString::fromStdString(folderPart(target.toStdString()));
    return folder.isEmpty() ? target : folder + projectName;
}

FolderForm::FolderForm(Pickers& pickers, QWidget* parent) : QWidget(parent), pickers_(pickers) {
    sourceFolder = makeEdit("sourceFolder");
    browseSource = makeBrowse("browseSource");
    includeSubDirs = new QCheckBox(tr("Include Sub &Directories"));
    includeSubDirs->setObjectName("includeSubDirs");
    projectName = makeEdit("projectName");
    targetFolder = makeEdit("targetFolder");
    browseTarget = makeBrowse("browseTarget");

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto addLabel = [layout](const QString& text, QWidget* buddy, int row) {
        auto* label = new QLabel(text);
        label->setBuddy(buddy);
        layout->addWidget(label, row, 0, 1, 2);
    };
    addLabel(tr("&Source Folder:"), sourceFolder, 0);
    layout->addWidget(sourceFolder, 1, 0);
    layout->addWidget(browseSource, 1, 1);
    layout->addWidget(includeSubDirs, 2, 0, 1, 2);
    addLabel(tr("&Project Name:"), projectName, 3);
    layout->addWidget(projectName, 4, 0, 1, 2);
    addLabel(tr("&Target Folder:"), targetFolder, 5);
    layout->addWidget(targetFolder, 6, 0);
    layout->addWidget(browseTarget, 6, 1);

    connect(projectName, &QLineEdit::textChanged, this, &FolderForm::projectNameChanged);
    connect(browseSource, &QPushButton::clicked, this, &FolderForm::browseForSource);
    connect(browseTarget, &QPushButton::clicked, this, &FolderForm::browseForTarget);
    connect(this, &FolderForm::projectNameRefused, this, [] { QApplication::beep(); });
}

void FolderForm::load(const CCabObj& p) {
    sourceFolder->setText(QString::fromStdString(p.m_strSourceFolder));
    includeSubDirs->setChecked(p.m_bSubDirs != 0);
    targetFolder->setText(QString::fromStdString(p.m_strTargetFolder));
    setProjectName(QString::fromStdString(p.m_strProjectName));
}

void FolderForm::store(CCabObj& p) const {
    p.m_strSourceFolder = sourceFolder->text().toStdString();
    p.m_bSubDirs = includeSubDirs->isChecked() ? 1 : 0;
    p.m_strTargetFolder = targetFolder->text().toStdString();
    p.m_strProjectName = projectName->text().toStdString();
}

void FolderForm::setProjectName(const QString& name) {
    filtering_ = true;
    projectName->setText(name);
    filtering_ = false;
}

// Output files are named after the project: characters that would make the
// name a path or an extension are taken out as they are typed.
void FolderForm::projectNameChanged() {
    if (filtering_) return;
    const QString typed = projectName->text();
    const QString cleaned = QString::fromStdString(CleanProjectName(typed.toStdString()));
    if (cleaned != typed) {
        const int cursor = projectName->cursorPosition();
        const QString beforeCursor = QString::fromStdString(CleanProjectName(typed.left(cursor).toStdString()));
        setProjectName(cleaned);
        projectName->setCursorPosition(int(beforeCursor.size()));
        emit projectNameRefused();
        return;
    }
    targetFolder->setText(RetargetFolder(targetFolder->text(), typed));
}

bool FolderForm::browseInto(QLineEdit* edit) {
    QString path = edit->text();
    if (!pickers_.folder(this, path)) return false;
    edit->setText(QString::fromStdString(withTrailingSeparator(path.toStdString())));
    return true;
}

void FolderForm::browseForSource() {
    if (browseInto(sourceFolder)) emit sourceFolderBrowsed();
}

void FolderForm::browseForTarget() { browseInto(targetFolder); }

FormCheck FolderForm::check(const RequiredMessages& messages) const {
    if (sourceFolder->text().isEmpty()) return FormProblem{messages.sourceFolder, sourceFolder};
    if (projectName->text().isEmpty()) return FormProblem{messages.projectName, projectName};
    if (targetFolder->text().isEmpty()) return FormProblem{messages.targetFolder, targetFolder};
    return std::nullopt;
}

}  // namespace pcn::gui
