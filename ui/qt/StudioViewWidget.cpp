#include "ui/qt/StudioViewWidget.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <map>

#include "ui/qt/QtDrawSurface.h"
#include "ui/qt/QtViewDialogs.h"

namespace wc {

namespace {
constexpr int kTransportLeft = 262;
constexpr int kTransportHeight = 32;

QPoint clientPoint(const QMouseEvent* event) { return event->position().toPoint(); }

// The view's own keys, pressed without Ctrl, Alt or Meta (those belong to the
// menus' shortcuts). Holding Space does not toggle playback on every repeat.
std::optional<ViewKey> viewKeyOf(const QKeyEvent* event) {
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
  switch (event->key()) {
    case Qt::Key_Space: return event->isAutoRepeat() ? std::nullopt : std::optional(ViewKey::Space);
    case Qt::Key_PageUp: return ViewKey::PageUp;
    case Qt::Key_PageDown: return ViewKey::PageDown;
    case Qt::Key_Home: return ViewKey::Home;
    case Qt::Key_End: return ViewKey::End;
    case Qt::Key_Up: return ViewKey::Up;
    case Qt::Key_Down: return ViewKey::Down;
    case Qt::Key_Delete: return ViewKey::Delete;
    case Qt::Key_Return:
    case Qt::Key_Enter: return ViewKey::Enter;
    case Qt::Key_Escape: return ViewKey::Escape;
    default: return std::nullopt;
  }
}
}  // namespace

StudioViewWidget::StudioViewWidget(QWidget* parent) : QWidget(parent), dialogs_(std::make_unique<QtViewDialogs>(this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  // Windows sends every mouse move to the window under the cursor, not only
  // while a button is down; the view ignores the idle ones.
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::ArrowCursor);
}

StudioViewWidget::~StudioViewWidget() { client_.reset(); }

void StudioViewWidget::setClient(std::unique_ptr<ViewClient> client) {
  client_ = std::move(client);
  update();
}

SessionPrompts& StudioViewWidget::dialogs() { return *dialogs_; }

void StudioViewWidget::useSettings(QSettings* settings) { dialogs_->useSettings(settings); }

QRect StudioViewWidget::transportRect() const {
  return QRect(kTransportLeft, 0, std::max(width() - kTransportLeft, 0), kTransportHeight);
}

void StudioViewWidget::repaintTransport(bool clear) {
  const QRect rect = transportRect();
  if (rect.isEmpty() || !isVisible()) return;
  pendingTransportClear_ = clear;
  repaint(rect);
  pendingTransportClear_.reset();
}

std::optional<size_t> StudioViewWidget::showContextMenu(const std::vector<TrackMenuItem>& items, int x, int y) {
  QMenu menu(this);
  std::map<std::string, QMenu*> submenus;
  for (size_t i = 0; i < items.size(); ++i) {
    const TrackMenuItem& item = items[i];
    QMenu* into = &menu;
    if (!item.submenu.empty()) {
      QMenu*& sub = submenus[item.submenu];
      if (!sub) sub = menu.addMenu(QString::fromStdString(item.submenu));
      into = sub;
    }
    // Titles come from the catalogue: an "&" in one is shown, not a mnemonic.
    QAction* action = into->addAction(QString::fromStdString(item.label).replace(u'&', QStringLiteral("&&")));
    action->setEnabled(item.enabled);
    action->setCheckable(item.checkable);
    action->setChecked(item.checked);
    action->setData(qulonglong(i));
  }
  const QAction* picked = menu.exec(mapToGlobal(QPoint(x, y)));
  if (!picked) return std::nullopt;
  return size_t(picked->data().toULongLong());
}

void StudioViewWidget::captureMouse() {
  if (isVisible()) grabMouse();
}

void StudioViewWidget::releaseMouse() {
  if (QWidget::mouseGrabber() == this) QWidget::releaseMouse();
}

void StudioViewWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (!client_) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  QtDrawSurface surface(painter);
  // A transport-only request draws just the transport, so that a redraw
  // without clearing overwrites the old text in place. If the backing store
  // merged other dirty areas into this pass, paint everything instead.
  if (pendingTransportClear_ && event->region() == QRegion(transportRect())) {
    client_->paintTransport(surface, width() - kTransportLeft, *pendingTransportClear_);
    return;
  }
  client_->paintAll(surface);
}

void StudioViewWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !client_) return;
  const QPoint p = clientPoint(event);
  client_->lButtonDown(p.x(), p.y());
}

void StudioViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !client_) return;
  const QPoint p = clientPoint(event);
  client_->lButtonDblClk(p.x(), p.y());
}

void StudioViewWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!client_) return;
  const QPoint p = clientPoint(event);
  client_->mouseMove(p.x(), p.y());
}

void StudioViewWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (!client_) return;
  const QPoint p = clientPoint(event);
  // The right button opens the clip editor or a track's menu, on release as
  // a context menu would; the left button's handling is not touched by it.
  if (event->button() == Qt::LeftButton)
    client_->lButtonUp(p.x(), p.y());
  else if (event->button() == Qt::RightButton)
    client_->rButtonUp(p.x(), p.y());
}

void StudioViewWidget::wheelEvent(QWheelEvent* event) {
  if (!client_) return;
  // Touchpads report how far the finger moved; wheels report angles.
  const QPoint pixels = event->pixelDelta();
  const WheelDelta delta = pixels.y() != 0 ? WheelDelta{pixels.y(), WheelUnit::Pixels}
                                           : WheelDelta{event->angleDelta().y(), WheelUnit::Eighths};
  client_->wheel(event->position().toPoint().x(), delta);
  event->accept();
}

void StudioViewWidget::keyPressEvent(QKeyEvent* event) {
  const std::optional<ViewKey> key = viewKeyOf(event);
  if (client_ && key && client_->keyPressed(*key)) return;
  QWidget::keyPressEvent(event);
}

}  // namespace wc
