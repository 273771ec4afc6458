#include "app/gui/CHelpWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/gui/HelpTopic.h"
#include "platform/gui/DialogFit.h"

namespace pcn::gui {
namespace {

QPointer<CHelpWindow>& openWindow() {
    static QPointer<CHelpWindow> window;
    return window;
}

QToolButton* addButton(QHBoxLayout* row, const QString& text, const char* name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setObjectName(name);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    row->addWidget(button);
    return button;
}

}  // namespace

CHelpWindow::CHelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("CHelpWindow");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Tarnwick Parcelon Help");
    setProperty(kHelpTopicProperty, kDefaultHelpTopic);

    auto* buttons = new QHBoxLayout;
    auto* contents = addButton(buttons, tr("&Contents"), "contentsButton", this);
    back_ = addButton(buttons, tr("< &Back"), "backButton", this);
    forward_ = addButton(buttons, tr("&Forward >"), "forwardButton", this);
    buttons->addStretch();

    browser_ = new QTextBrowser(this);
    browser_->setObjectName("helpBrowser");
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({helpTopicUrl("").toLocalFile()});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);

    // Escape closes help as it closes a dialog, and the user is back where F1 was pressed.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName("closeShortcut");
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(contents, &QToolButton::clicked, this, &CHelpWindow::showContents);
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this,
            [this] {
                const QString title = browser_->documentTitle();
                setWindowTitle(title.isEmpty() ? "Tarnwick Parcelon Help" : title);
            });

    const QRect area = availableArea(this);
    resize(QSize(760, 620).boundedTo(area.size() * 9 / 10));
}

CHelpWindow* CHelpWindow::current() { return openWindow().data(); }

CHelpWindow* CHelpWindow::forOwner(QWidget* owner) {
    QPointer<CHelpWindow>& window = openWindow();
    if (window && window->parentWidget() != owner) window->close();
    if (!window) {
        window = new CHelpWindow(owner);
        centreOn(window, owner);
    }
    return window;
}

bool CHelpWindow::showPage(const QUrl& url) {
    if (!QFileInfo::exists(url.toLocalFile())) return false;
    browser_->setSource(url);
    show();
    raise();
    activateWindow();
    return true;
}

void CHelpWindow::showContents() { browser_->setSource(helpTopicUrl(kDefaultHelpTopic)); }

}  // namespace pcn::gui
