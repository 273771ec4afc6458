#pragma once
// Dialogs that fit: every dialog of the program opens at the size its
// contents ask for (all of a wizard's pages, all of a sheet's tabs), never
// larger than the screen, centred on the window it belongs to, and opens
// again at a size the user gave it. The fitter does this for every dialog of
// the application once installed, so a new dialog needs nothing of its own;
// a dialog that sizes itself sets the property kFitsItself.

#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;
class QWizard;

namespace pcn {
class SettingsStore;
}

namespace pcn::gui {

// Section of the settings store that keeps the sizes users gave dialogs.
inline constexpr const char* kDialogSizesSection = "Settings\\Dialog Sizes";

// The part of the screen the widget (or the screen it would open on) offers windows.
QRect availableArea(const QWidget* widget);

// The widest a message may be: two thirds of the screen.
int messageWidthLimit(const QWidget* widget);

// The text with places to wrap in words too long for a line (paths, long
// names): after each '/' and '\\' and, lacking those, every few characters.
// Shorter words are left as they are.
QString breakableText(const QString& text);

// The rectangle of a window that wants `wanted` (its inner part, without
// the window manager's frame) on a screen offering `area`: no larger than
// the area less room for the frame, and moved inside it.
QRect keptOnScreen(const QRect& wanted, const QRect& area);

// Moves a top-level widget so that its centre is the centre of `over`'s
// window (of the screen when there is none), kept inside the screen.
void centreOn(QWidget* window, const QWidget* over);

// Gives every page the size of the largest, so that the wizard keeps one
// size from its first page to its last.
void equalisePageSizes(QWizard* wizard);

class DialogFitter : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kFitsItself = "pcnFitsItself";

    // Fits the application's dialogs from now on. Sizes users give are kept
    // in `sizes` (nullptr: for this session only); the store must outlive
    // the fitter or be replaced by another install or an uninstall.
    static void install(SettingsStore* sizes);
    static void uninstall();

    // The name a dialog's size is kept under: its object name, else its class.
    static QString sizeKey(const QWidget* dialog);
    // The size a dialog opens at: what its contents ask for (or the size it
    // was given, when larger), or the size the user gave it, never below its
    // minimum nor beyond the screen.
    QSize openingSize(QWidget* dialog) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit DialogFitter(QObject* parent) : QObject(parent) {}
    void fit(QWidget* dialog);
    void noteClosed(QWidget* dialog);
    static void logFitted(const QWidget* dialog);
    QSize rememberedSize(const QString& key) const;
    void remember(const QString& key, QSize size);

    SettingsStore* sizes_ = nullptr;
};

}  // namespace pcn::gui
