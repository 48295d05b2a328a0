#pragma once
// The main window: menu bar, dockable toolbar and status bar around the one
// view. It builds its menus and toolbar from the command table, routes every
// command to the view first, then to itself (Exit, Toolbar, Status Bar), then
// to the application (Help), and refreshes every command's enabled and
// checked state before a menu opens, after each command and when the view
// says something they depend on changed; never on a timer or an idle pass.
#include <QElapsedTimer>
#include <QMainWindow>
#include <map>
#include <memory>
#include <optional>

#include "app/CommandTable.h"
#include "app/LockIndicators.h"
#include "ui/qt/CommandTarget.h"

class QAction;
class QLabel;
class QMenu;
class QSettings;
class QToolBar;

namespace wc {

class RecentPlaylists;
class StudioViewWidget;

class CMainFrame final : public QMainWindow {
  Q_OBJECT

 public:
  // `application` takes the commands that neither the view nor the frame
  // handles; it must outlive the frame (or be null).
  explicit CMainFrame(CommandTarget* application = nullptr);
  ~CMainFrame() override;

  // The whole window, decorations included as far as they are known yet,
  // 896 x 640 and centred on `screen` (offsets may be negative on a small
  // screen).
  void placeOnDesktop(QRect screen);
  // The same on a screen of the given size at the desktop's origin.
  void placeOnDesktop(QSize desktop) { placeOnDesktop(QRect(QPoint(0, 0), desktop)); }

  StudioViewWidget& view() const { return *view_; }
  QToolBar* toolBar() const { return toolBar_; }
  QStatusBar* statusBarWidget() const { return statusBar_; }
  QMenu* menu(MenuName name) const;
  // The action of a command that has a menu item or toolbar button, else null.
  QAction* action(Command id) const;

  // File's "Recent Playlists" submenu keeps its list in `settings`, which
  // must outlive the frame. Without it the submenu stays empty.
  void useRecentSettings(QSettings& settings);
  QMenu* recentMenu() const { return recentMenu_; }
  // Refills the submenu from the settings, leaving out missing files.
  void rebuildRecentMenu();
  // Opens a playlist as Open does once its dialog is done, asking first about
  // unsaved changes; a file that has gone also leaves the recent list.
  void openPlaylistFile(const QString& path);

  // Routes `id` like a menu choice: refused (false) when no target enables
  // it, else run by the first target that handles it.
  bool executeCommand(Command id);
  // The state the first handling target reports; disabled when none does.
  CommandState commandState(Command id) const;
  // Applies commandState to every action, then tells commandStatesUpdated.
  void updateCommandStates();
  // Runs updateCommandStates once the current event has been handled; any
  // number of calls before then cost one update.
  void scheduleCommandStateUpdate();

  // The message pane: "Ready", or the prompt of what is under the mouse.
  QString messageText() const;
  QString indicatorText(int pane) const;  // 0 CAP, 1 NUM, 2 SCRL
  void updateLockIndicators();

 signals:
  // The actions have just been brought up to date: whatever else shows the
  // playback state (the desktop's media controls) looks again now.
  void commandStatesUpdated();

 protected:
  bool event(QEvent* event) override;
  // The view may keep the window open (unsaved clip annotations).
  void closeEvent(QCloseEvent* event) override;
  // A playlist file dragged from the file manager opens like Open.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void createActions();
  void createMenus();
  void createToolBar();
  void createStatusBar();
  void onIdle();
  void setMessage(const QString& text);
  void showPlaylistStatus(const QString& path, bool modified);
  void rememberPlaylist(const QString& path);
  std::optional<CommandState> frameCommandState(Command id) const;
  bool frameCommand(Command id);
  // The first target that handles `id` runs it.
  bool routeCommand(Command id);

  CommandTarget* application_;
  StudioViewWidget* view_;
  QToolBar* toolBar_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  QLabel* messagePane_ = nullptr;
  QLabel* lockPanes_[3] = {};
  std::map<Command, QAction*> actions_;
  std::map<MenuName, QMenu*> menus_;
  QMenu* recentMenu_ = nullptr;
  std::unique_ptr<RecentPlaylists> recent_;
  QElapsedTimer lockPoll_;
  LockStateReader lockReader_;
  bool stateUpdatePending_ = false;
};

}  // namespace wc
