#pragma once
// "Code Signing Wizard (1 of 2)": the file to sign, the program's name and
// where people find more information about it.

#include <QWizardPage>

class QLineEdit;
class QPushButton;

namespace pcn::gui {

class CSignCodePropertySheet;

class CSignCodeMyPropertyPage1 : public QWizardPage {
    Q_OBJECT
public:
    explicit CSignCodeMyPropertyPage1(CSignCodePropertySheet& sheet);

    QLineEdit* file() const { return file_; }
    QLineEdit* name() const { return name_; }
    QLineEdit* information() const { return information_; }

    void initializePage() override;
    // Next: refuses an empty file; stores the fields into the job and the settings.
    bool validatePage() override;
    int nextId() const override;

    void browseFile();
    void browseInformation();

private:
    CSignCodePropertySheet& sheet_;
    QLineEdit* file_;
    QPushButton* browseFile_;
    QLineEdit* name_;
    QLineEdit* information_;
    QPushButton* browseInformation_;
    bool initialised_ = false;
};

}  // namespace pcn::gui
