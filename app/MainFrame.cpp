#include "app/MainFrame.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

#include "app/CommandShortcuts.h"
#include "app/FramePlacement.h"
#include "app/LockIndicators.h"
#include "app/RecentPlaylists.h"
#include "app/ToolbarImages.h"
#include "session/Command.h"
#include "ui/ViewInput.h"
#include "ui/qt/ClientEdge.h"
#include "ui/qt/StudioViewWidget.h"

namespace wc {

namespace {
constexpr const char* kIdleMessage = "Ready";
constexpr const char* kLockTexts[3] = {"CAP", "NUM", "SCRL"};
constexpr const char* kRecentMenuText = "&Recent Playlists";
constexpr const char* kNoRecentText = "(No recent playlists)";
constexpr const char* kRecentMenuPrompt = "Open a playlist used lately";
// Polling the X server on every idle pass would be a round trip per 5 ms tick.
constexpr qint64 kLockPollMs = 100;
}  // namespace

CMainFrame::CMainFrame(CommandTarget* application) : application_(application) {
  setObjectName(QStringLiteral("CMainFrame"));
  setWindowTitle(QStringLiteral("Wavecrate"));
  // The bars carry no context menu of their own.
  setContextMenuPolicy(Qt::NoContextMenu);
  setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);

  createStatusBar();
  createActions();
  createMenus();
  createToolBar();

  view_ = new StudioViewWidget;
  view_->setObjectName(QStringLiteral("StudioView"));
  setCentralWidget(wrapInClientEdge(view_));
  // Focus given to the frame ends up in the view.
  setFocusProxy(view_);
  // The title follows the view's notices, never a poll.
  connect(view_, &StudioViewWidget::playlistStatus, this, &CMainFrame::showPlaylistStatus);
  connect(view_, &StudioViewWidget::playlistUsed, this, &CMainFrame::rememberPlaylist);
  // A job's result stays in the message pane until a prompt or "Ready"
  // replaces it.
  connect(view_, &StudioViewWidget::statusMessage, this, &CMainFrame::setMessage);
  setAcceptDrops(true);

  // Deferred: the view reports changes from inside its own work (a playlist
  // being freed, a track being started), where its state is not whole yet.
  connect(view_, &StudioViewWidget::commandStatesOutdated, this, &CMainFrame::scheduleCommandStateUpdate);
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this, &CMainFrame::onIdle);
  lockPoll_.start();
  updateLockIndicators();
  updateCommandStates();
}

CMainFrame::~CMainFrame() {
  // The view goes first, while the bars still exist.
  delete view_;
}

void CMainFrame::createActions() {
  for (const CommandInfo& info : commandTable()) {
    if (info.id == kSeparator || (info.menu == MenuName::None && info.toolbarImage == kNoImage)) continue;
    auto* action = new QAction(QString::fromLatin1(info.menuText), this);
    action->setData(int(info.id));
    action->setStatusTip(QString::fromStdString(promptStatusText(info.prompt)));
    const std::string tip = promptTooltip(info.prompt);
    if (!tip.empty()) action->setToolTip(QString::fromStdString(tip));
    if (info.toolbarImage != kNoImage) {
      action->setIcon(QIcon(toolbarImage(info.toolbarImage)));
      action->setIconVisibleInMenu(false);
    }
    action->setCheckable(info.id == Command::ViewToolbar || info.id == Command::ViewStatusBar);
    action->setShortcut(menuShortcut(info.id));
    const Command id = info.id;
    // Run after the menu has closed and its pixels are repainted: long
    // commands keep the event loop from running.
    connect(action, &QAction::triggered, this,
            [this, id] { QTimer::singleShot(0, this, [this, id] { executeCommand(id); }); });
    actions_[id] = action;
  }
}

void CMainFrame::createMenus() {
  menuBar()->setNativeMenuBar(false);
  for (const MenuTitle& title : menuTitles()) {
    QMenu* menu = menuBar()->addMenu(QString::fromLatin1(title.title));
    menus_[title.menu] = menu;
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
    connect(menu, &QMenu::aboutToHide, this, [this] { setMessage(QString()); });
    for (const CommandInfo& info : commandTable()) {
      if (info.menu != title.menu) continue;
      if (info.id == kSeparator)
        menu->addSeparator();
      else
        menu->addAction(actions_.at(info.id));
    }
  }
  // The recent playlists sit below Open..., refreshed whenever they show.
  recentMenu_ = new QMenu(QString::fromLatin1(kRecentMenuText), this);
  recentMenu_->menuAction()->setStatusTip(QString::fromLatin1(kRecentMenuPrompt));
  menus_.at(MenuName::File)->insertMenu(actions_.at(Command::FileSave), recentMenu_);
  connect(recentMenu_, &QMenu::aboutToShow, this, &CMainFrame::rebuildRecentMenu);
  rebuildRecentMenu();
}

