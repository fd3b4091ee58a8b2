#include "work/animation.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace fdk {

namespace {
constexpr int kPhases = 24;
constexpr int kStepMs = 60;
const QColor kFolder(214, 170, 72);
const QColor kSheet(236, 236, 228);

void drawFolder(QPainter& p, const QRectF& r) {
  p.setPen(QPen(kFolder.darker(160), 1));
  p.setBrush(kFolder.darker(115));
  p.drawRect(QRectF(r.left(), r.top() - r.height() * 0.18, r.width() * 0.4, r.height() * 0.2));
  p.setBrush(kFolder);
  p.drawRect(r);
}
}  // namespace

WorkAnimation::WorkAnimation(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind), timer_(new QTimer(this)) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  timer_->setInterval(kStepMs);
  connect(timer_, &QTimer::timeout, this, [this] {
    phase_ = (phase_ + 1) % kPhases;
    update();
  });
}

void WorkAnimation::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  if (kind_ == Kind::CopyFiles) paintCopy(p);
  else paintFind(p);
}

// The sheet travels on an arc from the left folder to the right one.
void WorkAnimation::paintCopy(QPainter& p) const {
  const double w = width(), h = height();
  drawFolder(p, QRectF(2, h * 0.45, w * 0.25, h * 0.45));
  drawFolder(p, QRectF(w * 0.73, h * 0.45, w * 0.25, h * 0.45));
  const double t = static_cast<double>(phase_) / (kPhases - 1);
  const double x = w * 0.08 + t * w * 0.7;
  const double y = h * 0.42 - std::sin(t * M_PI) * h * 0.35;
  p.setPen(QPen(Qt::gray, 1));
  p.setBrush(kSheet);
  p.drawRect(QRectF(x, y, w * 0.12, h * 0.22));
}

// The lens circles over the folder.
void WorkAnimation::paintFind(QPainter& p) const {
  const double w = width(), h = height();
  drawFolder(p, QRectF(w * 0.2, h * 0.35, w * 0.6, h * 0.55));
  const double a = 2 * M_PI * phase_ / kPhases;
  const QPointF centre(w * 0.5 + std::cos(a) * w * 0.15, h * 0.5 + std::sin(a) * h * 0.15);
  const double r = std::min(w, h) * 0.18;
  p.setPen(QPen(QColor(200, 200, 200), 3));
  p.setBrush(QColor(160, 200, 255, 90));
  p.drawEllipse(centre, r, r);
  p.drawLine(centre + QPointF(r * 0.7, r * 0.7), centre + QPointF(r * 1.6, r * 1.6));
}

}  // namespace fdk
