#include "hub/hub.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "core/launch/cleanup.h"
#include "app/pictures.h"
#include "dialogs/setup.h"
#include "pages/infopage.h"
#include "pages/mappage.h"
#include "pages/modpage.h"
#include "pages/q1skinspage.h"
#include "pages/q1stuffpage.h"
#include "pages/q2modelspage.h"
#include "pages/q2stuffpage.h"

namespace fdk {

namespace {
constexpr int kDesignWidth = 652;
constexpr int kDesignHeight = 520;
constexpr int kLockWidth = 650;
constexpr int kLockHeight = 519;
constexpr int kTabHeight = 21;

// One page of the main window: where its tab stands, its caption (also the
// frame's name), its background image's name, whose start buttons it carries
// (1, 2, or 0 for both, on Info) and how it is made.
struct PageRow {
  Tfhub::PageIndex index;
  const char* caption;
  const char* back;
  int game;
  HubPage* (*make)(const PageSite& site);
};

using S = const PageSite&;
constexpr PageRow kPages[] = {
    {Tfhub::Info, "Info", "backi", 0, [](S s) -> HubPage* { return new InfoPage(s); }},
    {Tfhub::Q1Mod, "Q1 MOD", "backq1p", 1, [](S s) -> HubPage* { return new ModPage(s.ctx, s.frame, Game::Quake1); }},
    {Tfhub::Q1Maps, "Q1 Maps", "backq1m", 1, [](S s) -> HubPage* { return new MapPage(s.ctx, s.frame, Game::Quake1); }},
    {Tfhub::Q1Skins, "Q1 Skins", "backq1s", 1, [](S s) -> HubPage* { return new Q1SkinsPage(s.ctx, s.frame); }},
    {Tfhub::Q1Stuff, "Q1 Stuff", "backq1st", 1, [](S s) -> HubPage* { return new Q1StuffPage(s.ctx, s.frame->box()); }},
    {Tfhub::Q2Mod, "Q2 MOD", "backq2p", 2, [](S s) -> HubPage* { return new ModPage(s.ctx, s.frame, Game::Quake2); }},
    {Tfhub::Q2Maps, "Q2 Maps", "backq2m", 2, [](S s) -> HubPage* { return new MapPage(s.ctx, s.frame, Game::Quake2); }},
    {Tfhub::Q2Models, "Q2 Models", "backq2s", 2, [](S s) -> HubPage* { return new Q2ModelsPage(s.ctx, s.frame); }},
    {Tfhub::Q2Stuff, "Q2 Stuff", "backq2st", 2, [](S s) -> HubPage* { return new Q2StuffPage(s.ctx, s.frame->box()); }},
};

// The tabs stand in the table's order, and each page's index names its tab.
constexpr bool inTabOrder() {
  int i = 0;
  for (const PageRow& row : kPages)
    if (row.index != i++) return false;
  return i == Tfhub::kPageCount;
}
static_assert(inTabOrder(), "one page table row per tab, in tab order");

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

  for (const PageRow& row : kPages) {
    auto* frame = new PageFrame(QString::fromLatin1(row.caption), QString::fromLatin1(row.back));
    pages[row.index] = frame;
    aaaNotebook->addWidget(frame);
    addStartButtons(frame, row.game);
    hosted_[row.index] = row.make({ctx_, frame, setup_});
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
  for (const PageRow& row : kPages) TabSet->addTab(QString::fromLatin1(row.caption));
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

  for (PageIndex page : kBeforeSetupFields) hosted_[page]->firstActivation();
  setup_.infoupdate();
  setup_.showBackgroundName();
  for (PageIndex page : kAfterSetupFields) hosted_[page]->firstActivation();

  firstActivation_ = false;
  CleanUpLeftovers(ctx_.vars.scratchFolder());
  hosted_[Info]->firstActivation();  // the logo and the title come last
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

void Tfhub::FormClose() {
  for (HubPage* page : hosted_) page->aboutToClose();
  if (Status saved = SaveSettings(ctx_.vars); !saved) {
    const QString text =
        QStringLiteral("Your settings could not be saved:\n%1").arg(QString::fromStdString(saved.error().text));
    // A close that a signal asked for must end: nobody may be there to answer a box.
    if (closingFromSignal_) ctx_.messages.log(text);
    else ctx_.messages.warn(text);
  }
  CleanUpLeftovers(ctx_.vars.scratchFolder());
  for (HubPage* page : hosted_) page->closed();
}

void Tfhub::closeFromSignal() {
  closingFromSignal_ = true;
  close();
}

void Tfhub::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    tsizecheck->stop();
    FormClose();
    emit closed();
  }
  event->accept();
}

}  // namespace fdk
