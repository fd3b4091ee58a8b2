#include "uitest.h"

#include <QImage>
#include <QPainter>
#include <QThread>

namespace fdk::test {

namespace {
void picture(const TempDir& dir, const std::string& name, int w, int h, QColor color, const char* format) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  QPainter p(&image);
  p.fillRect(0, 0, w / 2, h / 2, color.lighter());
  p.end();
  dir.write(name, "");  // creates the folders
  image.save(QString::fromStdString(dir.file(name)), format);
}
}  // namespace

void WritePictures(const TempDir& folder) {
  picture(folder, "fdk.jpg", 64, 32, QColor(200, 120, 40), "JPG");
  picture(folder, "litleback.bmp", 46, 47, QColor(30, 30, 40), "BMP");
  picture(folder, "themes/Fragdock.bmp", 65, 50, QColor(20, 24, 30), "BMP");
  picture(folder, "!none!.bmp", 40, 30, QColor(60, 60, 60), "BMP");
  picture(folder, "knoppja.bmp", 36, 18, QColor(40, 200, 40), "BMP");
  picture(folder, "knoppno.bmp", 36, 18, QColor(200, 40, 40), "BMP");
  picture(folder, "bar.bmp", 350, 55, QColor(240, 160, 40), "BMP");
}

bool WaitFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return done();
}

Launcher::Launcher(bool withPictures) {
  if (withPictures) WritePictures(prog);
  ctx.vars.programFolder = prog.folder();
  ctx.roots.home = games.folder();
  ctx.messages.showBox = [this](UserMessages::Kind kind, const QString& text) {
    using K = UserMessages::Kind;
    (kind == K::Fatal ? fatals : kind == K::Warning ? warnings : notes) << text;
  };
  ctx.messages.askBox = [this](const QString& question) {
    questions << question;
    return answerYes;
  };
}

Launcher::~Launcher() {
  if (hub) {
    hub->disconnect();
    hub->hide();
  }
  splash.reset();
  hub.reset();
  setup.reset();
  fscan.reset();
  fbar.reset();
  ffatpic.reset();
}

void Launcher::create() {
  ffatpic = std::make_unique<Tffatpic>();
  fbar = std::make_unique<Tfbar>(ctx);
  fscan = std::make_unique<Tfscan>();
  ctx.ffatpic = ffatpic.get();
  ctx.fbar = fbar.get();
  ctx.fscan = fscan.get();
  setup = std::make_unique<Tfsetup>(ctx);
  hub = std::make_unique<Tfhub>(ctx, *setup);
  splash = std::make_unique<Tfstartup>(ctx, *hub, *setup);
}

bool Launcher::start() {
  if (!splash) create();
  splash->show();
  WaitFor([this] { return (hub->isVisible() && hub->loaded()) || !fatals.isEmpty(); });
  return hub->isVisible() && hub->loaded();
}

}  // namespace fdk::test
