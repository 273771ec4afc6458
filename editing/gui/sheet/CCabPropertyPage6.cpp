#include "editing/gui/sheet/CCabPropertyPage6.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "editing/gui/forms/InstallationForm.h"
#include "model/CCabObj.h"

namespace pcn::gui {

CCabPropertyPage6::CCabPropertyPage6(CCabPropertySheet& sheet) : CCabPropertyPage(sheet, tr("Installation")) {
    setObjectName("CCabPropertyPage6");
    form_ = new InstallationForm(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
}

// The folder lists get the tokens and the package's own folders; the program
// list stays empty: the program is typed, not picked from the files.
void CCabPropertyPage6::OnInitDialog() {
    const CCabObj& p = package();
    {
        const Loading loading(*this);
        form_->fillFolderLists(p.m_strProduct);
        if (!p.m_strInstallDir.empty()) form_->showInstallDir(QString::fromStdString(p.m_strInstallDir));
        if (const QString exeDir = QString::fromStdString(p.m_strExeDir);
            !exeDir.isEmpty() && form_->exeDir()->findText(exeDir, Qt::MatchExactly) < 0)
            form_->exeDir()->addItem(exeDir);
        form_->load(p);
    }
    connect(form_, &InstallationForm::modified, this, &CCabPropertyPage6::noteChange);
}

void CCabPropertyPage6::OnSetActive() {
    const CCabObj& p = package();
    form_->enableForKind(CCabObj::KindFromFlags(p.m_bCab, p.m_bCabSelf, p.m_bCabWiz));
}

bool CCabPropertyPage6::OnKillActive() {
    if (ShowProblem(context(), form_->check())) return false;
    form_->store(package());
    return true;
}

bool CCabPropertyPage6::OnApply() { return OnKillActive(); }

}  // namespace pcn::gui
