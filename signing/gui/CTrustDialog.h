#pragma once
// The trust dialog ChkTrust shows when it checks a file for a user: who
// signed the file, who vouches for the signer, how long the certificate is
// valid, the digest, the time stamp and whether the chain of certificates
// ends in a trusted root, with Accept and Decline.

#include <QDialog>

#include "signing/TrustDetails.h"

class QLabel;
class QPushButton;

namespace pcn::gui {

class CTrustDialog : public QDialog {
    Q_OBJECT
public:
    explicit CTrustDialog(const TrustDetails& details, QWidget* parent = nullptr);

    QPushButton* acceptButton() const { return accept_; }
    QPushButton* declineButton() const { return decline_; }
    // The text shown for a field ("subject", "issuer", "validity", "digest",
    // "timeStamp", "chain"), by its object name.
    QString fieldText(const char* name) const;

private:
    QPushButton* accept_;
    QPushButton* decline_;
};

}  // namespace pcn::gui