void CMainFrame::useRecentSettings(QSettings& settings) {
  recent_ = std::make_unique<RecentPlaylists>(settings);
  rebuildRecentMenu();
}

void CMainFrame::rebuildRecentMenu() {
  recentMenu_->clear();
  const QStringList paths = recent_ ? recent_->entries() : QStringList();
  if (paths.isEmpty()) {
    recentMenu_->addAction(QString::fromLatin1(kNoRecentText))->setEnabled(false);
    return;
  }
  for (qsizetype i = 0; i < paths.size(); ++i) {
    const QString& path = paths[i];
    QString name = QFileInfo(path).fileName();
    name.replace(QLatin1Char('&'), QLatin1String("&&"));
    QAction* entry = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
    entry->setStatusTip(path);
    entry->setData(path);
    // Run once the menu has closed, as the commands are.
    connect(entry, &QAction::triggered, this,
            [this, path] { QTimer::singleShot(0, this, [this, path] { openPlaylistFile(path); }); });
  }
}

void CMainFrame::rememberPlaylist(const QString& path) {
  if (!recent_) return;
  recent_->add(path);
  rebuildRecentMenu();
}

void CMainFrame::openPlaylistFile(const QString& path) {
  if (ViewClient* client = view_->client()) client->openPlaylist(path.toStdString(), true);
  if (recent_ && !QFileInfo(path).isFile()) {
    recent_->remove(path);
    rebuildRecentMenu();
  }
}

void CMainFrame::showPlaylistStatus(const QString& path, bool modified) {
  setWindowTitle(QString::fromStdString(windowTitleFor(path.toStdString(), modified)));
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData() && !droppedPlaylistPath(*event->mimeData()).isEmpty())
    event->acceptProposedAction();
  else
    event->ignore();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QString path = event->mimeData() ? droppedPlaylistPath(*event->mimeData()) : QString();
  if (path.isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  // The unsaved-changes question is modal: ask it after the drop has ended,
  // not while the file manager waits for the drop's answer.
  QTimer::singleShot(0, this, [this, path] { openPlaylistFile(path); });
}

void CMainFrame::createToolBar() {
  toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
  toolBar_->setObjectName(QStringLiteral("Toolbar"));
  toolBar_->setIconSize(QSize(kToolbarImageWidth, kToolbarImageHeight));
  toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolBar_->setMovable(true);
  toolBar_->setFloatable(true);
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  for (Command id : toolbarLayout()) {
    if (id == kSeparator)
      toolBar_->addSeparator();
    else
      toolBar_->addAction(actions_.at(id));
  }
  addToolBar(Qt::TopToolBarArea, toolBar_);
}

void CMainFrame::createStatusBar() {
  statusBar_ = new QStatusBar(this);
  setStatusBar(statusBar_);
  messagePane_ = new QLabel(QString::fromLatin1(kIdleMessage));
  statusBar_->addWidget(messagePane_, 1);
  for (int pane = 0; pane < 3; ++pane) {
    auto* label = new QLabel;
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    // A pane keeps its width while its lock is off and its text blank.
    label->setFixedWidth(label->fontMetrics().horizontalAdvance(QString::fromLatin1(kLockTexts[pane])) + 8);
    statusBar_->addPermanentWidget(label);
    lockPanes_[pane] = label;
  }
}

void CMainFrame::placeOnDesktop(QRect screen) {
  // Before the first show, and without a window manager, there are no
  // decorations: frame and client area coincide. move() places the frame.
  const QRect outer = frameGeometry();
  const QRect inner = geometry();
  const FrameMargins margins{inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                             outer.bottom() - inner.bottom()};
  const WindowRequest r = windowRequestFor({screen.x(), screen.y(), screen.width(), screen.height()}, margins);
  move(r.frameX, r.frameY);
  resize(r.clientWidth, r.clientHeight);
}

