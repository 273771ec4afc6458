#pragma once
// "Re-Build Project": builds a listed package as soon as it opens and shows
// the build's progress. The build writes its outcome (output files, build
// time, rebuild and new-package flags) into the listed record, which the
// project view then saves.
//
// Closing the dialog while the build runs asks the build to stop and waits
// for the worker before the window goes, so the worker never reports into a
// closed window or writes into a record the view saves meanwhile; the
// package is then left marked for a rebuild.

#include <QDialog>

namespace pcn {
class CCabObj;
class SettingsStore;
class UserInterface;
}  // namespace pcn

class QPushButton;

namespace pcn::gui {

class BuildHostPanel;

class CRebuildProjectDlg : public QDialog {
    Q_OBJECT
public:
    CRebuildProjectDlg(CCabObj& package, UserInterface& ui, SettingsStore& settings, QWidget* parent = nullptr);
    ~CRebuildProjectDlg() override;

    BuildHostPanel* panel() const { return panel_; }
    QPushButton* cancelButton() const { return cancel_; }
    // After the build has ended: whether it succeeded.
    bool succeeded() const { return succeeded_; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildEnded(bool success);
    void closeAfterTheBuild();

    CCabObj& package_;
    BuildHostPanel* panel_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool started_ = false;
    bool succeeded_ = false;
};

// The project view's rebuild: runs the dialog modally on the record.
void RunRebuildDialog(CCabObj& package, UserInterface& ui, SettingsStore& settings, QWidget* parent);

}  // namespace pcn::gui
