#pragma once
// The view's window: hosts a ViewClient (the StudioView through its adapter),
// gives it a QtDrawSurface in every paint pass, forwards the left mouse button
// (and the right button's release) and implements ViewHost for it. The view paints every pixel, so the widget
// never erases its background.
#include <QWidget>
#include <memory>
#include <optional>

class QSettings;

#include "session/SessionPrompts.h"
#include "ui/ViewServices.h"
#include "ui/qt/ViewClient.h"

namespace wc {

class QtViewDialogs;

class StudioViewWidget final : public QWidget, public ViewHost {
  Q_OBJECT

 public:
  explicit StudioViewWidget(QWidget* parent = nullptr);
  ~StudioViewWidget() override;

  // The widget owns its client and destroys it before itself, so the view can
  // still reach its host while it is torn down.
  void setClient(std::unique_ptr<ViewClient> client);
  ViewClient* client() const { return client_.get(); }
  // Dialogs parented to this window, for the view to use.
  SessionPrompts& dialogs();
  // Where those dialogs keep their choices for the next run.
  void useSettings(QSettings* settings);

  // The transport display's rectangle at the current width.
  QRect transportRect() const;

  // ViewHost
  int clientWidth() const override { return width(); }
  int clientHeight() const override { return height(); }
  void invalidate() override { update(); }
  void repaintAll() override { repaint(); }
  void repaintTransport(bool clear) override;
  void repaintRect(int x, int y, int w, int h) override { repaint(QRect(x, y, w, h)); }
  void captureMouse() override;
  void releaseMouse() override;
  void commandStatesChanged() override { emit commandStatesOutdated(); }

  void playlistStatusChanged(const std::string& path, bool modified) override {
    emit playlistStatus(QString::fromStdString(path), modified);
  }
  void playlistFileUsed(const std::string& path) override { emit playlistUsed(QString::fromStdString(path)); }
  void showStatusMessage(const std::string& text) override { emit statusMessage(QString::fromStdString(text)); }

 signals:
  // The view's command states may have changed (ViewHost::commandStatesChanged).
  void commandStatesOutdated();
  // The playlist's file (empty: none) or its mark of unsaved changes changed.
  void playlistStatus(const QString& path, bool modified);
  // The playlist was opened from or saved to `path`.
  void playlistUsed(const QString& path);
  // A line for the status bar (ViewHost::showStatusMessage).
  void statusMessage(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::unique_ptr<QtViewDialogs> dialogs_;
  std::unique_ptr<ViewClient> client_;
  // Set by repaintTransport for the one paint pass it causes.
  std::optional<bool> pendingTransportClear_;
};

}  // namespace wc
