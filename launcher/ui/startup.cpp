#include "startup.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <iostream>

#include "core/paths.h"
#include "hub.h"
#include "pictures.h"
#include "setup.h"

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
  std::string error = LoadSettings(ctx_.vars, ctx_.roots);
  if (!error.empty()) std::cerr << "fragdock: " << error << '\n';
  spinner_->start();
  loader_->start();
}

bool Tfstartup::require(const char* name, QPixmap& out) {
  out = LoadNamedPicture(ctx_.vars.programFolder + name);
  if (!out.isNull()) return true;
  std::cerr << "fragdock: missing or unreadable picture " << ctx_.vars.programFolder << name << ".bmp (or .jpg)\n";
  ctx_.fatal(QStringLiteral("NO WAY"));
  return false;
}

bool Tfstartup::loadPictures() {
  const std::string& folder = ctx_.vars.programFolder;
  if (!require("fdk", ctx_.logo)) return false;
  hub_.q1prev->setPixmap(ctx_.logo);
  if (!require("litleback", ctx_.littleBack)) return false;
  setup_.setBackground(ctx_.littleBack);
  ctx_.background = LoadNamedPicture(BackgroundBase(ctx_.vars));
  if (ctx_.background.isNull()) {
    std::cerr << "fragdock: missing or unreadable background " << BackgroundBase(ctx_.vars) << ".bmp (or .jpg)\n";
    ctx_.fatal(QStringLiteral("NO WAY"));
    return false;
  }
  // Later code reads the logo as a plain bitmap.
  if (!fileExists(folder + "fdk.bmp")) ctx_.logo.save(QString::fromStdString(folder + "fdk.bmp"), "BMP");
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
