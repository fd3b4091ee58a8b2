#pragma once
// The "Q1 Stuff" page: every Quake start option as a switch with its value.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "pages/optionpage.h"

namespace fdk {

class TfQ1cfgedit;

class Q1StuffPage : public OptionPage {
  Q_OBJECT
 public:
  Q1StuffPage(LauncherContext& ctx, QWidget* box);

  // Puts the stored options into the controls (at start-up).
  void loadControls();
  // Fills the config-set combo from the CFG folder.
  void fillConfigSets();

  OptionSwitch *bq1useterm, *bq1dedicated, *bq1listen, *bq1nojoy, *bq1nosound, *bq1NoCDAudio;
  OptionSwitch *bq1dm, *bq1coop, *bq1tp, *bq1noexit, *bq1pause, *bq1nodemo, *bq1winmem;
  OptionSwitch *bq1map, *bq1samelevel, *bq1timelimit, *bq1fraglimit, *bq1hostname, *bq1connect, *bq1cfg;
  QLineEdit *eq1dedicatedb, *eq1listenb, *eq1dm, *eq1coop, *eq1tp, *eq1noexit, *eq1winmem;
  QLineEdit *eq1samelevel, *eq1timelimit, *eq1fraglimitb, *eq1hostname, *eq1connect, *eq1cmdline;
  QComboBox *Cbq1map, *Cbq1cfg;
  QPushButton* q1editcfg;  // "edit": the player editor on the chosen config set

  // The player editor, made on the first "edit" and kept for the run.
  TfQ1cfgedit* editor() const { return editor_; }

 private:
  void buildLeftColumn();
  void buildRightColumn();
  void wirePlainSwitches();
  void wireRuleSwitches();
  void wireFields();

  void Cbq1mapChange(const QString& text);
  void Cbq1mapDropDown();
  void Cbq1cfgClick(const QString& item);
  void Cbq1cfgChange(const QString& text);
  void q1editcfgClick();

  TfQ1cfgedit* editor_ = nullptr;
};

}  // namespace fdk
