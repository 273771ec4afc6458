#pragma once
// "Re-Scan Source Files": looks up every source file of a package, shortly
// after the dialog opens, and lists the ones that are gone. When none is
// missing it says so and closes itself. It never changes the package.

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace pcn {
class CCabObj;
class UserInterface;
}  // namespace pcn

namespace pcn::gui {

class CReScanSourceFilesDlg : public QDialog {
    Q_OBJECT
public:
    // The check starts this long after the dialog is shown, so that the
    // user sees the dialog while the files are looked up.
    static constexpr int kStartDelayMs = 100;

    CReScanSourceFilesDlg(const CCabObj& package, UserInterface& ui, QWidget* parent = nullptr);

    QTreeWidget* missingList() const { return list_; }
    QPushButton* okButton() const { return ok_; }
    QStringList missingFiles() const;
    bool isChecked() const { return checked_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void checkFiles();

    const CCabObj& package_;
    UserInterface& ui_;
    QTreeWidget* list_;
    QPushButton* ok_;
    bool started_ = false;
    bool checked_ = false;
};

}  // namespace pcn::gui
