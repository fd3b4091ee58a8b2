#include "hub.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QScreen>
#include <QGuiApplication>
#include <QVBoxLayout>

#include "core/cleanup.h"
#include "pictures.h"
#include "q1stuffpage.h"
#include "q2stuffpage.h"
#include "setup.h"
#include "storedfield.h"

namespace fdk {

namespace {
constexpr int kDesignWidth = 652;
constexpr int kDesignHeight = 520;
constexpr int kLockWidth = 650;
constexpr int kLockHeight = 519;
constexpr int kTabHeight = 21;
const QString kTitle = QStringLiteral("Fragdock v1.0");

struct PageDef {
  const char* caption;
  const char* back;
  int game;  // 1, 2, or 0 for the Info page
};
const PageDef kPages[Tfhub::kPageCount] = {
    {"Info", "backi", 0},          {"Q1 MOD", "backq1p", 1},    {"Q1 Maps", "backq1m", 1},
    {"Q1 Skins", "backq1s", 1},    {"Q1 Stuff", "backq1st", 1}, {"Q2 MOD", "backq2p", 2},
    {"Q2 Maps", "backq2m", 2},     {"Q2 Models", "backq2s", 2}, {"Q2 Stuff", "backq2st", 2},
};
}  // namespace

Tfhub::Tfhub(LauncherContext& ctx, Tfsetup& setup) : QWidget(nullptr), ctx_(ctx), setup_(setup) {
  setObjectName(QStringLiteral("fhub"));
  setWindowTitle(QStringLiteral("Fragdock"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  resize(kDesignWidth, kDesignHeight);

  bq1go = new QPushButton(this);
  bq2go = new QPushButton(this);
  bx = new QPushButton(this);
  for (auto [button, name] : {std::pair{bq1go, "bq1go"}, {bq2go, "bq2go"}, {bx, "bx"}}) {
    button->setObjectName(QString::fromLatin1(name));
    button->hide();
  }
  connect(bx, &QPushButton::clicked, this, &QWidget::close);
  connect(bq1go, &QPushButton::clicked, this, &Tfhub::bq1goClick);
  connect(bq2go, &QPushButton::clicked, this, &Tfhub::bq2goClick);

  buildPages();
  FormCreate();

  tsizecheck = new QTimer(this);
  tsizecheck->setInterval(100);
  connect(tsizecheck, &QTimer::timeout, this, &Tfhub::tsizecheckTimer);
  tsizecheck->start();
  typer_ = new QTimer(this);
  typer_->setInterval(40);
  connect(typer_, &QTimer::timeout, this, &Tfhub::typeTitleStep);

  connect(&setup_, &Tfsetup::mainSizeRequested, this, [this](int w, int h) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(w, h);
    update();
  });
  connect(&setup_, &Tfsetup::backgroundPicked, this, &Tfhub::setBackgrounds);
}

void Tfhub::buildPages() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  aaaNotebook = new QStackedWidget(this);
  aaaNotebook->setObjectName(QStringLiteral("aaaNotebook"));
  TabSet = new QTabBar(this);
  TabSet->setObjectName(QStringLiteral("TabSet"));
  TabSet->setShape(QTabBar::RoundedSouth);
  TabSet->setDrawBase(false);
  TabSet->setExpanding(false);
  TabSet->setFixedHeight(kTabHeight);
  layout->addWidget(aaaNotebook, 1);
  layout->addWidget(TabSet);

  for (int i = 0; i < kPageCount; ++i) {
    auto* page = new PageFrame(QString::fromLatin1(kPages[i].caption), QString::fromLatin1(kPages[i].back));
    pages[i] = page;
    aaaNotebook->addWidget(page);
    if (kPages[i].game == 0) buildInfoPage(page);
    else addStartButtons(page, kPages[i].game);
  }
  q1prev = makePreview(QStringLiteral("q1prev"), pages[Q1Mod]->box(), QRect(392, 48, 240, 180));
  q1skin = makePreview(QStringLiteral("q1skin"), pages[Q1Skins]->box(), QRect(392, 48, 240, 180));
  q2prev = makePreview(QStringLiteral("q2prev"), pages[Q2Mod]->box(), QRect(392, 48, 240, 180));
  iq2sp = makePreview(QStringLiteral("iq2sp"), pages[Q2Models]->box(), QRect(392, 48, 240, 180));
  q1stuff = new Q1StuffPage(ctx_, pages[Q1Stuff]->box());
  q2stuff = new Q2StuffPage(ctx_, pages[Q2Stuff]->box());
}

void Tfhub::addStartButtons(PageFrame* page, int game) {
  QPushButton* quit = page->addBottomButton(QStringLiteral("bx1"), QStringLiteral("Quit"), QStringLiteral("quit"), 0);
  connect(quit, &QPushButton::clicked, bx, &QPushButton::click);
  if (game == 1) {
    QPushButton* start = page->addBottomButton(QStringLiteral("bq1go1"), QStringLiteral("Start Quake"),
                                               QStringLiteral("Start Quake 1"), 1);
    connect(start, &QPushButton::clicked, bq1go, &QPushButton::click);
  } else {
    QPushButton* start = page->addBottomButton(QStringLiteral("bq2go1"), QStringLiteral("Start Quake 2"),
                                               QStringLiteral("Start Quake 2"), 1);
    connect(start, &QPushButton::clicked, bq2go, &QPushButton::click);
  }
  page->addHeading(page->objectName());
}

void Tfhub::buildInfoPage(PageFrame* page) {
  QWidget* box = page->box();
  lscroll = new QLabel(QStringLiteral(" "), box);
  lscroll->setObjectName(QStringLiteral("lscroll"));
  lscroll->setProperty("role", "title");
  lscroll->setGeometry(24, 20, 600, 56);
  HarmFade1 = new QLabel(box);
  HarmFade1->setObjectName(QStringLiteral("HarmFade1"));
  HarmFade1->setAlignment(Qt::AlignCenter);
  HarmFade1->setGeometry(126, 96, 400, 260);
  HarmFade1->setGraphicsEffect(new QGraphicsOpacityEffect(HarmFade1));
  static_cast<QGraphicsOpacityEffect*>(HarmFade1->graphicsEffect())->setOpacity(0.0);

  QPushButton* quit = page->addBottomButton(QStringLiteral("bx1"), QStringLiteral("Quit"), QStringLiteral("quits"), 0);
  connect(quit, &QPushButton::clicked, bx, &QPushButton::click);
  QPushButton* q2 = page->addBottomButton(QStringLiteral("bq2go1"), QStringLiteral("Start Quake 2"),
                                          QStringLiteral("Start Quake 2"), 1);
  connect(q2, &QPushButton::clicked, bq2go, &QPushButton::click);
  QPushButton* q1 = page->addBottomButton(QStringLiteral("bq1go1"), QStringLiteral("Start Quake"),
                                          QStringLiteral("Start Quake 1"), 2);
  connect(q1, &QPushButton::clicked, bq1go, &QPushButton::click);
  CoolButton1 = page->addBottomButton(QStringLiteral("CoolButton1"), QStringLiteral("Setup"),
                                      QStringLiteral("folders, executables, background, window size"), 4);
  connect(CoolButton1, &QPushButton::clicked, this, &Tfhub::CoolButton1Click);
}

void Tfhub::FormCreate() {
  for (const PageDef& def : kPages) TabSet->addTab(QString::fromLatin1(def.caption));
  connect(TabSet, &QTabBar::currentChanged, this, &Tfhub::TabSetClick);
  TabSet->setCurrentIndex(0);
  TabSetClick(0);
}

void Tfhub::TabSetClick(int index) { aaaNotebook->setCurrentIndex(index); }

void Tfhub::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (firstActivation_) FormActivate();
}

