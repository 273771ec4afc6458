#include "editing/gui/forms/InstallationForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "editing/gui/forms/FormSupport.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"

namespace pcn::gui {
namespace {

// The target machine's folders, in the order the lists offer them.
constexpr const char* kFolderTokens[] = {"%PROGRAMFILES%", "%COMMONFILES%", "%WINDOWS%", "%SYSTEM%", "%TEMP%"};
constexpr const char* kProgramExtensions[] = {".exe", ".cmd", ".bat", ".com"};

QComboBox* editableCombo(QWidget* parent, const char* name) {
    auto* combo = namedWidget(new QComboBox(parent), name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

bool isProgram(const std::string& lowerName) {
    for (const char* extension : kProgramExtensions)
        if (lowerName.find(extension) != std::string::npos) return true;
    return false;
}

// Keeps the program list sorted as it grows.
void insertSorted(QComboBox* combo, const QString& text) {
    int at = 0;
    while (at < combo->count() && QString::localeAwareCompare(combo->itemText(at), text) < 0) ++at;
    combo->insertItem(at, text);
}

}  // namespace

InstallationForm::InstallationForm(QWidget* parent) : QWidget(parent) {
    auto* extraction = new QGroupBox(tr("Do after file extraction"), this);
    installDir_ = editableCombo(extraction, "installDir");
    userDir_ = namedWidget(new QCheckBox(tr("Can User select install directory"), extraction), "userDir");
    restoreDirs_ = namedWidget(new QCheckBox(tr("Restore Directory Structure"), extraction), "restoreDirs");
    installDirLabel_ = namedWidget(new QLabel(tr("Default Installation Directory:"), extraction), "installDirLabel");
    installDirLabel_->setBuddy(installDir_);
    auto* extractionLayout = new QFormLayout(extraction);
    extractionLayout->addRow(installDirLabel_, installDir_);
    extractionLayout->addRow(userDir_);
    extractionLayout->addRow(restoreDirs_);

    auto* program = new QGroupBox(tr("Program to execute"), this);
    exe_ = editableCombo(program, "exe");
    commandLine_ = namedWidget(new QLineEdit(program), "commandLine");
    showType_ = namedWidget(new QComboBox(program), "showType");
    showType_->addItems({tr("Normal"), tr("Minimized"), tr("Maximized"), tr("Console"), tr("Hidden")});
    exeDir_ = editableCombo(program, "exeDir");
    exeLabel_ = namedWidget(new QLabel(tr("Program to execute:"), program), "exeLabel");
    commandLineLabel_ = namedWidget(new QLabel(tr("Program &CommandLine:"), program), "commandLineLabel");
    showTypeLabel_ = namedWidget(new QLabel(tr("Display Type:"), program), "showTypeLabel");
    auto* exeDirLabel = namedWidget(new QLabel(tr("Default Directory:"), program), "exeDirLabel");
    exeLabel_->setBuddy(exe_);
    commandLineLabel_->setBuddy(commandLine_);
    showTypeLabel_->setBuddy(showType_);
    exeDirLabel->setBuddy(exeDir_);
    auto* programLayout = new QFormLayout(program);
    programLayout->addRow(exeLabel_, exe_);
    programLayout->addRow(commandLineLabel_, commandLine_);
    programLayout->addRow(showTypeLabel_, showType_);
    programLayout->addRow(exeDirLabel, exeDir_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(extraction);
    layout->addWidget(program);
    layout->addStretch();

    for (QComboBox* combo : {installDir_, exe_, exeDir_})
        connect(combo, &QComboBox::currentTextChanged, this, &InstallationForm::modified);
    connect(showType_, &QComboBox::activated, this, &InstallationForm::modified);
    connect(commandLine_, &QLineEdit::textEdited, this, &InstallationForm::modified);
    connect(userDir_, &QCheckBox::clicked, this, &InstallationForm::modified);
    connect(restoreDirs_, &QCheckBox::clicked, this, &InstallationForm::modified);
}

void InstallationForm::fillFolderLists(const std::string& product) {
    for (const char* token : kFolderTokens) {
        exeDir_->addItem(QString::fromLatin1(token));
        installDir_->addItem(QString::fromLatin1(token) + "\\" + QString::fromStdString(product));
    }
    exeDir_->addItem("%DESTDIR%");
}

void InstallationForm::fillProgramList(const CCabObj& package) {
    for (int i = 0; i < package.GetFileCount(); ++i) {
        const QString name = QString::fromStdString(fileNamePart(package.GetFilePath(i))).toLower();
        if (isProgram(name.toStdString()) && exe_->findText(name, Qt::MatchExactly) < 0) insertSorted(exe_, name);
    }
}

void InstallationForm::showInstallDir(const QString& folder) {
    if (installDir_->findText(folder, Qt::MatchExactly) < 0) installDir_->addItem(folder);
    installDir_->setCurrentText(folder);
}

void InstallationForm::load(const CCabObj& package) {
    const QSignalBlocker blockInstallDir(installDir_), blockExe(exe_), blockExeDir(exeDir_);
    installDir_->setCurrentText(QString::fromStdString(package.m_strInstallDir));
    userDir_->setChecked(package.m_bUserDir);
    restoreDirs_->setChecked(package.m_bRestoreDirs);
    exe_->setCurrentText(QString::fromStdString(package.m_strExe));
    commandLine_->setText(QString::fromStdString(package.m_strCommandLine));
    showType_->setCurrentIndex(package.m_nShowType >= 0 && package.m_nShowType < showType_->count()
                                   ? package.m_nShowType
                                   : 0);
    exeDir_->setCurrentText(QString::fromStdString(package.m_strExeDir));
}

void InstallationForm::store(CCabObj& package) const {
    package.m_strInstallDir = installDir_->currentText().toStdString();
    package.m_bUserDir = userDir_->isChecked();
    package.m_bRestoreDirs = restoreDirs_->isChecked();
    package.m_strExe = exe_->currentText().toStdString();
    package.m_strCommandLine = commandLine_->text().toStdString();
    package.m_nShowType = showType_->currentIndex();
    package.m_strExeDir = exeDir_->currentText().toStdString();
}

void InstallationForm::enableForKind(int32_t kind) {
    const bool runsProgram = kind != kKindSelfExtractingCabinet;
    for (QWidget* w : std::initializer_list<QWidget*>{exe_, commandLine_, showType_, installDir_, exeLabel_,
                                                     commandLineLabel_, showTypeLabel_, installDirLabel_})
        w->setEnabled(runsProgram);
}

FormCheck InstallationForm::check() const {
    return RefuseLineBreaks({installDir_, exe_, commandLine_, exeDir_});
}

}  // namespace pcn::gui
