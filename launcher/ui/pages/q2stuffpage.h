#pragma once
// The "Q2 Stuff" page: the Quake 2 start options and the deathmatch flags.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "pages/optionpage.h"

namespace fdk {

class Tfq2cfgedit;

class Q2StuffPage : public OptionPage {
  Q_OBJECT
 public:
  Q2StuffPage(LauncherContext& ctx, QWidget* box);

  void loadControls();
  void fillConfigSets();

  OptionSwitch *bq2useterm, *bq2dedicated, *bq2dm, *bq2coop, *bq2tp, *bq2noexit, *bq2nodemo, *bq2map;
  OptionSwitch *bq2samelevel, *bq2timelimit, *bq2fraglimit, *bq2hostname, *bq2connect, *bq2cfg, *bq2cml;
  OptionSwitch *bq2maxclients, *bq2quaddrop, *bq2weaponstay, *bq2spawnf, *bq2NoHealth, *bq2NoPowerups;
  OptionSwitch *bq2NoFallDam, *bq2InPower, *bq2Fspawn, *bq2noarmor, *bq2InAmmo, *bq2NoFriendFire, *bq2FixedFov;
  OptionSwitch* bq2cd;
  QLineEdit *eq2dedicatedb, *eq2dm, *eq2coop, *eq2timelimit, *eq2fraglimitb, *Eq2maxclients;
  QLineEdit *eq2hostname, *eq2connect, *Eq2cd, *eq2cmdline;
  QComboBox *cbq2map, *Cbq2cfg, *cbq2tp;
  QLabel* ldmflags;         // the flags value the start script will carry
  QPushButton* bq2editcfg;  // "edit": the player editor on the chosen config set

  // The player editor, made on the first "edit" and kept for the run.
  Tfq2cfgedit* editor() const { return editor_; }

 private:
  void buildLeftColumn();
  void buildMiddleColumn();
  void buildFlagColumn();
  void wireSwitches();
  void wireFields();
  void wireTexts();
  void countField(QLineEdit* field, int& value, const char* raise, const char* lower, int y);
  void changed() override;

  void cbq2mapDropDown();
  void cbq2tpz(const QString& item);
  void cbq2tpChange(const QString& text);
  void Cbq2cfgClick(const QString& item);
  void Cbq2cfgChange(const QString& text);
  void bq2editcfgClick();

  Tfq2cfgedit* editor_ = nullptr;
};

}  // namespace fdk
