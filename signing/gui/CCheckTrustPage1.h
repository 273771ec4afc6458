#pragma once
// "Check Trust (1 of 2)": the file to check and whether the trust
// information is shown for the user to accept or decline.

#include <QWizardPage>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace pcn::gui {

class CCheckTrustSheet;

class CCheckTrustPage1 : public QWizardPage {
    Q_OBJECT
public:
    explicit CCheckTrustPage1(CCheckTrustSheet& sheet);

    QLineEdit* file() const { return file_; }
    QCheckBox* displayUI() const { return displayUI_; }

    void initializePage() override;
    // Next: remembers the choices and fills the job; an empty file is not refused.
    bool validatePage() override;
    int nextId() const override;

    void browse();

private:
    CCheckTrustSheet& sheet_;
    QLineEdit* file_;
    QPushButton* browse_;
    QCheckBox* displayUI_;
};

}  // namespace pcn::gui
