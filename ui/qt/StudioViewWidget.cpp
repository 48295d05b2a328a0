#include "ui/qt/StudioViewWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

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
  // The right button only opens the clip editor, on release as a context
  // menu would; the left button's handling is not touched by it.
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