// The loading that runs on the first activation only: the window is hidden and
// shown again around the setup dialog, and nothing must be filled twice.
void Tfhub::FormActivate() {
  const AppSettings& app = ctx_.vars.app;
  resize(kDesignWidth + app.xinc, kDesignHeight + app.yinc);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  setup_.showIncrements();

  ctx_.switches.on = LoadNamedPicture(ctx_.vars.programFolder + "knoppja");
  ctx_.switches.off = LoadNamedPicture(ctx_.vars.programFolder + "knoppno");
  setup_.refreshSwitches();

  DeleteLeftoverStartScripts(ctx_.vars);

  setBackgrounds(ctx_.background);
  for (QLabel* preview : {q1prev, q1skin, q2prev, iq2sp}) preview->setPixmap(ctx_.placeholder);

  setup_.infoupdate();
  setup_.efdockback->setText(ShowStored(app.fdockback));
  emit setup_.quakeWorldChanged(ctx_.vars.q1.QuakeWorld);
  q1stuff->loadControls();
  q2stuff->loadControls();
  q1stuff->fillConfigSets();
  q2stuff->fillConfigSets();

  firstActivation_ = false;
  CleanUpLeftovers(ctx_.vars.programFolder);
  HarmFade1->setPixmap(LoadNamedPicture(ctx_.vars.programFolder + "fdk"));
  fadeLogo(true);
  startTitle();
}

void Tfhub::setBackgrounds(const QPixmap& picture) {
  for (PageFrame* page : pages) page->setBackground(picture);
}

QSize Tfhub::lockedClientSize() const {
  return {kLockWidth + ctx_.vars.app.xinc, kLockHeight + ctx_.vars.app.yinc};
}

void Tfhub::tsizecheckTimer() {
  if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) showNormal();
  QSize want = lockedClientSize();
  if (size() != want || minimumSize() != want) setFixedSize(want);
}

void Tfhub::CoolButton1Click() {
  hide();
  setup_.exec();
  show();
}

void Tfhub::startTitle() {
  typed_ = 0;
  lscroll->setText(QStringLiteral(" "));
  typer_->start();
}

void Tfhub::typeTitleStep() {
  ++typed_;
  lscroll->setText(QStringLiteral(" ") + kTitle.left(typed_));
  lscroll->repaint();
  if (typed_ >= kTitle.size()) typer_->stop();
}

void Tfhub::fadeLogo(bool in) {
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

void Tfhub::FormClose() {
  if (Status saved = SaveSettings(ctx_.vars); !saved) {
    const QString text =
        QStringLiteral("Your settings could not be saved:\n%1").arg(QString::fromStdString(saved.error().text));
    // A close that a signal asked for must end: nobody may be there to answer a box.
    if (closingFromSignal_) ctx_.messages.log(text);
    else ctx_.messages.warn(text);
  }
  CleanUpLeftovers(ctx_.vars.programFolder);
  if (TabSet->currentIndex() == Info && isVisible()) fadeLogo(false);
}

void Tfhub::closeFromSignal() {
  closingFromSignal_ = true;
  close();
}

void Tfhub::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    typer_->stop();
    tsizecheck->stop();
    FormClose();
    emit closed();
  }
  event->accept();
}

}  // namespace fdk
