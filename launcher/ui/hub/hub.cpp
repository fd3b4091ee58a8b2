#include "hub/hub.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "pages/addonpage.h"
#include "core/launch/cleanup.h"
#include "pages/infopage.h"
#include "pages/mappage.h"
#include "pages/modpage.h"
#include "pages/q1skinspage.h"
#include "pages/q2modelspage.h"
#include "app/pictures.h"
#include "pages/q1stuffpage.h"
#include "pages/q2stuffpage.h"
#include "dialogs/setup.h"

namespace fdk {

namespace {
constexpr int kDesignWidth = 652;
constexpr int kDesignHeight = 520;
constexpr int kLockWidth = 650;
constexpr int kLockHeight = 519;
constexpr int kTabHeight = 21;

struct PageDef {
  const char* caption;
  const char* back;
  int game;  // whose start button the page carries: 1, 2, or 0 for both (Info)
};
// Each page names its own preview picture where it has one.
const PageDef kPages[Tfhub::kPageCount] = {
    {"Info", "backi", 0},     {"Q1 MOD", "backq1p", 1}, {"Q1 Maps", "backq1m", 1},
    {"Q1 Skins", "backq1s", 1}, {"Q1 Stuff", "backq1st", 1}, {"Q2 MOD", "backq2p", 2},
    {"Q2 Maps", "backq2m", 2}, {"Q2 Models", "backq2s", 2}, {"Q2 Stuff", "backq2st", 2},
};

// The order in which the pages fill themselves when the main window first shows:
// MOD lists, model lists, (the setup dialog's fields), options, config sets, maps, skins.
const Tfhub::PageIndex kBeforeSetupFields[] = {Tfhub::Q1Mod, Tfhub::Q2Mod, Tfhub::Q2Models};
const Tfhub::PageIndex kAfterSetupFields[] = {Tfhub::Q1Stuff, Tfhub::Q2Stuff, Tfhub::Q1Maps, Tfhub::Q2Maps,
                                              Tfhub::Q1Skins};
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

  connect(&setup_, &Tfsetup::mainSizeRequested, this, [this](int w, int h) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(w, h);
    update();
  });
  connect(&setup_, &Tfsetup::backgroundPicked, this, &Tfhub::setBackgrounds);
  connect(&setup_, &Tfsetup::quakeWorldChanged, static_cast<Q1SkinsPage*>(hosted[Q1Skins]),
          &Q1SkinsPage::enableButtons);
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
    auto* frame = new PageFrame(QString::fromLatin1(kPages[i].caption), QString::fromLatin1(kPages[i].back));
    pages[i] = frame;
    aaaNotebook->addWidget(frame);
    addStartButtons(frame, kPages[i].game);
    hosted[i] = makePage(i, frame);
  }
  q1prev = static_cast<AddOnPage*>(hosted[Q1Mod])->preview();
  q1skin = static_cast<AddOnPage*>(hosted[Q1Skins])->preview();
  q2prev = static_cast<AddOnPage*>(hosted[Q2Mod])->preview();
  iq2sp = static_cast<AddOnPage*>(hosted[Q2Models])->preview();
  lscroll = info->lscroll;
  HarmFade1 = info->HarmFade1;
  CoolButton1 = info->CoolButton1;
  connect(CoolButton1, &QPushButton::clicked, this, &Tfhub::CoolButton1Click);
  // A deletion on either Maps page shows both games' installed maps again.
  for (PageIndex from : {Q1Maps, Q2Maps})
    for (PageIndex to : {Q1Maps, Q2Maps})
      connect(static_cast<MapPage*>(hosted[from]), &MapPage::installedChanged, static_cast<MapPage*>(hosted[to]),
              &MapPage::refreshInstalled);
}

HubPage* Tfhub::makePage(int index, PageFrame* frame) {
  switch (index) {
    case Info: return info = new InfoPage(ctx_, frame);
    case Q1Stuff: return q1stuff = new Q1StuffPage(ctx_, frame->box());
    case Q2Stuff: return q2stuff = new Q2StuffPage(ctx_, frame->box());
    case Q1Mod: return new ModPage(ctx_, frame, Game::Quake1);
    case Q2Mod: return new ModPage(ctx_, frame, Game::Quake2);
    case Q1Maps: return new MapPage(ctx_, frame, Game::Quake1);
    case Q2Maps: return new MapPage(ctx_, frame, Game::Quake2);
    case Q1Skins: return new Q1SkinsPage(ctx_, frame);
    case Q2Models: return new Q2ModelsPage(ctx_, frame);
    default: return new AddOnPage(ctx_, frame, QString());  // every page has its own case
  }
}

void Tfhub::addStartButtons(PageFrame* page, int game) {
  QPushButton* quit = page->addBottomButton(QStringLiteral("bx1"), QStringLiteral("Quit"),
                                            game == 0 ? QStringLiteral("quits") : QStringLiteral("quit"), 0);
  connect(quit, &QPushButton::clicked, bx, &QPushButton::click);
  // The Info page carries both start buttons, Quake 2 nearer the Quit button.
  int slot = 1;
  for (int g : {2, 1}) {
    if (game != 0 && game != g) continue;
    QPushButton* start =
        page->addBottomButton(g == 1 ? QStringLiteral("bq1go1") : QStringLiteral("bq2go1"),
                              g == 1 ? QStringLiteral("Start Quake") : QStringLiteral("Start Quake 2"),
                              g == 1 ? QStringLiteral("Start Quake 1") : QStringLiteral("Start Quake 2"), slot++);
    connect(start, &QPushButton::clicked, g == 1 ? bq1go : bq2go, &QPushButton::click);
  }
  if (game != 0) page->addHeading(page->objectName());
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

  for (PageIndex page : kBeforeSetupFields) hosted[page]->firstActivation();
  setup_.infoupdate();
  setup_.showBackgroundName();
  emit setup_.quakeWorldChanged(ctx_.vars.q1.QuakeWorld);
  for (PageIndex page : kAfterSetupFields) hosted[page]->firstActivation();

  firstActivation_ = false;
  CleanUpLeftovers(ctx_.vars.programFolder);
  hosted[Info]->firstActivation();  // the logo and the title come last
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

void Tfhub::FormClose() {
  for (HubPage* page : hosted) page->aboutToClose();
  if (Status saved = SaveSettings(ctx_.vars); !saved) {
    const QString text =
        QStringLiteral("Your settings could not be saved:\n%1").arg(QString::fromStdString(saved.error().text));
    // A close that a signal asked for must end: nobody may be there to answer a box.
    if (closingFromSignal_) ctx_.messages.log(text);
    else ctx_.messages.warn(text);
  }
  CleanUpLeftovers(ctx_.vars.programFolder);
  if (TabSet->currentIndex() == Info && isVisible()) info->fadeLogo(false);
}

void Tfhub::closeFromSignal() {
  closingFromSignal_ = true;
  close();
}

void Tfhub::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    info->stopTitle();
    tsizecheck->stop();
    FormClose();
    emit closed();
  }
  event->accept();
}

}  // namespace fdk
