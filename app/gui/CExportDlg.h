#pragma once
// "Export": copies the project file with all its package files, or the
// selected packages' files, to a destination folder, with a progress window
// that can be cancelled and that asks before replacing a file.

#include <QDialog>
#include <QString>

#include <string>
#include <vector>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace pcn {
class CCabObj;
class CPCNDoc;
class UserInterface;
}  // namespace pcn

namespace pcn::gui {

class Pickers;

inline constexpr const char* kExportingPackages = "Exporting Tarnwick Parcelon Packages...";
inline constexpr const char* kExportingProject = "Exporting Tarnwick Parcelon Project amd Packages...";

class CExportDlg : public QDialog {
    Q_OBJECT
public:
    CExportDlg(CPCNDoc& doc, UserInterface& ui, Pickers& pickers, QWidget* parent = nullptr);

    // The user's home folder, where an export goes unless told otherwise.
    static QString defaultDestination();

    QTreeWidget* list() const { return list_; }

    // OK: copies what the choice names; closes with OK in every case.
    void accept() override;

private:
    void browse();
    void updateList();
    std::vector<std::string> sources() const;

    CPCNDoc& doc_;
    UserInterface& ui_;
    Pickers& pickers_;
    QLineEdit* destination_ = nullptr;
    QPushButton* browse_ = nullptr;
    QRadioButton* wholeProject_ = nullptr;
    QRadioButton* selectedPackages_ = nullptr;
    QTreeWidget* list_ = nullptr;
};

}  // namespace pcn::gui
