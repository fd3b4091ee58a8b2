#include "pages/prelaunchpanel.h"

#include <algorithm>

#include "app/captions.h"
#include "core/checks/lettercase.h"
#include "core/checks/prelaunch.h"
#include "core/platform/paths.h"
#include "pages/optionrows.h"

namespace fdk {

namespace {
// Above the page's Start and Quit buttons, which stand at the box's bottom right.
constexpr int kButtonsY = 432;
constexpr int kButtonsRight = 640;  // the Quit button's right edge
constexpr int kCaptionWidth = 150;
constexpr int kListRight = 396;  // clear of the buttons above Start

// Placed with its right edge at `right`, as wide as its caption needs (at least a start button's width).
QPushButton* addButton(QWidget* box, const char* name, const QString& caption, const QString& hint, int right) {
  auto* button = new QPushButton(caption, box);
  button->setObjectName(QString::fromLatin1(name));
  const int width = std::max(110, button->sizeHint().width());
  button->setGeometry(right - width, kButtonsY, width, 24);
  GiveHint(button, hint);
  button->hide();
  return button;
}
}  // namespace

PreLaunchPanel::PreLaunchPanel(LauncherContext& ctx, Game game, OptionRows& rows, QWidget* box, PanelPlace at)
    : QObject(box), ctx_(ctx), game_(game) {
  QLabel* caption = rows.addLabel("lchecks", QStringLiteral("Pre-launch checks"), at.x, at.y, kCaptionWidth);
  lbchecks = new QListWidget(box);
  lbchecks->setObjectName(QStringLiteral("lbchecks"));
  const int left = at.x + kCaptionWidth + 2;
  lbchecks->setGeometry(left, at.y, kListRight - left, at.listHeight);
  lbchecks->setWordWrap(true);
  lbchecks->setSpacing(2);
  lbchecks->setSelectionMode(QAbstractItemView::NoSelection);
  NameByCaption(lbchecks, caption);
  GiveHint(lbchecks, QStringLiteral("what will go wrong when the game starts; empty when all is well"));
  bundocase = addButton(box, "bundocase", QStringLiteral("Undo letter case"),
                        QStringLiteral("puts back the names the letter-case fix changed"), kButtonsRight);
  bfixcase = addButton(box, "bfixcase", QStringLiteral("Fix letter case"),
                       QStringLiteral("renames the base folder, the MOD folder and the PAK files to lower case"),
                       bundocase->x() - 6);
  connect(bfixcase, &QPushButton::clicked, this, &PreLaunchPanel::bfixcaseClick);
  connect(bundocase, &QPushButton::clicked, this, &PreLaunchPanel::bundocaseClick);
}

void PreLaunchPanel::refresh() {
  Tzipform catalogue;
  const std::vector<Finding> findings = PreLaunchChecks(ctx_.vars, game_, catalogue);
  lbchecks->clear();
  for (const Finding& finding : findings) {
    auto* item = new QListWidgetItem(QString::fromStdString(finding.text), lbchecks);
    item->setToolTip(item->text());
  }
  bfixcase->setVisible(HasLetterCaseFinding(findings));
  bundocase->setVisible(entryExists(LetterCaseRecordPath(ctx_.vars, game_)));
}

void PreLaunchPanel::bfixcaseClick() {
  Tzipform catalogue;
  const GameSettings& g = ctx_.vars.game(game_);
  const RenameRun run =
      FixLetterCase(LetterCasePlan(ctx_.vars, game_, catalogue), g.Path, LetterCaseRecordPath(ctx_.vars, game_));
  ctx_.messages.inform(QString::fromStdString(RenameRunText(run, false)));
  refresh();
}

void PreLaunchPanel::bundocaseClick() {
  const RenameRun run = UndoLetterCase(LetterCaseRecordPath(ctx_.vars, game_));
  ctx_.messages.inform(QString::fromStdString(RenameRunText(run, true)));
  refresh();
}

}  // namespace fdk
