#pragma once
// "Code Signing Wizard (2 of 2)": the software publishing credentials, the
// private key, the digest, and whether to time-stamp and check trust after
// signing. Finish stores them and starts the signing on the next page.

#include <QWizardPage>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pcn::gui {

class CSignCodePropertySheet;

class CSignCodeMyPropertyPage2 : public QWizardPage {
    Q_OBJECT
public:
    explicit CSignCodeMyPropertyPage2(CSignCodePropertySheet& sheet);

    QLineEdit* credentials() const { return credentials_; }
    QLineEdit* privateKey() const { return privateKey_; }
    QRadioButton* md5() const { return md5_; }
    QRadioButton* sha1() const { return sha1_; }
    QRadioButton* sha256() const { return sha256_; }
    QCheckBox* timeStamp() const { return timeStamp_; }
    QCheckBox* checkTrust() const { return checkTrust_; }

    void initializePage() override;
    // Finish: no field is checked; the tool reports what is missing.
    bool validatePage() override;
    int nextId() const override;

private:
    void browse(QLineEdit* field, int mode);
    int digest() const;

    CSignCodePropertySheet& sheet_;
    QLineEdit* credentials_;
    QPushButton* browseCredentials_;
    QLineEdit* privateKey_;
    QPushButton* browseKey_;
    QRadioButton* md5_;
    QRadioButton* sha1_;
    QRadioButton* sha256_;
    QCheckBox* timeStamp_;
    QCheckBox* checkTrust_;
};

}  // namespace pcn::gui
