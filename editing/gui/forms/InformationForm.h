#pragma once
// The package's identity: company, product, version, description, copyright
// and comment. Shared by the wizard's Information page and the property
// sheet's Information tab.

#include <QWidget>

#include "editing/gui/forms/FormProblem.h"

class QLineEdit;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class InformationForm : public QWidget {
    Q_OBJECT
public:
    explicit InformationForm(QWidget* parent = nullptr);

    void load(const CCabObj& package);
    void store(CCabObj& package) const;
    // The four checks in their order: name and version together at most 260
    // characters, then company, product and description present.
    FormCheck check() const;

    QLineEdit* companyName;
    QLineEdit* productName;
    QLineEdit* productVersion;
    QLineEdit* packageDescription;
    QLineEdit* copyright;
    QLineEdit* comment;
};

// Longest Product Name and Product Version together.
inline constexpr int kMaxNameAndVersion = 260;

}  // namespace pcn::gui
