#include "app/gui/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QDesktopServices>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "app/gui/HelpTopic.h"
#include "app/gui/PcnImages.h"
#include "platform/SettingsStore.h"
#include "platform/gui/DialogFit.h"

namespace pcn::gui {
namespace {

constexpr std::string_view kGeneralSection = "Settings\\General";
constexpr std::string_view kSettingsSection = "Settings";
constexpr std::string_view kListSection = "Settings\\List";
constexpr std::string_view kRecentSection = "Recent File List";
constexpr std::string_view kToolBarSection = "Standard Tool Bars";

constexpr int kSplitStep = 8;
constexpr int kMinimumRestoredSide = 100;

QString withoutHotKey(const char* text) {
    QString s = QString::fromUtf8(text);
    s = s.section('\t', 0, 0);
    s.remove('&');
    if (s.endsWith("....")) s.chop(4);
    else if (s.endsWith("...")) s.chop(3);
    return s;
}

// The menu text of a recent file: its number as hot key and the path, home shown as "~".
QString recentFileText(int index, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    const QString home = QDir::homePath();
    if (!home.isEmpty() && shown.startsWith(home + '/')) shown = "~" + shown.mid(home.size());
    shown.replace('&', "&&");
    return QString("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace

CMainFrame::CMainFrame(SettingsStore& settings, QWidget* parent) : QMainWindow(parent), settings_(settings) {
    setObjectName("PCNMainWndClass");
    setWindowTitle(kAppTitle);
    setWindowIcon(pcnImage(kImageCabinet));
    resize(960, 640);
    fitFirstSize();

    restorePlacement();
    createActions();
    createMenus();
    createToolBar();
    createAccelerators();

    statusBar_ = new CProgressStatusBar(settings_.readInt(kGeneralSection, "Display Date and Time", 1) != 0, this);
    setStatusBar(statusBar_);
    restoreToolBarState();

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName("splitter");
    splitter_->setChildrenCollapsible(false);
    setCentralWidget(splitter_);

    setAcceptDrops(true);
    qApp->installEventFilter(this);
    updateCommandUi();
}

CMainFrame::~CMainFrame() { qApp->removeEventFilter(this); }

// ---- commands ---------------------------------------------------------------

void CMainFrame::createActions() {
    for (const CommandInfo& info : commandTable()) {
        auto* action = new QAction(QString::fromUtf8(info.text), this);
        action->setObjectName(info.objectName);
        action->setData(info.id);
        action->setStatusTip(info.prompt);
        action->setToolTip(withoutHotKey(info.text));
        action->setIconText(withoutHotKey(info.text));
        if (info.icon) action->setIcon(commandIcon(info.icon));
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_[id].push_back(action);
    }
    action(ID_HELP)->setText("Help");
    action(ID_CONTEXT_HELP)->setText("Help");

    // Commands the frame carries out itself.
    QAction* toolbar = action(ID_VIEW_TOOLBAR);
    toolbar->setCheckable(true);
    QAction* status = action(ID_VIEW_STATUS_BAR);
    status->setCheckable(true);
    setCommandHandler(ID_VIEW_TOOLBAR, [this] { toolBar_->setVisible(!toolBar_->isVisible()); });
    setCommandHandler(ID_VIEW_STATUS_BAR, [this] { statusBar_->setVisible(!statusBar_->isVisible()); });
    setCommandHandler(ID_WINDOW_SPLIT, [this] { startKeyboardSplit(); });
    setCommandHandler(ID_APP_EXIT, [this] { close(); });
    auto help = [] { showHelpTopic(kDefaultHelpTopic); };
    setCommandHandler(ID_HELP_FINDER, help);
    setCommandHandler(ID_HELP, help);
    setCommandHandler(ID_CONTEXT_HELP, help);
    setCommandHandler(ID_HELP_TARNWICK, [] { QDesktopServices::openUrl(QUrl(kMakerWebSite)); });
}

QAction* CMainFrame::action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() || it->second.empty() ? nullptr : it->second.front();
}

void CMainFrame::setCommandHandler(int id, std::function<void()> run, std::function<bool()> enabled,
                                   std::function<QString()> whyDisabled) {
    handlers_[id] = Handler{std::move(run), std::move(enabled), std::move(whyDisabled)};
    updateCommandUi();
}

void CMainFrame::runCommand(int id) {
    auto it = handlers_.find(id);
    if (it == handlers_.end()) return;
    // Copy: the command may replace its own handler.
    Handler handler = it->second;
    if (handler.enabled && !handler.enabled()) return;
    handler.run();
    updateCommandUi();
}

// A greyed command says in its status tip why it cannot be used now.
void CMainFrame::updateCommandUi() {
    for (auto& [id, list] : actions_) {
        auto it = handlers_.find(id);
        const bool enabled = it != handlers_.end() && (!it->second.enabled || it->second.enabled());
        QString tip = findCommand(id) ? QString::fromUtf8(findCommand(id)->prompt) : QString();
        if (!enabled && it != handlers_.end() && it->second.whyDisabled) {
            const QString why = it->second.whyDisabled();
            if (!why.isEmpty()) tip = why;
        }
        for (QAction* a : list) {
            a->setEnabled(enabled);
            if (!tip.isEmpty()) a->setStatusTip(tip);
        }
    }
    if (toolBar_) action(ID_VIEW_TOOLBAR)->setChecked(toolBar_->isVisible());
    if (statusBar_) action(ID_VIEW_STATUS_BAR)->setChecked(statusBar_->isVisible());
}

// ---- menus, toolbar, accelerators ---------------------------------------------

void CMainFrame::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("mainMenu");
    auto addMenu = [&](const char* title, const char* name, std::initializer_list<int> ids) {
        QMenu* menu = bar->addMenu(title);
        menu->setObjectName(name);
        for (int id : ids) {
            if (id == 0) menu->addSeparator();
            else menu->addAction(action(id));
        }
        connectMenuHelp(menu);
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandUi);
        menus_.push_back(menu);
        return menu;
    };
    fileMenu_ = addMenu("&File", "fileMenu",
                        {ID_FILE_NEW, ID_FILE_OPEN, 0, ID_FILE_NEW_PACKAGE, ID_FILE_OPEN_PACKAGE, 0, ID_FILE_SAVE,
                         ID_FILE_SAVE_AS, 0, ID_FILE_SAVE_PACKAGE, ID_FILE_SAVE_PACKAGE_AS, 0, ID_FILE_NEW_WEB_PACKAGE, 0,
                         ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, 0, ID_FILE_EXPORT});
    recentSeparator_ = fileMenu_->addSeparator();
    fileMenu_->addSeparator();
    fileMenu_->addAction(action(ID_APP_EXIT));
    addMenu("&Edit", "editMenu", {ID_EDIT_UNDO, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0, ID_EDIT_REMOVE});
    addMenu("&Project", "projectMenu",
            {ID_PROJECT_REBUILD, ID_PROJECT_OPEN_OUTPUT, 0, ID_PROJECT_SEND_FTP, ID_FILE_SEND_MAIL, 0,
             ID_PROJECT_CONTENTS, ID_PROJECT_PROPERTIES});
    addMenu("&Signature", "signatureMenu", {ID_SIGN_FILE, ID_CHECK_TRUST});
    addMenu("&Component", "componentMenu",
            {ID_COMPONENT_REGISTER, ID_COMPONENT_UNREGISTER, 0, ID_COMPONENT_CREATE_LPK, ID_COMPONENT_HTML_TEMPLATE});
    addMenu("&View", "viewMenu",
            {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, 0, ID_WINDOW_SPLIT, 0, ID_VIEW_EXPAND_ALL, ID_VIEW_COLLAPSE, 0,
             ID_VIEW_OPTIONS});
    addMenu("&Help", "helpMenu", {ID_HELP_FINDER, 0, ID_HELP_TARNWICK, 0, ID_APP_ABOUT});

