#pragma once
// "Package File Not Found": shown while a project loads when some of its
// package files do not exist. The user changes paths (one by one, by folder
// or by replacing a common leading folder), removes entries, keeps what
// exists (OK) or drops them all (Cancel). Works directly on the caller's
// list of missing paths.

#include <QDialog>
#include <QString>

#include <string>
#include <vector>

#include "app/gui/CChangePackagePathDlg.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace pcn {
class SettingsStore;
class UserInterface;
}  // namespace pcn

namespace pcn::gui {

class Pickers;

inline constexpr const char* kNotAllFilesFound =
    "Not all file(s) were found.\n\nContinue anyway and remove the missing file(s) from the project?";
inline constexpr const char* kCancelRemovesFiles =
    "Canceling will remove the listed Package file(s) from the project.\r\n\r\n"
    "Continue anyway and remove the file(s)?";

class CMissingPackageFilesDlg : public QDialog {
    Q_OBJECT
public:
    CMissingPackageFilesDlg(std::vector<std::string>& missing, SettingsStore& settings, UserInterface& ui,
                            Pickers& pickers, QWidget* parent = nullptr);

    QTreeWidget* list() const { return list_; }
    // The image an entry shows: found or not found.
    static int imageFor(const std::string& path);

    // "&Change...": the change dialog for the selection, then its result applied.
    void changeSelection();
    // Applies a change dialog's result to the selected (or all) entries.
    void applyChange(const QString& path, CChangePackagePathDlg::Mode mode, const QString& equalFolder);
    // "&Remove": the selected entries leave the list and the missing list.
    void removeSelection();

    void accept() override;
    void reject() override;

private:
    void setEntry(int index, const std::string& path);
    std::vector<int> selectedIndexes() const;
    void updateButtons();

    std::vector<std::string>& missing_;
    SettingsStore& settings_;
    UserInterface& ui_;
    Pickers& pickers_;
    QTreeWidget* list_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* remove_ = nullptr;
};

}  // namespace pcn::gui
