#include "work/progresswindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "app/pictures.h"

namespace fdk {

namespace {
constexpr int kWidth = 360;
constexpr int kHeight = 214;
constexpr int kFrameWidth = 352;
constexpr int kFrameHeight = 57;
// Painting after every small entry would cost more than the work; the eye needs
// no more than about thirty pictures a second.
constexpr int kPaintIntervalMs = 33;
}  // namespace

Tfbar::Tfbar(LauncherContext& ctx) : QWidget(nullptr, Qt::FramelessWindowHint | Qt::Tool), ctx_(ctx) {
  setObjectName(QStringLiteral("fbar"));
  setAccessibleName(QStringLiteral("Progress"));
  setFixedSize(kWidth, kHeight);
  setStyleSheet(QStringLiteral("#fbar { background: black; } QLabel { color: #f0a030; }"));
  setAttribute(Qt::WA_StyledBackground);
  ltbar = new QLabel(this);
  ltbar->setObjectName(QStringLiteral("ltbar"));
  ltbar->setGeometry(12, 10, kWidth - 24, 40);
  ltbar->setAlignment(Qt::AlignCenter);
  ltbar->setStyleSheet(QStringLiteral("font-size: 22px; font-weight: bold;"));
  barFrame = new QFrame(this);
  barFrame->setObjectName(QStringLiteral("barFrame"));
  barFrame->setFrameShape(QFrame::Box);
  barFrame->setGeometry((kWidth - kFrameWidth) / 2, 60, kFrameWidth, kFrameHeight);
  ibar = new QLabel(barFrame);
  ibar->setObjectName(QStringLiteral("ibar"));
  ibar->setAccessibleName(QStringLiteral("progress bar"));
  ibar->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ibar->setGeometry(1, 1, ProgressCounters::kBarStart, kFrameHeight - 2);
  lbar = new QLabel(QStringLiteral("0 / 0"), this);
  lbar->setObjectName(QStringLiteral("lbar"));
  lbar->setGeometry(12, 124, kWidth - 24, 24);
  lbar->setAlignment(Qt::AlignCenter);
  Animate1 = new WorkAnimation(WorkAnimation::Kind::CopyFiles, this);
  Animate1->setObjectName(QStringLiteral("Animate1"));
  Animate1->setGeometry((kWidth - 120) / 2, 152, 120, 54);
}

// The bar picture is loaded each time the window comes up, so a picture changed
// on disk shows at the next run; without one the program cannot show progress.
void Tfbar::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Result<QPixmap> bar = ReadNamedPicture(ctx_.vars.programFolder + "bar");
  if (!bar) {
    ctx_.messages.log(QString::fromStdString(bar.error().text));
    ctx_.messages.fatal(QStringLiteral("NO WAY"));
    return;
  }
  ibar->setPixmap(*bar);
}

void Tfbar::begin(const QString& title) {
  counters.reset();
  doneCounted_ = false;
  ltbar->setText(title);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - QPoint(kWidth / 2, kHeight / 2));
  show();
  raise();
  showCounters(true);
}

void Tfbar::ShowProgress(bool countsAsDone, std::uint64_t bytes) {
  counters.add(countsAsDone, bytes);
  doneCounted_ = doneCounted_ || countsAsDone;
  showCounters(doneCounted_ && counters.done() >= counters.total());
}

void Tfbar::ShowPartial(std::uint64_t bytes) {
  ProgressCounters shown = counters;
  shown.add(true, bytes);
  showCounters(shown, true, false);
}

void Tfbar::showCounters(bool force) { showCounters(counters, doneCounted_, force); }

void Tfbar::showCounters(const ProgressCounters& shown, bool doneCounted, bool force) {
  if (!force && sincePaint_.isValid() && sincePaint_.elapsed() < kPaintIntervalMs) return;
  sincePaint_.start();
  lbar->setText(QString::fromStdString(shown.text()));
  // Until the second pass counts something, the bar stays at its start.
  ibar->resize(doneCounted ? shown.barWidth() : ProgressCounters::kBarStart, ibar->height());
  repaint();
  // The caller holds the event loop: let the animation step and the screen update.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The first pass is over: its total is shown whole before the extraction starts.
void Tfbar::startAnimation() {
  Animate1->start();
  showCounters(true);
}

void Tfbar::end() {
  Animate1->stop();
  hide();
}

}  // namespace fdk
