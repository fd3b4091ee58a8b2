#pragma once
// The "Q2 Models" page: the model packs of the model store ("Available"), the
// packs chosen for the next launch ("Choosen") and the models installed in the
// game ("Installed"), each pack or model opened to its skins by a double-click;
// the preview picture, the model preview in meshpeek, and deleting models.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "core/content/models.h"
#include "pages/addonpage.h"

namespace fdk {

class Q2ModelsPage : public AddOnPage {
  Q_OBJECT
 public:
  // What the Available and the Installed list show: models (packs), or the skins of one.
  enum class Level { Models, Skins };
  // Where the last skin-level click was, which decides where the model preview reads its files.
  enum class SkinList { None, Available, Installed };

  Q2ModelsPage(LauncherContext& ctx, PageFrame* frame);

  void firstActivation() override;

  QListWidget* lbq2sm;   // Available
  QListWidget* lbq2smc;  // Choosen
  QListWidget* lbq2si;   // Installed
  QLabel* lq2wm;         // the current model, or "(back)"
  QPushButton* bq2sr;    // adds a skin
  QPushButton* bq2sl;    // removes a skin
  QPushButton* bq2skinprev;
  QPushButton* bq2delskin;

  Level availableLevel() const { return availableLevel_; }
  Level installedLevel() const { return installedLevel_; }
  const std::string& curq2model() const { return curq2model_; }
  const std::string& curq2skin() const { return curq2skin_; }
  const std::string& q2previewargs() const { return q2previewargs_; }

  void lbq2smClick(QListWidgetItem* item);
  void lbq2siClick(QListWidgetItem* item);
  void lbq2smcClick(QListWidgetItem* item);
  void lbq2smDblClick(QListWidgetItem* item);
  void lbq2siDblClick(QListWidgetItem* item);
  void bq2srClick();
  void bq2slClick();
  void RefreshChosenList();
  void bq2delskinClick();
  void bq2skinprevClick();
  void iq2spClick();
  // Installs the chosen packs into the Quake 2 folder with the progress window
  // (the hidden bq2copymodels); what was left out is told in one message.
  void bq2copymodelsClick();

  // How long the model preview waits for meshpeek before the launcher goes on.
  int previewWaitLimitMs = 30 * 60 * 1000;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Level availableLevel_ = Level::Models;
  Level installedLevel_ = Level::Models;
  SkinList lastSkinList_ = SkinList::None;
  std::string curq2model_, curq2skin_, q2previewargs_;
  std::string openPack_;  // the pack whose skins Available shows at skin level
  Tzipform openPackEntries_;  // its catalogue, which the skin previews extract from

  void connectHandlers();
  void fillAvailable();
  void fillInstalled();
  void showInstalledShown();
  void modelClick(const std::string& text, const std::string& folder);
  void appendWholePacks(const std::vector<std::string>& packs);
  void showPicture(const PreviewPicture& picture);
  void showPackSkin();
  void showPlaceholder();
  bool extractForPreview(const std::string& fileName, const std::string& folder);
  void waitForViewer(pid_t pid, const std::string& output);
};

}  // namespace fdk
