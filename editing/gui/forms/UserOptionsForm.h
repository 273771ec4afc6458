#pragma once
// What a self-extracting package asks its user before extracting: a text to
// show, a password, a licence file. Each entry field is enabled exactly
// while its check box is checked.

#include <QWidget>

#include <string>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

struct EditingContext;

class UserOptionsForm : public QWidget {
    Q_OBJECT
public:
    explicit UserOptionsForm(EditingContext& context, QWidget* parent = nullptr);

    void load(const CCabObj& package);
    void store(CCabObj& package) const;
    void updateEnabling();

    // With "Display License File" checked, a licence file that does not exist
    // is reported (the error details dialog, the system's error as the main
    // text) and the focus goes to its path; false then.
    bool checkLicenceFile();

    // The licence-file picker, starting at the last licence file chosen or
    // else the package's source folder; remembers the choice.
    void browseLicenceFile();

    QCheckBox* displayText() const { return displayText_; }
    QPlainTextEdit* promptText() const { return promptText_; }
    QCheckBox* passwordProtect() const { return passwordProtect_; }
    QLineEdit* password() const { return password_; }
    QCheckBox* displayLicense() const { return displayLicense_; }
    QLineEdit* licenseFile() const { return licenseFile_; }
    QPushButton* browseLicense() const { return browseLicense_; }

signals:
    // The user changed a field.
    void modified();

private:
    EditingContext& context_;
    std::string sourceFolder_;
    QCheckBox* displayText_;
    QPlainTextEdit* promptText_;
    QCheckBox* passwordProtect_;
    QLineEdit* password_;
    QCheckBox* displayLicense_;
    QLineEdit* licenseFile_;
    QPushButton* browseLicense_;
};

}  // namespace pcn::gui
