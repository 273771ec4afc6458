#include "editing/gui/PropertySheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {

CPropertyPage::CPropertyPage(CPropertySheet& sheet, const QString& caption)
    : propertySheet_(sheet), caption_(caption) {}

void CPropertyPage::SetModified(bool modified) {
    modified_ = modified;
    propertySheet_.updateApplyButton();
}

void CPropertyPage::activate() {
    if (!created_) {
        created_ = true;
        OnInitDialog();
    }
    OnSetActive();
}

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent) : QDialog(parent) {
    setWindowTitle(caption);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tabs");
    // Every caption stays in view: the tab bar takes the width it needs.
    tabs_->setUsesScrollButtons(false);
    tabs_->tabBar()->setElideMode(Qt::ElideNone);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    okButton()->setObjectName("okButton");
    cancelButton()->setObjectName("cancelButton");
    applyButton()->setObjectName("applyButton");
    applyButton()->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &CPropertySheet::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &CPropertySheet::reject);
    connect(applyButton(), &QAbstractButton::clicked, this, [this] { apply(); });
    connect(tabs_, &QTabWidget::currentChanged, this, &CPropertySheet::onTabChanged);
}

QPushButton* CPropertySheet::okButton() const { return buttons_->button(QDialogButtonBox::Ok); }
QPushButton* CPropertySheet::cancelButton() const { return buttons_->button(QDialogButtonBox::Cancel); }
QPushButton* CPropertySheet::applyButton() const { return buttons_->button(QDialogButtonBox::Apply); }

namespace {

// The name of a tab's section in the sheet's help page: "Digital Signature"
// is "digital-signature".
QString sectionName(const QString& caption) {
    QString name;
    for (const QChar c : caption.toLower()) {
        if (c.isLetterOrNumber()) name += c;
        else if (!name.isEmpty() && !name.endsWith(u'-')) name += u'-';
    }
    while (name.endsWith(u'-')) name.chop(1);
    return name;
}

}  // namespace

void CPropertySheet::addPage(CPropertyPage* page) {
    pages_.push_back(page);
    // F1 on a tab opens the part of the sheet's help about that tab.
    const QVariant sheetTopic = property(kHelpTopicProperty);
    if (sheetTopic.isValid() && !page->property(kHelpTopicProperty).isValid())
        page->setProperty(kHelpTopicProperty, sheetTopic.toString() + u'#' + sectionName(page->caption()));
    // No tab is active until the sheet picks its start tab.
    const QSignalBlocker quiet(tabs_);
    tabs_->addTab(page, page->caption());
}

CPropertyPage* CPropertySheet::currentPage() const {
    return current_ >= 0 && current_ < pageCount() ? page(current_) : nullptr;
}

QStringList CPropertySheet::tabCaptions() const {
    QStringList captions;
    for (const CPropertyPage* p : pages_) captions << p->caption();
    return captions;
}

bool CPropertySheet::setActivePage(int index) {
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

bool CPropertySheet::setActivePage(CPropertyPage* target) {
    for (int i = 0; i < pageCount(); ++i)
        if (page(i) == target) return setActivePage(i);
    return false;
}

// QTabWidget has already switched when it tells us; a tab that refuses to be
// left is put back without a second round of checks.
void CPropertySheet::onTabChanged(int index) {
    if (switching_) return;
    if (CPropertyPage* leaving = currentPage(); leaving && index != current_ && !leaving->OnKillActive()) {
        switching_ = true;
        tabs_->setCurrentIndex(current_);
        switching_ = false;
        return;
    }
    current_ = index;
    if (CPropertyPage* entering = currentPage()) entering->activate();
}

bool CPropertySheet::apply() {
    if (CPropertyPage* active = currentPage(); active && !active->OnKillActive()) return false;
    for (int i = 0; i < pageCount(); ++i) {
        CPropertyPage* p = page(i);
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

void CPropertySheet::showEvent(QShowEvent* event) {
    if (current_ < 0 && pageCount() > 0) setActivePage(0);
    QDialog::showEvent(event);
}

void CPropertySheet::updateApplyButton() {
    bool anyModified = false;
    for (const CPropertyPage* p : pages_) anyModified = anyModified || p->isModified();
    if (applyButton()) applyButton()->setEnabled(anyModified);
}

void CPropertySheet::accept() {
    if (apply()) QDialog::accept();
}

void CPropertySheet::reject() {
    for (CPropertyPage* p : pages_)
        if (p->isCreated() && !p->OnQueryCancel()) return;
    QDialog::reject();
}

}  // namespace pcn::gui
