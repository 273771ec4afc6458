#include "editing/gui/sheet/CCabPropertySheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editing/gui/sheet/CCabPropertyPage.h"
#include "editing/gui/sheet/CabPropertyPages.h"

namespace pcn::gui {

CCabPropertySheet::CCabPropertySheet(CCabObj& copy, EditingContext& context, QWidget* parent)
    : QDialog(parent), package_(copy), context_(context) {
    setObjectName("CCabPropertySheet");
    setWindowTitle(tr("Package Properties"));
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tabs");
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    okButton()->setObjectName("okButton");
    cancelButton()->setObjectName("cancelButton");
    applyButton()->setObjectName("applyButton");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &CCabPropertySheet::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &CCabPropertySheet::reject);
    connect(applyButton(), &QAbstractButton::clicked, this, [this] { apply(); });
    connect(tabs_, &QTabWidget::currentChanged, this, &CCabPropertySheet::onTabChanged);
    updateApplyButton();
}

QPushButton* CCabPropertySheet::okButton() const { return buttons_->button(QDialogButtonBox::Ok); }
QPushButton* CCabPropertySheet::cancelButton() const { return buttons_->button(QDialogButtonBox::Cancel); }
QPushButton* CCabPropertySheet::applyButton() const { return buttons_->button(QDialogButtonBox::Apply); }

void CCabPropertySheet::addPage(CCabPropertyPage* page) {
    pages_.push_back(page);
    // No tab is active until the sheet picks its start tab.
    const QSignalBlocker quiet(tabs_);
    tabs_->addTab(page, page->caption());
}

CCabPropertyPage* CCabPropertySheet::currentPage() const {
    return current_ >= 0 && current_ < pageCount() ? page(current_) : nullptr;
}

QStringList CCabPropertySheet::tabCaptions() const {
    QStringList captions;
    for (const CCabPropertyPage* p : pages_) captions << p->caption();
    return captions;
}

bool CCabPropertySheet::setActivePage(int index) {
    if (index < 0 || index >= pageCount()) return false;
    if (current_ < 0) {
        {
            const QSignalBlocker quiet(tabs_);
            tabs_->setCurrentIndex(index);
        }
        current_ = index;
        page(index)->activate();
        return true;
    }
    if (index == current_) return true;
    tabs_->setCurrentIndex(index);
    return current_ == index;
}

bool CCabPropertySheet::setActivePage(CCabPropertyPage* target) {
    for (int i = 0; i < pageCount(); ++i)
        if (page(i) == target) return setActivePage(i);
    return false;
}

// QTabWidget has already switched when it tells us; a tab that refuses to be
// left is put back without a second round of checks.
void CCabPropertySheet::onTabChanged(int index) {
    if (switching_) return;
    if (CCabPropertyPage* leaving = currentPage(); leaving && index != current_ && !leaving->OnKillActive()) {
        switching_ = true;
        tabs_->setCurrentIndex(current_);
        switching_ = false;
        return;
    }
    current_ = index;
    if (CCabPropertyPage* entering = currentPage()) entering->activate();
}

bool CCabPropertySheet::apply() {
    if (CCabPropertyPage* active = currentPage(); active && !active->OnKillActive()) return false;
    for (int i = 0; i < pageCount(); ++i) {
        CCabPropertyPage* p = page(i);
        if (!p->isCreated()) continue;
        const int shownBefore = current_;
        if (!p->OnApply()) {
            // A tab that refuses shows itself, unless it has shown another
            // tab (the one the user has to fix: the signature question's No).
            if (current_ == shownBefore && current_ != i) setActivePage(i);
            return false;
        }
        p->SetModified(false);
    }
    return true;
}

void CCabPropertySheet::showEvent(QShowEvent* event) {
    if (current_ < 0 && pageCount() > 0) setActivePage(0);
    QDialog::showEvent(event);
}

void CCabPropertySheet::updateApplyButton() {
    bool anyModified = false;
    for (const CCabPropertyPage* p : pages_) anyModified = anyModified || p->isModified();
    if (applyButton()) applyButton()->setEnabled(anyModified);
}

void CCabPropertySheet::accept() {
    if (apply()) QDialog::accept();
}

bool RunCabinetPropertySheet(CCabObj& copy, int startPage, EditingContext& context, QWidget* parent) {
    CCabPropertySheet sheet(copy, context, parent);
    AddCabPropertyPages(sheet);
    if (sheet.pageCount() == 0) return false;
    if (!sheet.setActivePage(startPage)) sheet.setActivePage(0);
    return sheet.exec() == QDialog::Accepted;
}

}  // namespace pcn::gui
