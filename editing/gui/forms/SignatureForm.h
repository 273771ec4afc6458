#pragma once
// How a package is signed: the software publishing credentials and the
// private key, the "more information" text, the digest and the time stamp.

#include <QWidget>

#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

struct EditingContext;

class SignatureForm : public QWidget {
    Q_OBJECT
public:
    explicit SignatureForm(EditingContext& context, QWidget* parent = nullptr);

    void load(const CCabObj& package);
    // Credentials, key, information, digest and time stamp.
    void store(CCabObj& package) const;
    // Every field, for packages that are signed at all.
    void setFieldsEnabled(bool enabled);

    // The credentials-or-key picker in its credentials (1) or key (2) mode,
    // starting in the package's source folder.
    void browseCredentials();
    void browseKey();

    QLineEdit* credentials() const { return credentials_; }
    QLineEdit* privateKey() const { return privateKey_; }
    QLineEdit* signInfo() const { return signInfo_; }
    QRadioButton* md5() const { return md5_; }
    QRadioButton* sha1() const { return sha1_; }
    QCheckBox* timeStamp() const { return timeStamp_; }

signals:
    void modified();

private:
    void browse(QLineEdit* field, int mode);

    EditingContext& context_;
    std::string sourceFolder_;
    QLineEdit* credentials_;
    QPushButton* browseCredentials_;
    QLineEdit* privateKey_;
    QPushButton* browseKey_;
    QLineEdit* signInfo_;
    QRadioButton* md5_;
    QRadioButton* sha1_;
    QCheckBox* timeStamp_;
};

}  // namespace pcn::gui
