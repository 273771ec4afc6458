#include "platform/gui/DialogFit.h"

#include <QApplication>

#include <algorithm>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QScreen>
#include <QWizard>

#include "platform/SettingsStore.h"

namespace pcn::gui {
namespace {

constexpr const char* kFittedSize = "pcnFittedSize";
// Room for the window manager's title bar and borders, before the window has them.
const QSize kFrameAllowance(16, 48);

QPointer<DialogFitter>& installed() {
    static QPointer<DialogFitter> fitter;
    return fitter;
}

// Sizes given in this session, for a fitter without a settings store.
QHash<QString, QSize>& sessionSizes() {
    static QHash<QString, QSize> sizes;
    return sizes;
}

bool isFittedHere(const QWidget* widget) {
    const auto* dialog = qobject_cast<const QDialog*>(widget);
    if (!dialog || !dialog->isWindow()) return false;
    // Message boxes, file dialogs and progress dialogs lay themselves out.
    if (qobject_cast<const QMessageBox*>(dialog) || qobject_cast<const QFileDialog*>(dialog) ||
        qobject_cast<const QProgressDialog*>(dialog))
        return false;
    return !dialog->property(DialogFitter::kFitsItself).toBool();
}

// A word longer than this may be wrapped inside.
constexpr int kLongWord = 40;
constexpr QChar kZeroWidthSpace(0x200B);

}  // namespace

QString breakableText(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype wordStart = 0;
    while (wordStart < text.size()) {
        qsizetype wordEnd = wordStart;
        while (wordEnd < text.size() && !text[wordEnd].isSpace()) ++wordEnd;
        const QStringView word = QStringView(text).mid(wordStart, wordEnd - wordStart);
        if (word.size() <= kLongWord) {
            out += word;
        } else {
            int sinceBreak = 0;
            for (qsizetype i = 0; i < word.size(); ++i) {
                out += word[i];
                ++sinceBreak;
                const bool separator = word[i] == '/' || word[i] == '\\';
                if (i + 1 < word.size() && (separator || sinceBreak >= kLongWord)) {
                    out += kZeroWidthSpace;
                    sinceBreak = 0;
                }
            }
        }
        while (wordEnd < text.size() && text[wordEnd].isSpace()) out += text[wordEnd++];
        wordStart = wordEnd;
    }
    return out;
}

QRect availableArea(const QWidget* widget) {
    QScreen* screen = nullptr;
    if (widget) {
        const QWidget* window = widget->parentWidget() ? widget->parentWidget()->window() : widget->window();
        screen = window->screen();
    }
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1280, 900);
}

int messageWidthLimit(const QWidget* widget) { return availableArea(widget).width() * 2 / 3; }

QRect keptOnScreen(const QRect& wanted, const QRect& area) {
    const QRect inner(area.topLeft() + QPoint(kFrameAllowance.width() / 2, kFrameAllowance.height() - 8),
                      area.size() - kFrameAllowance);
    QRect rect(wanted.topLeft(), wanted.size().boundedTo(inner.size()));
    rect.moveLeft(std::clamp(rect.left(), inner.left(), inner.right() + 1 - rect.width()));
    rect.moveTop(std::clamp(rect.top(), inner.top(), inner.bottom() + 1 - rect.height()));
    return rect;
}

void centreOn(QWidget* window, const QWidget* over) {
    const QRect area = availableArea(window);
    const QRect target = over && over->window()->isVisible() ? over->window()->frameGeometry() : area;
    QRect frame = window->frameGeometry();
    frame.moveCenter(target.center());
    // Keep the title bar and the buttons on the screen.
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    window->move(frame.topLeft());
}

void equalisePageSizes(QWizard* wizard) {
    QSize largest(0, 0);
    for (int id : wizard->pageIds())
        if (QWidget* page = wizard->page(id))
            largest = largest.expandedTo(page->sizeHint()).expandedTo(page->minimumSizeHint());
    for (int id : wizard->pageIds())
        if (QWidget* page = wizard->page(id)) page->setMinimumSize(largest);
}

