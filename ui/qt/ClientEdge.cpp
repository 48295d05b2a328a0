#include "ui/qt/ClientEdge.h"

#include <QVBoxLayout>

namespace wc {

QFrame* wrapInClientEdge(QWidget* content) {
  auto* edge = new QFrame;
  edge->setObjectName(QStringLiteral("ClientEdge"));
  // WinPanel is the one shape that draws the four-colour Windows bevel in
  // every style; it fixes the line width at two pixels.
  edge->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  auto* layout = new QVBoxLayout(edge);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(content);
  return edge;
}

}  // namespace wc
