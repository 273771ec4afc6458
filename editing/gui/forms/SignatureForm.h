#pragma once
// How a package is signed: the software publishing credentials and the
// private key, the "more information" text, the digest and the time stamp.

#include <QWidget>

#include <cstdint>
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
class TimeStampServerForm;

class SignatureForm : public QWidget {
    Q_OBJECT
public:
    explicit SignatureForm(EditingContext& context, QWidget* parent = nullptr);

    void load(const CCabObj& package);
    // Credentials, key, information, digest and time stamp; the time-stamp
    // server goes into the TimeStampCommand template of the settings.
    void store(CCabObj& package) const;
    // A chosen time-stamp server's address must fit into the template: false
    // (the problem shown, the focus on the address) when it does not.
    bool checkTimeStampServer();
    int32_t digest() const;
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
    QRadioButton* sha256() const { return sha256_; }
    QCheckBox* timeStamp() const { return timeStamp_; }
    TimeStampServerForm* timeStampServer() const { return server_; }

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
    QRadioButton* sha256_;
    QCheckBox* timeStamp_;
    TimeStampServerForm* server_;
};

}  // namespace pcn::gui