QMenu* CMainFrame::menu(MenuName name) const {
  auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second;
}

QAction* CMainFrame::action(Command id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

std::optional<CommandState> CMainFrame::frameCommandState(Command id) const {
  switch (id) {
    case Command::AppExit: return CommandState{true, false};
    case Command::ViewToolbar: return CommandState{true, !toolBar_->isHidden()};
    case Command::ViewStatusBar: return CommandState{true, !statusBar_->isHidden()};
    default: return std::nullopt;
  }
}

bool CMainFrame::frameCommand(Command id) {
  switch (id) {
    case Command::AppExit: close(); return true;
    case Command::ViewToolbar: toolBar_->setVisible(toolBar_->isHidden()); return true;
    case Command::ViewStatusBar: statusBar_->setVisible(statusBar_->isHidden()); return true;
    default: return false;
  }
}

CommandState CMainFrame::commandState(Command id) const {
  if (ViewClient* client = view_->client())
    if (auto state = client->commandState(id)) return *state;
  const CommandInfo* info = findCommand(id);
  std::optional<CommandState> state;
  if (info && info->handler == CommandHandler::Frame) state = frameCommandState(id);
  if (info && info->handler == CommandHandler::App && application_) state = application_->commandState(id);
  // A command nobody handles is disabled.
  return state.value_or(CommandState{false, false});
}

bool CMainFrame::executeCommand(Command id) {
  // A disabled command is not run, even if it was triggered before its item
  // was greyed.
  if (!commandState(id).enabled) return false;
  const bool handled = routeCommand(id);
  // Whatever the command changed shows at once on the toolbar.
  updateCommandStates();
  return handled;
}

bool CMainFrame::routeCommand(Command id) {
  if (ViewClient* client = view_->client())
    if (client->onCommand(id)) return true;
  const CommandInfo* info = findCommand(id);
  if (!info) return false;
  if (info->handler == CommandHandler::Frame) return frameCommand(id);
  if (info->handler == CommandHandler::App && application_) return application_->onCommand(id);
  return false;
}

void CMainFrame::updateCommandStates() {
  for (auto& [id, action] : actions_) {
    const CommandState state = commandState(id);
    action->setEnabled(state.enabled);
    // "Undo Pad": the item says what it would act on.
    if (const CommandInfo* info = findCommand(id); info && info->menu != MenuName::None) {
      QString text = QString::fromLatin1(info->menuText);
      if (!state.detail.empty()) text += QLatin1Char(' ') + QString::fromStdString(state.detail);
      if (action->text() != text) action->setText(text);
    }
    if (state.checked && !action->isCheckable()) action->setCheckable(true);
    if (action->isCheckable()) action->setChecked(state.checked);
  }
  emit commandStatesUpdated();
}

void CMainFrame::scheduleCommandStateUpdate() {
  if (stateUpdatePending_) return;
  stateUpdatePending_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        stateUpdatePending_ = false;
        updateCommandStates();
      },
      Qt::QueuedConnection);
}

void CMainFrame::onIdle() {
  if (lockPoll_.elapsed() >= kLockPollMs) {
    lockPoll_.restart();
    updateLockIndicators();
  }
}

void CMainFrame::updateLockIndicators() {
  const LockState locks = lockReader_.read().value_or(LockState{});
  const bool on[3] = {locks.caps, locks.num, locks.scroll};
  for (int pane = 0; pane < 3; ++pane)
    lockPanes_[pane]->setText(on[pane] ? QString::fromLatin1(kLockTexts[pane]) : QString());
}

QString CMainFrame::messageText() const { return messagePane_->text(); }

QString CMainFrame::indicatorText(int pane) const {
  return pane >= 0 && pane < 3 ? lockPanes_[pane]->text() : QString();
}

void CMainFrame::setMessage(const QString& text) {
  messagePane_->setText(text.isEmpty() ? QString::fromLatin1(kIdleMessage) : text);
}

bool CMainFrame::event(QEvent* event) {
  // Prompts go to the message pane itself instead of a temporary message,
  // so the pane shows either a prompt or "Ready".
  if (event->type() == QEvent::StatusTip) {
    setMessage(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  ViewClient* client = view_->client();
  if (client && !client->queryClose()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

}  // namespace wc
