// Draws the launcher's pictures: switch on/off, logo, backgrounds, the "no preview"
// card and the progress bar. One dark theme with a warm accent, so that light text
// on the pages stays readable. Also draws the application icon for the desktop.
//
// Usage: fragdock_picgen <program folder> [<demo folder>]
//        fragdock_picgen --icons <hicolor folder> <application id>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <cstdio>

namespace {

const QColor kAccent(240, 160, 64);
const QColor kAccentDark(150, 80, 24);
const QColor kSteel(44, 46, 52);

QColor accent(int alpha) { return QColor(kAccent.red(), kAccent.green(), kAccent.blue(), alpha); }

QImage canvas(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

// Dark brushed metal: a vertical gradient, fine noise and a soft vignette.
void paintMetal(QImage& image, quint32 seed, int darkness) {
  QPainter p(&image);
  QLinearGradient g(0, 0, 0, image.height());
  g.setColorAt(0, QColor(38, 40, 46).darker(darkness));
  g.setColorAt(0.5, QColor(26, 27, 31).darker(darkness));
  g.setColorAt(1, QColor(16, 16, 19).darker(darkness));
  p.fillRect(image.rect(), g);
  QRandomGenerator rng(seed);
  for (int y = 0; y < image.height(); ++y) {
    int shade = static_cast<int>(rng.bounded(9u));
    p.setPen(QColor(255, 255, 255, shade));
    p.drawLine(0, y, image.width(), y);
  }
  QRadialGradient v(image.rect().center(), image.width() * 0.75);
  v.setColorAt(0.6, QColor(0, 0, 0, 0));
  v.setColorAt(1, QColor(0, 0, 0, 150));
  p.fillRect(image.rect(), v);
}

void rivets(QPainter& p, const QRect& r) {
  p.setPen(Qt::NoPen);
  for (QPoint c : {r.topLeft() + QPoint(10, 10), r.topRight() + QPoint(-10, 10), r.bottomLeft() + QPoint(10, -10),
                   r.bottomRight() + QPoint(-10, -10)}) {
    QRadialGradient g(c - QPoint(1, 1), 4);
    g.setColorAt(0, QColor(150, 150, 150));
    g.setColorAt(1, QColor(40, 40, 44));
    p.setBrush(g);
    p.drawEllipse(c, 4, 4);
  }
}

QImage pageBackground() {
  QImage image = canvas(652, 499);
  paintMetal(image, 1, 100);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // A faint frame and an accent stripe along the top: decoration stays at the edges.
  p.setPen(QPen(QColor(255, 255, 255, 22), 1));
  p.drawRect(image.rect().adjusted(4, 4, -5, -5));
  QLinearGradient stripe(0, 0, image.width(), 0);
  stripe.setColorAt(0, accent(0));
  stripe.setColorAt(0.5, accent(110));
  stripe.setColorAt(1, accent(0));
  p.fillRect(QRect(0, 0, image.width(), 3), stripe);
  rivets(p, image.rect().adjusted(2, 2, -2, -2));
  return image;
}

QImage littleBackground() {
  QImage image = canvas(456, 473);
  paintMetal(image, 2, 110);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  rivets(p, image.rect().adjusted(2, 2, -2, -2));
  return image;
}

QImage logo() {
  QImage image = canvas(400, 260);
  paintMetal(image, 3, 140);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // A plate with a bevel, so the logo reads as a badge on any page background.
  p.setPen(QPen(QColor(255, 255, 255, 40), 2));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(3, 3, 394, 254), 14, 14);
  p.setPen(QPen(kAccentDark, 2));
  p.drawRoundedRect(QRectF(7, 7, 386, 246), 11, 11);
  rivets(p, image.rect().adjusted(6, 6, -6, -6));
  QPointF c(200, 104);
  // A crosshair: two rings and four ticks.
  p.setPen(QPen(kAccentDark, 6));
  p.drawEllipse(c, 74, 74);
  p.setPen(QPen(kAccent, 3));
  p.drawEllipse(c, 74, 74);
  p.drawEllipse(c, 36, 36);
  for (auto [dx, dy] : {std::pair{0, -1}, {0, 1}, {-1, 0}, {1, 0}})
    p.drawLine(c + QPointF(dx * 46, dy * 46), c + QPointF(dx * 96, dy * 96));
  p.setBrush(kAccent);
  p.drawEllipse(c, 5, 5);
  QFont font(QStringLiteral("DejaVu Sans"), 34, QFont::Black);
  font.setLetterSpacing(QFont::PercentageSpacing, 112);
  p.setFont(font);
  QRect textBox(0, 186, 400, 60);
  p.setPen(QColor(0, 0, 0, 200));
  p.drawText(textBox.translated(3, 3), Qt::AlignCenter, QStringLiteral("FRAGDOCK"));
  p.setPen(QColor(250, 236, 210));
  p.drawText(textBox, Qt::AlignCenter, QStringLiteral("FRAGDOCK"));
  return image;
}

QImage noPreview() {
  QImage image = canvas(240, 180);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, 180);
  g.setColorAt(0, QColor(34, 35, 40));
  g.setColorAt(1, QColor(20, 20, 24));
  p.fillRect(image.rect(), g);
  p.setPen(QPen(QColor(120, 96, 64), 2, Qt::DashLine));
  p.drawRoundedRect(QRectF(10, 10, 220, 160), 8, 8);
  // A simple picture frame icon: a mountain under a sun.
  p.setPen(QPen(QColor(150, 140, 125), 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(90, 42, 60, 44));
  QPainterPath hill;
  hill.moveTo(92, 84);
  hill.lineTo(110, 62);
  hill.lineTo(122, 74);
  hill.lineTo(132, 66);
  hill.lineTo(148, 84);
  p.drawPath(hill);
  p.drawEllipse(QPointF(136, 52), 4, 4);
  p.setFont(QFont(QStringLiteral("DejaVu Sans"), 13, QFont::Bold));
  p.setPen(QColor(220, 210, 190));
  p.drawText(QRect(0, 100, 240, 30), Qt::AlignCenter, QStringLiteral("NO PREVIEW"));
  p.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
  p.setPen(QColor(150, 140, 125));
  p.drawText(QRect(0, 128, 240, 20), Qt::AlignCenter, QStringLiteral("nothing to show for this one"));
  return image;
}

QImage bar() {
  QImage image = canvas(350, 57);
  QPainter p(&image);
  QLinearGradient g(0, 0, 0, 57);
  g.setColorAt(0, kAccent.lighter(130));
  g.setColorAt(0.5, kAccent);
  g.setColorAt(1, kAccentDark);
  p.fillRect(image.rect(), g);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 36));
  for (int x = -57; x < 350; x += 28) {
    QPolygon stripe;
    stripe << QPoint(x, 57) << QPoint(x + 14, 57) << QPoint(x + 71, 0) << QPoint(x + 57, 0);
    p.drawPolygon(stripe);
  }
  return image;
}

