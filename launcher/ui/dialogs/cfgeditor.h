#pragma once
// The two player configuration editors: the files of the chosen config set, the
// player's name (and the Quake 2 model and skin) taken out of the chosen file
// into fields, the rest of the file as free text, and SAVE writing both back.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "app/context.h"
#include "core/editors/cfgedit.h"

namespace fdk {

// What both editors share: one layout, the file chooser, the name and the memo.
class CfgEditor : public QDialog {
  Q_OBJECT
 public:
  QLineEdit* lconfig2;  // the set's name, read-only
  QComboBox* cbfile;    // the set's files
  QLineEdit* ename;
  QPlainTextEdit* m;  // the file without the lines taken into the fields
  QPushButton *bsave, *bdone;

  // Shows the set's name, lists its files and builds the model lists; the memo
  // and the fields keep what they held.
  void FormActivate();
  // Loads the chosen file; one that cannot be read leaves everything as it was.
  void cbfileClick(int index);
  // Moves the player lines out of the memo into the fields.
  void dodacheckClick();
  virtual void bcreatelistClick() {}
  // Writes the memo and the field lines to the file loaded last, then takes the
  // field lines back out of the memo.
  void bsaveClick();
  void bdoneClick() { accept(); }

  // Where the file loaded last lies ("" before one is loaded).
  const std::string& loadedPath() const { return loadedPath_; }

 protected:
  CfgEditor(LauncherContext& ctx, Game game, QWidget* parent);

  // The fields as the store's bytes, and showing fields the memo gave up.
  virtual PlayerFields fieldsForSave() const;
  virtual void showFields(const PlayerFields& fields);
  // After a file is loaded: the Quake 2 editor offers the skins of its model.
  virtual void fileLoaded() {}

  // The y of the row below the name, where the Quake 2 editor puts model and skin.
  static constexpr int kModelRow = 156;
  void placeContent(int top);

  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

  LauncherContext& ctx_;
  GameSettings& g_;

 private:
  Game game_;
  QLabel* back_;
  QLabel* contentLabel_;
  std::vector<ConfigSetFile> files_;  // index-aligned with cbfile's items
  std::string loadedPath_;
  std::string memoBytes_;  // what the memo shows, as the file's bytes (lines joined by LF)
  std::string nameBytes_;

  QLabel* addLabel(const char* text, int x, int y, int width);
  void buildControls();
  std::string memoLines() const;
  void showMemo(const std::vector<std::string>& lines);
  void selectLoadedFile();
};

// The Quake 2 editor: name, model and skin.
class Tfq2cfgedit : public CfgEditor {
  Q_OBJECT
 public:
  Tfq2cfgedit(LauncherContext& ctx, QWidget* parent = nullptr);

  QComboBox *cbmodel, *cbskin;
  // The models of the Q2 Models page's Installed and Choosen lists, with their skins.
  ModelChoices lists;

  void bcreatelistClick() override;
  void cbmodelClick();
  // Offers the skins of the model cbmodel shows (when any skin is known at all).
  void refillSkins();

 protected:
  PlayerFields fieldsForSave() const override;
  void showFields(const PlayerFields& fields) override;
  void fileLoaded() override { refillSkins(); }

 private:
  std::string modelBytes_, skinBytes_;
};

// The Quake editor: the name only; QuakeWorld decides the line SAVE writes.
class TfQ1cfgedit : public CfgEditor {
  Q_OBJECT
 public:
  TfQ1cfgedit(LauncherContext& ctx, QWidget* parent = nullptr);
};

// The "edit" button right of a config-set combo, on the combo's parent.
inline constexpr int kEditWidth = 34;
QPushButton* AddEditButton(const char* name, QComboBox* combo);

// What an "edit" button does: hides the main window, shows the editor modally and
// shows the main window again. Without a chosen config set there are no files to
// edit, and the player is told so instead.
void OpenConfigEditor(LauncherContext& ctx, Game game, CfgEditor& editor, QWidget* mainWindow);

}  // namespace fdk
