#pragma once
// "Contents": the files of a built package as its cabinet holds them, read
// back through the same reader as `parcelon list`, and a Verify button that
// runs the checks of `parcelon verify` on a worker and shows their lines.
// Verify turns into Cancel while the checks run; closing the dialog cancels
// them and waits for the worker before the window goes.

#include <QDialog>
#include <atomic>
#include <memory>
#include <thread>

namespace pcn {
class CCabObj;
class SettingsStore;
}  // namespace pcn

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace pcn::gui {

class CPackageContentsDlg : public QDialog {
    Q_OBJECT
public:
    CPackageContentsDlg(const CCabObj& package, const SettingsStore& settings, QWidget* parent = nullptr);
    ~CPackageContentsDlg() override;

    QTreeWidget* contentsList() const { return contents_; }
    QListWidget* checkList() const { return checks_; }
    QPushButton* verifyButton() const { return verify_; }
    QLabel* summaryLabel() const { return summary_; }
    bool verifying() const { return worker_.joinable(); }

public slots:
    void reject() override;

private:
    void listContents();
    void startOrCancelVerify();
    void addCheckLine(int verdict, const QString& line);
    void verifyEnded(const QString& summary, int exitCode);
    void stopWorker();

    const CCabObj& package_;
    const SettingsStore& settings_;
    QLabel* cabinets_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QListWidget* checks_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* verify_ = nullptr;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
};

// Opens the dialog modally for the package.
void RunPackageContentsDialog(const CCabObj& package, const SettingsStore& settings, QWidget* parent);

}  // namespace pcn::gui
