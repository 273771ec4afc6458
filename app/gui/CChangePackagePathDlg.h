#pragma once
// "Change Package File Path": a new path for one missing package file, or a
// new folder for several, applied to the selected entries, to all entries,
// or to all entries that begin with a chosen folder. Remembers the paths
// entered last in the settings store.

#include <QDialog>
#include <QString>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace pcn {
class SettingsStore;
}

namespace pcn::gui {

class Pickers;

class CChangePackagePathDlg : public QDialog {
    Q_OBJECT
public:
    enum class Mode { None, Selected, All, EqualPath };

    // entries: every entry of the missing list; selectedCount and
    // firstSelected describe the selection the change is for.
    CChangePackagePathDlg(const std::vector<std::string>& entries, int selectedCount, const QString& firstSelected,
                          SettingsStore& settings, Pickers& pickers, QWidget* parent = nullptr);

    // The result, valid after OK.
    const QString& path() const { return path_; }
    Mode mode() const { return mode_; }
    const QString& equalFolder() const { return equalFolder_; }

    // The history section for a change of one entry or of several.
    static const char* historySection(bool severalEntries);
    // The values "0", "1", ... of a history section, up to the first missing or empty one.
    static QStringList readHistory(const SettingsStore& settings, bool severalEntries);

    void accept() override;

private:
    void browse();
    void updateEqualFolderControls();
    void saveHistory();

    SettingsStore& settings_;
    Pickers& pickers_;
    const bool several_;
    QLabel* pathLabel_ = nullptr;
    QComboBox* pathCombo_ = nullptr;
    QPushButton* browse_ = nullptr;
    QRadioButton* applySelected_ = nullptr;
    QRadioButton* applyAll_ = nullptr;
    QRadioButton* applyEqual_ = nullptr;
    QLabel* equalLabel_ = nullptr;
    QComboBox* equalCombo_ = nullptr;
    QString path_;
    Mode mode_ = Mode::None;
    QString equalFolder_;
    int filterIndex_ = 1;
};

// Values written to a history section: the entered path and 20 earlier ones.
inline constexpr int kPathHistoryValues = 21;

}  // namespace pcn::gui
