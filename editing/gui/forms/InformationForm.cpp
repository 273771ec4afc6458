#include "editing/gui/forms/InformationForm.h"

#include <QFormLayout>
#include <QLineEdit>

#include "editing/gui/forms/FormProblem.h"
#include "model/CCabObj.h"

namespace pcn::gui {

namespace {

QLineEdit* addField(QFormLayout* layout, const QString& label, const char* name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    layout->addRow(label, edit);
    return edit;
}

}  // namespace

InformationForm::InformationForm(QWidget* parent) : QWidget(parent) {
    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    companyName = addField(layout, tr("Company &Name:"), "companyName");
    productName = addField(layout, tr("&Product Name:"), "productName");
    productVersion = addField(layout, tr("Product &Version:"), "productVersion");
    packageDescription = addField(layout, tr("Package &Description:"), "packageDescription");
    copyright = addField(layout, tr("C&opyright:"), "copyright");
    comment = addField(layout, tr("Co&mment:"), "comment");
}

void InformationForm::load(const CCabObj& p) {
    companyName->setText(QString::fromStdString(p.m_strCompany));
    productName->setText(QString::fromStdString(p.m_strProduct));
    productVersion->setText(QString::fromStdString(p.m_strVersion));
    packageDescription->setText(QString::fromStdString(p.m_strDescription));
    copyright->setText(QString::fromStdString(p.m_strCopyright));
    comment->setText(QString::fromStdString(p.m_strComment));
}

void InformationForm::store(CCabObj& p) const {
    p.m_strCompany = companyName->text().toStdString();
    p.m_strProduct = productName->text().toStdString();
    p.m_strVersion = productVersion->text().toStdString();
    p.m_strDescription = packageDescription->text().toStdString();
    p.m_strCopyright = copyright->text().toStdString();
    p.m_strComment = comment->text().toStdString();
}

FormCheck InformationForm::check() const {
    if (productName->text().size() + productVersion->text().size() > kMaxNameAndVersion)
        return FormProblem{tr("The combined string length of Product Name and Product Version can not exceed 260 "
                              "characters."),
                           companyName};
    if (companyName->text().isEmpty()) return FormProblem{tr("Company is a required entry."), companyName};
    if (productName->text().isEmpty()) return FormProblem{tr("Product name is a required entry."), productName};
    if (packageDescription->text().isEmpty())
        return FormProblem{tr("Description is a required entry."), packageDescription};
    return RefuseLineBreaks({companyName, productName, productVersion, packageDescription, copyright, comment});
}

}  // namespace pcn::gui
