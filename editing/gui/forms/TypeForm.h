#pragma once
// The package's kind and build options: cabinet, self-extracting cabinet or
// self-extracting wizard, single or spanned cabinets of a maximum size,
// compression, signature, GUID scan, INF file and mini setup. Shared by the
// wizard's Type page and the property sheet's Type tab.

#include <QWidget>

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class TypeForm : public QWidget {
    Q_OBJECT
public:
    explicit TypeForm(QWidget* parent = nullptr);

    // Shows the package's options and runs the enabling rules.
    void load(const CCabObj& package);
    // Every option into the package; Include Mini Setup only for the wizard
    // kind; the size with its grouping commas dropped.
    void store(CCabObj& package) const;
    // Which options the chosen kind allows; options a kind cannot have are
    // also unchecked.
    void applyEnablingRules();

    // The size as typed, as a number.
    int32_t maximumSizeValue() const;
    // Shows a size with grouped digits, adding it to the list when missing.
    void showMaximumSize(int32_t size);

    QRadioButton* cabFile;
    QRadioButton* cabSelfExtracting;
    QRadioButton* selfExtractingWizard;
    QCheckBox* singleFile;
    QComboBox* maximumSize;
    QCheckBox* useCompression;
    QComboBox* compressionMethod;  // MSZIP, or LZX with a window of 32 KB to 2 MB
    QCheckBox* addSignature;
    QCheckBox* scanGuid;
    QCheckBox* createInf;
    QCheckBox* includeInf;
    QCheckBox* includeMiniSetup;

private:
    void enableSizeBySingleFile();
    void enableMethodByCompression();
};

// The size list's preset entries.
inline constexpr const char* kCabinetSizePresets[] = {"720,000", "1,200,000", "1,440,000", "2,880,000",
                                                      "20,800,000"};

}  // namespace pcn::gui
