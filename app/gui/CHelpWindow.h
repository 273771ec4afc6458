#pragma once
// The help window: the help pages in a browser of our own with the contents
// page, Back and Forward. Links between pages are followed in the window;
// links to the web go to the desktop's browser.

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace pcn::gui {

class CHelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* owner = nullptr);

    // The one help window for this owner (the modal dialog the user works
    // in, else the main window), created on first use.
    static CHelpWindow* forOwner(QWidget* owner);
    // The help window open now, or nullptr.
    static CHelpWindow* current();

    // Shows the page and brings the window to the front; false when the page is missing.
    bool showPage(const QUrl& url);
    QTextBrowser* browser() const { return browser_; }

private:
    void showContents();

    QTextBrowser* browser_;
    QToolButton* back_;
    QToolButton* forward_;
};

}  // namespace pcn::gui