void DialogFitter::install(SettingsStore* sizes) {
    QPointer<DialogFitter>& fitter = installed();
    if (!fitter) {
        fitter = new DialogFitter(qApp);
        qApp->installEventFilter(fitter);
    }
    fitter->sizes_ = sizes;
}

void DialogFitter::uninstall() {
    if (QPointer<DialogFitter>& fitter = installed()) {
        qApp->removeEventFilter(fitter);
        delete fitter.data();
    }
    sessionSizes().clear();
}

QString DialogFitter::sizeKey(const QWidget* dialog) {
    return dialog->objectName().isEmpty() ? QString::fromLatin1(dialog->metaObject()->className())
                                          : dialog->objectName();
}

QSize DialogFitter::openingSize(QWidget* dialog) const {
    const QSize minimum = dialog->minimumSizeHint().expandedTo(dialog->minimumSize());
    // A size the dialog was given before it opened is kept when larger.
    QSize size = rememberedSize(sizeKey(dialog));
    if (!size.isValid()) size = dialog->sizeHint().expandedTo(dialog->size());
    size = size.expandedTo(minimum);
    return size.boundedTo(availableArea(dialog).size() - kFrameAllowance);
}

bool DialogFitter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && isFittedHere(widget) && !event->spontaneous()) {
            if (event->type() == QEvent::Show && !widget->property(kFittedSize).isValid())
                fit(widget);
            else if (event->type() == QEvent::Hide)
                noteClosed(widget);
        }
    }
    return QObject::eventFilter(watched, event);
}

void DialogFitter::fit(QWidget* dialog) {
    if (auto* wizard = qobject_cast<QWizard*>(dialog)) equalisePageSizes(wizard);
    const QSize size = openingSize(dialog);
    dialog->resize(size);
    dialog->setProperty(kFittedSize, size);
    centreOn(dialog, dialog->parentWidget());
    logFitted(dialog);
}

// For the GUI check script: what each dialog's contents asked for, to hold
// against the window the window manager shows.
void DialogFitter::logFitted(const QWidget* dialog) {
    const QString log = qEnvironmentVariable("PCN_DIALOG_LOG");
    if (log.isEmpty()) return;
    QFile file(log);
    if (!file.open(QIODevice::Append | QIODevice::Text)) return;
    const QSize hint = dialog->sizeHint().expandedTo(dialog->minimumSizeHint());
    file.write(QString("%1 %2 %3 %4\n")
                   .arg(hint.width())
                   .arg(hint.height())
                   .arg(sizeKey(dialog), dialog->windowTitle())
                   .toUtf8());
}

// A dialog that closes at another size than it opened with was sized by the user.
void DialogFitter::noteClosed(QWidget* dialog) {
    const QVariant fitted = dialog->property(kFittedSize);
    if (fitted.isValid() && fitted.toSize() != dialog->size()) remember(sizeKey(dialog), dialog->size());
}

QSize DialogFitter::rememberedSize(const QString& key) const {
    if (!sizes_) return sessionSizes().value(key);
    const QString text = QString::fromStdString(sizes_->readString(kDialogSizesSection, key.toStdString(), ""));
    const QStringList parts = text.split(' ', Qt::SkipEmptyParts);
    if (parts.size() != 2) return {};
    bool wideOk = false, highOk = false;
    const QSize size(parts[0].toInt(&wideOk), parts[1].toInt(&highOk));
    return wideOk && highOk && size.width() > 0 && size.height() > 0 ? size : QSize();
}

void DialogFitter::remember(const QString& key, QSize size) {
    if (!sizes_) {
        sessionSizes().insert(key, size);
        return;
    }
    sizes_->writeString(kDialogSizesSection, key.toStdString(),
                        QString("%1 %2").arg(size.width()).arg(size.height()).toStdString());
}

}  // namespace pcn::gui
