#pragma once
// The time-stamp server of the TimeStampCommand template: an Authenticode
// server or an RFC 3161 one, and its address. Shown on the packages'
// signature pages and in the options' Code Signing tab; editing it rewrites
// only the server option of the template.

#include <QWidget>

#include <optional>
#include <string>

#include "signing/TimeStampServer.h"

class QLineEdit;
class QRadioButton;

namespace pcn::gui {

class TimeStampServerForm : public QWidget {
    Q_OBJECT
public:
    explicit TimeStampServerForm(QWidget* parent = nullptr);

    // Shows the server the template names (none: nothing chosen).
    void showTemplate(const std::string& templateText);
    // The template with the server shown here; unchanged while none is chosen.
    std::string applyTo(const std::string& templateText) const;
    std::optional<TimeStampServer> server() const;
    // The address's problem (see timeStampUrlProblem), empty when none is
    // chosen or it is fine.
    std::string problem() const;

    QRadioButton* authenticode() const { return authenticode_; }
    QRadioButton* rfc3161() const { return rfc3161_; }
    QLineEdit* url() const { return url_; }

signals:
    // The user changed the kind or the address.
    void edited();

private:
    QRadioButton* authenticode_;
    QRadioButton* rfc3161_;
    QLineEdit* url_;
};

}  // namespace pcn::gui
