#pragma once
// The setup dialog: where the games, their executables, the add-on folders, the
// background picture and the window size are set.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <vector>

#include "app/context.h"
#include "pages/optionswitch.h"

namespace fdk {

struct SetupRow;

class Tfsetup : public QDialog {
  Q_OBJECT
 public:
  explicit Tfsetup(LauncherContext& ctx, QWidget* parent = nullptr);

  // Copies the twelve folder and executable settings into the edits.
  void infoupdate();
  // Shows the stored background name; the edit itself is never read back.
  void showBackgroundName();
  // Puts the stored window-size increments into the spin edits.
  void showIncrements();
  // Takes the shared switch pictures once they are loaded.
  void refreshSwitches();
  void setBackground(const QPixmap& picture);

  QLineEdit *eq1p, *eq1exe, *ep1p, *em1p, *es1p, *eq1cfg;
  QLineEdit *eq2p, *eq2exe, *ep2p, *em2p, *es2p, *eq2cfg;
  QLineEdit* efdockback;
  QPushButton *bq1p, *bq1exe, *bp1p, *bm1p, *bs1p, *bbq1cfg;
  QPushButton *bq2p, *bq2exe, *bp2p, *bm2p, *bs2p, *bbq2cfg;
  QPushButton* Bfdockback;
  OptionSwitch* bq1qw;
  QSpinBox *sexinc, *seyinc;
  QPushButton* bdone;
  // Beside each EXE row: the engines found on this machine, and the argument that
  // tells the engine where the game folder is.
  QComboBox *cq1engines, *cq2engines;
  QComboBox *cq1basearg, *cq2basearg;

  // The folders searched for known engines, as PATH lists them.
  std::string searchPath;
  // Lists the engines found for both games again and shows the chosen ones.
  void fillEngines();

  // Pickers ask through these, so that tests can answer for the user.
  // An empty answer means the user cancelled.
  std::function<QString(const QString& title, const QString& start)> pickFolder;
  enum class FilePick { Program, Background };
  std::function<QString(const QString& title, const QString& start, FilePick what)> pickFile;

 signals:
  void mainSizeRequested(int width, int height);
  void backgroundPicked(const QPixmap& picture);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  LauncherContext& ctx_;
  QLabel* back_;
  bool updating_ = false;

  struct FolderRow {
    QLineEdit* edit;
    std::string* setting;
  };
  std::vector<FolderRow> rows_;

  void buildRow(int row, const SetupRow& def);
  void wireFolderPicker(QPushButton* button, std::string* setting, const QString& title);
  void wireExePicker(QPushButton* button, Game game);
  void buildSizeEdits();
  void buildEngineRow(Game game, int row);
  void fillEngineList(Game game, QComboBox* engines);
  void engineChosen(Game game, QComboBox* engines);
  void showBaseArgument(Game game, QComboBox* baseArg);

  void BfdockbackClick();
  void bq1qwClick();
  void sexincChange(int value);
  void seyincChange(int value);
  void applySizes();
};

}  // namespace fdk
