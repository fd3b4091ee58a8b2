#include "pages/infopage.h"

#include <QEvent>
#include <QEventLoop>
#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>

#include "app/pictures.h"
#include "core/checks/prelaunch.h"
#include "dialogs/setup.h"

namespace fdk {

namespace {
const QString kTitle = QStringLiteral("Fragdock v1.0");
}  // namespace

InfoPage::InfoPage(const PageSite& site) : QObject(site.frame), ctx_(site.ctx), frame_(site.frame), setup_(site.setup) {
  QWidget* box = frame_->box();
  lscroll = new QLabel(QStringLiteral(" "), box);
  lscroll->setObjectName(QStringLiteral("lscroll"));
  lscroll->setProperty("role", "title");
  lscroll->setGeometry(24, 20, 600, 56);
  HarmFade1 = new QLabel(box);
  HarmFade1->setObjectName(QStringLiteral("HarmFade1"));
  HarmFade1->setAlignment(Qt::AlignCenter);
  HarmFade1->setGeometry(126, 96, 400, 260);
  auto* fade = new QGraphicsOpacityEffect(HarmFade1);
  fade->setOpacity(0.0);
  HarmFade1->setGraphicsEffect(fade);
  CoolButton1 = frame_->addBottomButton(QStringLiteral("CoolButton1"), QStringLiteral("Setup"),
                                        QStringLiteral("folders, executables, background, window size"), 4);
  connect(CoolButton1, &QPushButton::clicked, this, &InfoPage::CoolButton1Click);
  lchecks = new QLabel(box);
  lchecks->setObjectName(QStringLiteral("lchecks"));
  lchecks->setAlignment(Qt::AlignCenter);
  lchecks->setGeometry(24, 366, 600, 24);
  box->installEventFilter(this);
  typer_ = new QTimer(this);
  typer_->setInterval(40);
  connect(typer_, &QTimer::timeout, this, &InfoPage::typeTitleStep);
}

void InfoPage::firstActivation() {
  HarmFade1->setPixmap(LoadNamedPicture(ctx_.vars.programFolder + "fdk"));
  fadeLogo(true);
  startTitle();
}

void InfoPage::aboutToClose() { typer_->stop(); }

// A page is visible only while its tab is chosen and the main window is shown.
void InfoPage::closed() {
  if (frame_->isVisible()) fadeLogo(false);
}

void InfoPage::CoolButton1Click() {
  QWidget* mainWindow = frame_->window();
  mainWindow->hide();
  setup_.exec();
  mainWindow->show();
}

bool InfoPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show) showChecks();
  return QObject::eventFilter(watched, event);
}

void InfoPage::showChecks() {
  QString text = QStringLiteral("Pre-launch checks:");
  for (Game game : kGames) {
    Tzipform catalogue;
    text += QLatin1Char(' ') + QString::fromStdString(FindingsSummary(game, PreLaunchChecks(ctx_.vars, game, catalogue)));
  }
  lchecks->setText(text);
}

void InfoPage::startTitle() {
  typed_ = 0;
  lscroll->setText(QStringLiteral(" "));
  typer_->start();
}

void InfoPage::typeTitleStep() {
  ++typed_;
  lscroll->setText(QStringLiteral(" ") + kTitle.left(typed_));
  lscroll->repaint();
  if (typed_ >= kTitle.size()) typer_->stop();
}

void InfoPage::fadeLogo(bool in) {
  auto* effect = static_cast<QGraphicsOpacityEffect*>(HarmFade1->graphicsEffect());
  auto* fade = new QPropertyAnimation(effect, "opacity", this);
  fade->setDuration(in ? 900 : 250);
  fade->setStartValue(in ? 0.0 : effect->opacity());
  fade->setEndValue(in ? 1.0 : 0.0);
  if (in) {
    fade->start(QAbstractAnimation::DeleteWhenStopped);
    return;
  }
  QEventLoop wait;
  connect(fade, &QPropertyAnimation::finished, &wait, &QEventLoop::quit);
  fade->start(QAbstractAnimation::DeleteWhenStopped);
  wait.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace fdk
