#pragma once
// What the signing and trust-check wizards share: the buttons each page
// offers, and the last page that runs the job. The page
// before the last one ends with Finish, which stores it and moves on to the
// last page rather than closing; the last page's Finish is disabled while
// the job runs and becomes "Close" once it has ended, when Cancel is
// disabled; after a failure Back returns to the page before it. Cancel while
// the job runs stops the tool and the worker first.

#include <QList>
#include <QWizard>

#include <map>

namespace pcn::gui {

class ToolProgressPage;

class ToolWizardSheet : public QWizard {
    Q_OBJECT
public:
    explicit ToolWizardSheet(QWidget* parent = nullptr);

    ToolProgressPage* progressPage() const { return progress_; }

public slots:
    void accept() override;
    void reject() override;

protected:
    // Adds a page with the buttons it shows (in order, after a stretch).
    void addToolPage(int id, QWizardPage* page, const QList<QWizard::WizardButton>& buttons);
    // The last page; the page before it is the one whose Finish leads here.
    void addProgressPage(int id, ToolProgressPage* page);

private:
    void pageChanged(int id);
    void jobEnded(bool success);

    std::map<int, QList<QWizard::WizardButton>> buttons_;
    ToolProgressPage* progress_ = nullptr;
    int progressId_ = -1;
};

}  // namespace pcn::gui
