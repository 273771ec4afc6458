#include "signing/gui/ToolWizardSheet.h"

#include <QAbstractButton>

#include "signing/gui/ToolProgressPage.h"

namespace pcn::gui {

ToolWizardSheet::ToolWizardSheet(QWidget* parent) : QWizard(parent) {
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoDefaultButton);
    connect(this, &QWizard::currentIdChanged, this, &ToolWizardSheet::pageChanged);
}

void ToolWizardSheet::addToolPage(int id, QWizardPage* page, const QList<QWizard::WizardButton>& buttons) {
    setPage(id, page);
    buttons_[id] = buttons;
}

void ToolWizardSheet::addProgressPage(int id, ToolProgressPage* page) {
    progress_ = page;
    progressId_ = id;
    addToolPage(id, page, {QWizard::FinishButton, QWizard::CancelButton});
    connect(page, &ToolProgressPage::workerEnded, this, &ToolWizardSheet::jobEnded);
}

void ToolWizardSheet::pageChanged(int id) {
    QList<QWizard::WizardButton> layout{QWizard::Stretch};
    layout += buttons_[id];
    setButtonLayout(layout);
    setButtonText(QWizard::FinishButton, tr("&Finish"));
    button(QWizard::CancelButton)->setEnabled(true);
}

void ToolWizardSheet::accept() {
    // Finish on the page before the last one stores it and runs the job.
    if (currentId() != progressId_) {
        next();
        return;
    }
    QWizard::accept();
}

void ToolWizardSheet::reject() {
    if (progress_) progress_->stopWorker();
    QWizard::reject();
}

// After a failure Back leads to the page where the user put the cause right
// (a key, a file); Finish on it runs the job again.
void ToolWizardSheet::jobEnded(bool success) {
    setButtonText(QWizard::FinishButton, tr("Close"));
    button(QWizard::CancelButton)->setEnabled(false);
    if (!success)
        setButtonLayout({QWizard::Stretch, QWizard::BackButton, QWizard::FinishButton, QWizard::CancelButton});
}

}  // namespace pcn::gui
