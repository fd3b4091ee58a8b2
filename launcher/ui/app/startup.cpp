#include "app/startup.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "core/platform/paths.h"
#include "hub/hub.h"
#include "app/pictures.h"
#include "dialogs/setup.h"

namespace fdk {

Tfstartup::Tfstartup(LauncherContext& ctx, Tfhub& hub, Tfsetup& setup)
    : QWidget(nullptr), ctx_(ctx), hub_(hub), setup_(setup) {
  setObjectName(QStringLiteral("fstartup"));
  setWindowTitle(QStringLiteral("--== LETS PARTY ==--"));
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint);
  setCursor(Qt::WaitCursor);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
  setFixedSize(320, 150);

  auto* layout = new QVBoxLayout(this);
  auto* loading = new QLabel(QStringLiteral("Loading Pictures"), this);
  loading->setObjectName(QStringLiteral("lloading"));
  loading->setProperty("role", "splash-title");
  auto* tuned = new QLabel(QStringLiteral("Stay tuned!"), this);
  tuned->setObjectName(QStringLiteral("ltuned"));
  tuned->setProperty("role", "splash-text");
  dots_ = new QLabel(this);
  dots_->setProperty("role", "splash-text");
  for (QLabel* label : {loading, tuned, dots_}) {
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
  }

  spinner_ = new QTimer(this);
  spinner_->setInterval(80);
  connect(spinner_, &QTimer::timeout, this, [this] {
    static const char* frames[] = {"\xE2\x97\x8F \xE2\x97\x8B \xE2\x97\x8B", "\xE2\x97\x8B \xE2\x97\x8F \xE2\x97\x8B",
                                   "\xE2\x97\x8B \xE2\x97\x8B \xE2\x97\x8F"};
    dots_->setText(QString::fromUtf8(frames[frame_++ % 3]));
  });
  loader_ = new QTimer(this);
  loader_->setSingleShot(true);
  loader_->setInterval(100);
  connect(loader_, &QTimer::timeout, this, &Tfstartup::TimerTick);

  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
}

void Tfstartup::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter p(this);
  p.setPen(QColor(128, 96, 64));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Tfstartup::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!activated_) FormActivate();
}

void Tfstartup::FormActivate() {
  activated_ = true;
  repaint();
  if (Status loaded = LoadSettings(ctx_.vars, ctx_.roots); !loaded)
    ctx_.messages.log(QString::fromStdString(loaded.error().text));
  spinner_->start();
  loader_->start();
}

bool Tfstartup::require(const char* name, QPixmap& out) {
  return requireAt(ctx_.vars.programFolder + name, out);
}

bool Tfstartup::requireAt(const std::string& base, QPixmap& out) {
  Result<QPixmap> picture = ReadNamedPicture(base);
  if (picture) {
    out = *picture;
    return true;
  }
  ctx_.messages.log(QString::fromStdString(picture.error().text));
  ctx_.messages.fatal(QStringLiteral("NO WAY"));
  return false;
}

bool Tfstartup::loadPictures() {
  if (!require("fdk", ctx_.logo)) return false;
  if (!require("litleback", ctx_.littleBack)) return false;
  setup_.setBackground(ctx_.littleBack);
  if (!requireAt(BackgroundBase(ctx_.vars), ctx_.background)) return false;
  // Later code reads the logo as a plain bitmap; an installed program folder is
  // only read, so the copy is a scratch file there.
  const std::string copy = ctx_.vars.scratchFolder() + "fdk.bmp";
  if (!fileExists(copy)) ctx_.logo.save(QString::fromStdString(copy), "BMP");
  return require("!none!", ctx_.placeholder);
}

void Tfstartup::TimerTick() {
  if (!loadPictures()) return;
  spinner_->stop();
  hide();
  connect(&hub_, &Tfhub::closed, this, &QWidget::close);
  hub_.show();
  emit handedOver();
}

}  // namespace fdk