// The switch: a rounded track with the knob on the right (on) or the left (off).
QImage switchPicture(bool on) {
  QImage image(36, 18, QImage::Format_RGB32);
  image.fill(QColor(24, 24, 28));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(on ? kAccent.darker(120) : QColor(90, 90, 96), 1));
  p.setBrush(on ? kAccent : QColor(58, 58, 64));
  p.drawRoundedRect(QRectF(0.5, 0.5, 35, 17), 8.5, 8.5);
  p.setPen(QPen(QColor(20, 20, 20), 1));
  p.setBrush(on ? QColor(255, 248, 236) : QColor(150, 150, 156));
  p.drawEllipse(QPointF(on ? 27 : 9, 9), 6.5, 6.5);
  return image;
}

// A MOD's preview card for the demo tree: a coloured sky, a horizon of blocks and
// the MOD's name.
QImage modPreview(const QString& name, const QString& line, QColor sky) {
  QImage image = canvas(240, 180);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, 180);
  g.setColorAt(0, sky.lighter(140));
  g.setColorAt(0.6, sky);
  g.setColorAt(1, sky.darker(300));
  p.fillRect(image.rect(), g);
  QRandomGenerator rng(static_cast<quint32>(qHash(name)));
  p.setPen(Qt::NoPen);
  for (int x = 0; x < 240; x += 16) {
    const int h = 20 + static_cast<int>(rng.bounded(50));
    p.setBrush(QColor(30, 30, 34).lighter(100 + static_cast<int>(rng.bounded(60))));
    p.drawRect(x, 180 - h, 16, h);
  }
  p.setFont(QFont(QStringLiteral("DejaVu Sans"), 20, QFont::Bold));
  p.setPen(QColor(255, 244, 220));
  p.drawText(QRect(0, 30, 240, 40), Qt::AlignCenter, name);
  p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
  p.drawText(QRect(0, 70, 240, 20), Qt::AlignCenter, line);
  return image;
}

// The application icon: the logo's crosshair on a rounded metal plate. Each size
// is drawn, not scaled down, on a 256-unit grid whose strokes are wide enough to
// stay two pixels or more at 48 px.
QImage icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 256.0, size / 256.0);
  const QRectF plate(14, 14, 228, 228);
  QLinearGradient metal(0, plate.top(), 0, plate.bottom());
  metal.setColorAt(0, QColor(70, 72, 80));
  metal.setColorAt(0.5, kSteel);
  metal.setColorAt(1, QColor(18, 18, 22));
  p.setPen(QPen(kAccentDark, 8));
  p.setBrush(metal);
  p.drawRoundedRect(plate, 50, 50);
  p.setPen(QPen(QColor(255, 255, 255, 46), 4));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(plate.adjusted(10, 10, -10, -10), 40, 40);
  const QPointF c(128, 128);
  p.setPen(QPen(QColor(0, 0, 0, 150), 26));
  p.drawEllipse(c, 70, 70);
  p.setPen(QPen(kAccent, 16, Qt::SolidLine, Qt::RoundCap));
  p.drawEllipse(c, 70, 70);
  for (auto [dx, dy] : {std::pair{0, -1}, {0, 1}, {-1, 0}, {1, 0}})
    p.drawLine(c + QPointF(dx * 34, dy * 34), c + QPointF(dx * 96, dy * 96));
  p.setPen(Qt::NoPen);
  p.setBrush(kAccent.lighter(115));
  p.drawEllipse(c, 13, 13);
  return image;
}