    loadRecentFiles();
    rebuildRecentFileMenu();
}

void CMainFrame::createToolBar() {
    toolBar_ = new QToolBar("Standard Tool Bar", this);
    toolBar_->setObjectName("standardToolBar");
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setIconSize(QSize(kImageSize, kImageSize));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (int id : std::initializer_list<int>{ID_FILE_NEW, ID_FILE_NEW_PACKAGE, ID_FILE_NEW_WEB_PACKAGE, 0, ID_PROJECT_SEND_FTP,
                   ID_FILE_SEND_MAIL, 0, ID_PROJECT_REBUILD, ID_PROJECT_PROPERTIES, 0, ID_SIGN_FILE, ID_CHECK_TRUST, 0,
                   ID_FILE_SAVE_PACKAGE, ID_FILE_SAVE, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0, ID_FILE_PRINT,
                   ID_FILE_PRINT_PREVIEW, 0, ID_APP_ABOUT, ID_CONTEXT_HELP}) {
        if (id == 0) toolBar_->addSeparator();
        else toolBar_->addAction(action(id));
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
    connect(toolBar_, &QToolBar::visibilityChanged, this, &CMainFrame::updateCommandUi);
}

void CMainFrame::createAccelerators() {
    auto keys = [this](int id, std::initializer_list<QKeySequence> sequences) {
        action(id)->setShortcuts(QList<QKeySequence>(sequences));
        action(id)->setShortcutContext(Qt::WindowShortcut);
    };
    keys(ID_EDIT_COPY, {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    keys(ID_FILE_NEW_PACKAGE, {QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_Insert)});
    keys(ID_FILE_OPEN, {QKeySequence(Qt::CTRL | Qt::Key_O)});
    keys(ID_FILE_PRINT, {QKeySequence(Qt::CTRL | Qt::Key_P)});
    keys(ID_FILE_SAVE, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    keys(ID_EDIT_PASTE, {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    keys(ID_EDIT_UNDO, {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    keys(ID_EDIT_CUT, {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::Key_Delete),
                       QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    keys(ID_APP_EXIT, {QKeySequence(Qt::CTRL | Qt::Key_Q)});
    keys(ID_PROJECT_REBUILD, {QKeySequence(Qt::Key_F5)});
    keys(ID_HELP, {QKeySequence(Qt::Key_F1)});
    keys(ID_CONTEXT_HELP, {QKeySequence(Qt::SHIFT | Qt::Key_F1)});
    // Not in any menu: the window itself carries them.
    addAction(action(ID_HELP));
    addAction(action(ID_CONTEXT_HELP));

    auto* next = new QShortcut(QKeySequence(Qt::Key_F6), this);
    next->setObjectName("nextPaneShortcut");
    connect(next, &QShortcut::activated, this, [this] { focusNextPane(true); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
    previous->setObjectName("previousPaneShortcut");
    connect(previous, &QShortcut::activated, this, [this] { focusNextPane(false); });
}

QMenu* CMainFrame::menuByTitle(const QString& title) const {
    for (QMenu* menu : menus_)
        if (menu->title() == title) return menu;
    return nullptr;
}

void CMainFrame::connectMenuHelp(QMenu* menu) {
    connect(menu, &QMenu::aboutToShow, this, [this] { statusBar_->coverPanesForMenuHelp(true); });
    connect(menu, &QMenu::aboutToHide, this, [this] {
        // Moving from one menu to the next hides one and shows the other: only
        // put the panes back once no menu is open.
        QTimer::singleShot(0, this, [this] {
            if (!QApplication::activePopupWidget()) statusBar_->coverPanesForMenuHelp(false);
        });
    });
}

void CMainFrame::applyMailMenuRule(QMenu* fileMenu, QAction* sendAction) {
    const QList<QAction*> items = fileMenu->actions();
    for (QAction* item : items)
        if (item->text() == kMailMenuText) return;
    if (items.isEmpty()) {
        fileMenu->addAction(sendAction);
        return;
    }
    QAction* separator = fileMenu->insertSeparator(items.back());
    fileMenu->insertAction(separator, sendAction);
}

void CMainFrame::applyMailMenuRule() {
    auto* send = new QAction(kMailMenuText, this);
    send->setObjectName("actionSend");
    send->setData(ID_FILE_SEND_MAIL);
    send->setStatusTip(action(ID_FILE_SEND_MAIL)->statusTip());
    connect(send, &QAction::triggered, this, [this] { runCommand(ID_FILE_SEND_MAIL); });
    const int before = static_cast<int>(fileMenu_->actions().size());
    applyMailMenuRule(fileMenu_, send);
    if (fileMenu_->actions().size() == before) {
        delete send;
        return;
    }
    actions_[ID_FILE_SEND_MAIL].push_back(send);
    updateCommandUi();
}

void CMainFrame::removeFromContainer(QWidget* container, QAction* action) {
    const QList<QAction*> items = container->actions();
    const qsizetype at = items.indexOf(action);
    if (at < 0) return;
    container->removeAction(action);
    if (items.size() == 1) return;
    // A missing neighbour at either end counts as a separator.
    const bool before = at == 0 || items[at - 1]->isSeparator();
    const bool after = at + 1 == items.size() || items[at + 1]->isSeparator();
    if (!before || !after) return;
    if (at > 0)
        container->removeAction(items[at - 1]);
    else
        container->removeAction(items[at + 1]);
}

void CMainFrame::removeMailCommand() {
    auto found = actions_.find(ID_FILE_SEND_MAIL);
    if (found == actions_.end()) return;
    for (QAction* action : found->second)
        for (QObject* owner : action->associatedObjects())
            if (auto* container = qobject_cast<QWidget*>(owner)) removeFromContainer(container, action);
    updateCommandUi();
}

// ---- recent files ----------------------------------------------------------------

void CMainFrame::loadRecentFiles() {
    recentFiles_.clear();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const std::string path = settings_.readString(kRecentSection, "File" + std::to_string(i), "");
        if (!path.empty()) recentFiles_ << QString::fromStdString(path);
    }
}

void CMainFrame::saveRecentFiles() {
    for (int i = 0; i < kRecentFileCount; ++i) {
        const std::string name = "File" + std::to_string(i + 1);
        if (i < recentFiles_.size()) settings_.writeString(kRecentSection, name, recentFiles_[i].toStdString());
        else if (settings_.contains(kRecentSection, name)) settings_.removeValue(kRecentSection, name);
    }
}

void CMainFrame::addRecentFile(const QString& path) {
    const QString full = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    recentFiles_.removeAll(full);
    recentFiles_.prepend(full);
    while (recentFiles_.size() > kRecentFileCount) recentFiles_.removeLast();
    saveRecentFiles();
    rebuildRecentFileMenu();
}

void CMainFrame::removeRecentFile(const QString& path) {
    if (recentFiles_.removeAll(path) == 0) return;
    saveRecentFiles();
    rebuildRecentFileMenu();
}

void CMainFrame::rebuildRecentFileMenu() {
    for (QAction* a : recentActions_) {
        fileMenu_->removeAction(a);
        delete a;
    }
    recentActions_.clear();
    // The actions after the separator that starts the list.
    const QList<QAction*> items = fileMenu_->actions();
    QAction* before = items.value(static_cast<int>(items.indexOf(recentSeparator_)) + 1);
    auto add = [&](QAction* a) {
        fileMenu_->insertAction(before, a);
        recentActions_.push_back(a);
    };
    if (recentFiles_.isEmpty()) {
        auto* placeholder = new QAction("Recent File", this);
        placeholder->setObjectName("actionRecentFile");
        placeholder->setEnabled(false);
        add(placeholder);
        return;
    }
    for (int i = 0; i < recentFiles_.size(); ++i) {
        const QString path = recentFiles_[i];
        auto* a = new QAction(recentFileText(i, path), this);
        a->setObjectName(QString("actionRecentFile%1").arg(i + 1));
        a->setData(ID_FILE_MRU_FILE1 + i);
        a->setStatusTip("Open this project");
        connect(a, &QAction::triggered, this, [this, path] {
            if (openRecent_) openRecent_(path);
            updateCommandUi();
        });
        add(a);
    }
}

// ---- title, panes, progress ----------------------------------------------------

void CMainFrame::setDocumentTitle(const QString& title) {
    // "[*]" is where the window shows that the project has unsaved changes.
    setWindowTitle(title.isEmpty() ? QString(kAppTitle) + "[*]" : title + "[*] - " + kAppTitle);
}

void CMainFrame::setPanes(QWidget* left, QWidget* right) {
    while (splitter_->count() > 0) delete splitter_->widget(0);
    splitter_->addWidget(left);
    splitter_->addWidget(right);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitterSized_ = false;
    if (isVisible()) applyInitialSplitterWidth();
}

void CMainFrame::applyInitialSplitterWidth() {
    if (splitterSized_ || splitter_->count() < 2) return;
    splitterSized_ = true;
    const int width = splitter_->width() > 0 ? splitter_->width() : this->width();
    int left = settings_.readInt(kListSection, "Splitter", -1);
    if (left < 0) left = width / 3;
    splitter_->setSizes({left, std::max(1, width - left - splitter_->handleWidth())});
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    applyInitialSplitterWidth();
}

void CMainFrame::focusNextPane(bool forward) {
    if (splitter_->count() < 2) return;
    QWidget* focus = focusWidget();
    int current = -1;
    for (int i = 0; i < splitter_->count(); ++i)
        if (focus && (focus == splitter_->widget(i) || splitter_->widget(i)->isAncestorOf(focus))) current = i;
    const int count = splitter_->count();
    const int next = current < 0 ? 0 : (current + (forward ? 1 : count - 1)) % count;
    splitter_->widget(next)->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::setProgress(int value) {
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, "setProgress", Qt::BlockingQueuedConnection, Q_ARG(int, value));
        return;
    }
    statusBar_->setProgress(value);
}

// ---- placement and state -----------------------------------------------------------

void CMainFrame::restorePlacement() {
    const std::string stored = settings_.readString(kSettingsSection, "Window Position", "*");
    const std::optional<WindowPlacement> placement = parseWindowPlacement(stored);
    if (!placement) return;
    // A maximised or minimised window comes back as a normal one; a rectangle
    // that is too small or lies on no screen is not worth restoring.
    const QRect rect(placement->left, placement->top, placement->width(), placement->height());
    if (rect.width() < kMinimumRestoredSide || rect.height() < kMinimumRestoredSide) return;
    bool onScreen = QGuiApplication::screens().isEmpty();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(rect)) onScreen = true;
    if (!onScreen) return;
    // A placement stored on a larger screen, or at a smaller scale, keeps
    // its title bar and its buttons in view here.
    setGeometry(keptOnScreen(rect, availableArea(this)));
}

// The first start's size, within a small or strongly scaled screen; the
// window manager places it.
void CMainFrame::fitFirstSize() {
    resize(keptOnScreen(QRect(QPoint(), size()), availableArea(this)).size());
}

WindowPlacement CMainFrame::currentPlacement() const {
    WindowPlacement p;
    p.flags = 0;
    p.showCmd = isMaximized() ? kShowMaximized : isMinimized() ? kShowMinimized : kShowNormal;
    const QRect normal = (isMaximized() || isMinimized()) && normalGeometry().isValid() ? normalGeometry() : geometry();
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    return p;
}

void CMainFrame::restoreToolBarState() {
    const std::string state = settings_.readString(kToolBarSection, "State", "");
    if (!state.empty()) restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
    statusBar_->setVisible(settings_.readInt(kToolBarSection, "Status Bar", 1) != 0);
}

void CMainFrame::saveToolBarState() {
    settings_.writeString(kToolBarSection, "State", saveState().toBase64().toStdString());
    settings_.writeInt(kToolBarSection, "Status Bar", statusBar_->isVisible() ? 1 : 0);
}

void CMainFrame::saveWindowState() {
    saveToolBarState();
    const WindowPlacement placement = currentPlacement();
    settings_.writeString(kSettingsSection, "Window Position", formatWindowPlacement(placement));
    settings_.writeInt(kSettingsSection, "Window Maximize", static_cast<int32_t>(placement.showCmd));
    if (splitter_->count() >= 2 && splitterSized_) settings_.writeInt(kListSection, "Splitter", splitter_->sizes()[0]);
    stateSaved_ = true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (splitting_) endKeyboardSplit(true);
    if (canClose_ && !canClose_()) {
        event->ignore();
        return;
    }
    saveWindowState();
    event->accept();
    emit closed();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    emit filesDropped(paths);
}

// ---- status-bar help, lock keys, keyboard split -----------------------------------------

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        statusBar_->setMessage(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        statusBar_->updateLockKeys(key->nativeModifiers(), key->key());
        if (splitting_ && handleSplitKey(key->key())) return true;
    } else if (splitting_ && event->type() == QEvent::MouseButtonPress) {
        endKeyboardSplit(true);
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::startKeyboardSplit() {
    if (splitter_->count() < 2 || splitting_) return;
    splitting_ = true;
    sizesBeforeSplit_ = splitter_->sizes();
    QSplitterHandle* handle = splitter_->handle(1);
    QCursor::setPos(handle->mapToGlobal(handle->rect().center()));
    QApplication::setOverrideCursor(Qt::SplitHCursor);
}

bool CMainFrame::handleSplitKey(int key) {
    QList<int> sizes = splitter_->sizes();
    const int total = sizes[0] + sizes[1];
    switch (key) {
        case Qt::Key_Left: sizes[0] = std::max(0, sizes[0] - kSplitStep); break;
        case Qt::Key_Right: sizes[0] = std::min(total, sizes[0] + kSplitStep); break;
        case Qt::Key_Return:
        case Qt::Key_Enter: endKeyboardSplit(true); return true;
        case Qt::Key_Escape: endKeyboardSplit(false); return true;
        default: return false;
    }
    sizes[1] = total - sizes[0];
    splitter_->setSizes(sizes);
    return true;
}

void CMainFrame::endKeyboardSplit(bool keep) {
    if (!splitting_) return;
    splitting_ = false;
    if (!keep) splitter_->setSizes(sizesBeforeSplit_);
    QApplication::restoreOverrideCursor();
}

}  // namespace pcn::gui
