#include "building/gui/CRebuildProjectDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "building/gui/BuildHostPanel.h"
#include "platform/gui/DialogKeys.h"
#include "platform/gui/Sounds.h"
#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {

CRebuildProjectDlg::CRebuildProjectDlg(CCabObj& package, UserInterface& ui, SettingsStore& settings, QWidget* parent)
    : QDialog(parent), package_(package) {
    setObjectName("CRebuildProjectDlg");
    setHelpTopic(this, "project_rebuild.htm");
    setWindowTitle(tr("Re-Build Project"));
    panel_ = new BuildHostPanel(ui, settings, this);
    auto* buttons = new QDialogButtonBox(this);
    cancel_ = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    cancel_->setObjectName("cancelButton");
    connect(buttons, &QDialogButtonBox::rejected, this, &CRebuildProjectDlg::reject);
    connect(panel_, &BuildHostPanel::buildEnded, this, &CRebuildProjectDlg::buildEnded);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel_);
    layout->addWidget(buttons);
}

CRebuildProjectDlg::~CRebuildProjectDlg() { panel_->endBuildBeforeClosing(); }

void CRebuildProjectDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    panel_->startBuild(package_);
}

void CRebuildProjectDlg::buildEnded(bool success) {
    succeeded_ = success;
    playSound(success ? Sound::Default : Sound::Error);
    closeAfterTheBuild();
}

// Once the build has ended, Close is the one way on, and Enter presses it.
void CRebuildProjectDlg::closeAfterTheBuild() {
    cancel_->setText(tr("Close"));
    markForwardButton(cancel_);
    DialogKeys::settle(this);
}

// Cancel while building stops the build and stays, so that the user reads
// how it ended; Close (or Cancel once it has ended) closes.
void CRebuildProjectDlg::reject() {
    if (panel_->isBuilding()) {
        panel_->requestAbort();
        closeAfterTheBuild();
        return;
    }
    QDialog::reject();
}

void RunRebuildDialog(CCabObj& package, UserInterface& ui, SettingsStore& settings, QWidget* parent) {
    CRebuildProjectDlg dialog(package, ui, settings, parent);
    dialog.exec();
}

}  // namespace pcn::gui