bool save(const QImage& image, const QString& path, const char* format) {
  // The quality is the JPG's; PNG reads it as the inverse of compression, so it
  // keeps the library's default there.
  const int quality = qstrcmp(format, "JPG") == 0 ? 92 : -1;
  if (image.save(path, format, quality)) return true;
  std::fprintf(stderr, "fragdock_picgen: cannot write %s\n", qPrintable(path));
  return false;
}

// MOD previews of the demo tree in the formats the launcher shows as they are
// (BMP) and through its converter (JPG); the demo generator adds the PCX ones.
bool saveDemoPreviews(const QDir& demo) {
  if (!demo.mkpath(QStringLiteral("q1/mods")) || !demo.mkpath(QStringLiteral("q2/mods")) ||
      !demo.mkpath(QStringLiteral("q2/models")))
    return false;
  bool ok = save(modPreview(QStringLiteral("CTF"), QStringLiteral("two teams, two flags"), QColor(40, 70, 150)),
                 demo.filePath(QStringLiteral("q1/mods/ctf.bmp")), "BMP");
  ok = save(modPreview(QStringLiteral("ARENA"), QStringLiteral("one on one"), QColor(150, 60, 30)),
            demo.filePath(QStringLiteral("q2/mods/arena.jpg")), "JPG") && ok;
  // Model packs show their preview as BMP, and as JPG through the converter.
  ok = save(modPreview(QStringLiteral("RUNNER"), QStringLiteral("light and quick"), QColor(40, 120, 70)),
            demo.filePath(QStringLiteral("q2/models/runner.bmp")), "BMP") && ok;
  ok = save(modPreview(QStringLiteral("BRUTE"), QStringLiteral("heavy and slow"), QColor(110, 110, 120)),
            demo.filePath(QStringLiteral("q2/models/brute.jpg")), "JPG") && ok;
  return ok;
}

// The icon at the sizes desktops ask for most, as <folder>/<N>x<N>/apps/<id>.png.
bool saveIcons(const QDir& hicolor, const QString& id) {
  bool ok = true;
  for (int size : {48, 128, 256}) {
    const QString apps = QStringLiteral("%1x%1/apps").arg(size);
    if (!hicolor.mkpath(apps)) {
      std::fprintf(stderr, "fragdock_picgen: cannot create %s\n", qPrintable(hicolor.filePath(apps)));
      return false;
    }
    ok = save(icon(size), hicolor.filePath(apps + QLatin1Char('/') + id + QStringLiteral(".png")), "PNG") && ok;
  }
  return ok;
}

bool saveProgramPictures(const QDir& dir) {
  if (!dir.mkpath(QStringLiteral("themes"))) {
    std::fprintf(stderr, "fragdock_picgen: cannot create %s/themes\n", qPrintable(dir.path()));
    return false;
  }
  bool ok = save(switchPicture(true), dir.filePath(QStringLiteral("knoppja.bmp")), "BMP");
  ok = save(switchPicture(false), dir.filePath(QStringLiteral("knoppno.bmp")), "BMP") && ok;
  ok = save(logo(), dir.filePath(QStringLiteral("fdk.jpg")), "JPG") && ok;  // fragdock keeps a .bmp copy itself
  ok = save(littleBackground(), dir.filePath(QStringLiteral("litleback.bmp")), "BMP") && ok;
  ok = save(noPreview(), dir.filePath(QStringLiteral("!none!.bmp")), "BMP") && ok;
  ok = save(bar(), dir.filePath(QStringLiteral("bar.bmp")), "BMP") && ok;
  ok = save(pageBackground(), dir.filePath(QStringLiteral("themes/Fragdock.bmp")), "BMP") && ok;
  // A settings file that lost its background key falls back to "fragdock": keep that
  // start working too instead of ending it for want of a picture.
  return save(pageBackground(), dir.filePath(QStringLiteral("fragdock.bmp")), "BMP") && ok;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  auto arg = [&](int i) { return QString::fromLocal8Bit(argv[i]); };
  if (argc == 4 && arg(1) == QStringLiteral("--icons")) return saveIcons(QDir(arg(2)), arg(3)) ? 0 : 1;
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr,
                 "usage: fragdock_picgen <program folder> [<demo folder>]\n"
                 "       fragdock_picgen --icons <hicolor folder> <application id>\n");
    return 2;
  }
  bool ok = saveProgramPictures(QDir(arg(1)));
  if (argc == 3) ok = saveDemoPreviews(QDir(arg(2))) && ok;
  return ok ? 0 : 1;
}
