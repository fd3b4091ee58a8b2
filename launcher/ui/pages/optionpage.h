#pragma once
// What the two option pages share. Each page is a table of rows, one per switch
// with the value that stands beside it, as the settings keys are declared once
// in the store: the table names every control once, and the page builds, wires
// and fills all of them from it.
#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/context.h"
#include "hub/hubpage.h"
#include "pages/optionrows.h"
#include "pages/prelaunchpanel.h"

namespace fdk {

class CfgEditor;

// What a click on a row's switch does to the store; the rules both games share
// live in the core, whatever each does for one game.
enum class OptionRule { Flip, Dedicated, Listen, NoDemos, Connect, Map, HostName, UseCfg };

// What stands beside a row's switch.
enum class OptionValue {
  None,
  Count,      // 0 to 255, with raise and lower buttons; a bad entry is put back
  Number,     // any whole number, with raise and lower buttons; a bad entry empties the field
  Text,       // a name or folder the switch needs
  StartMap,   // the start map: a combo whose list is rebuilt as it drops down
  ConfigSet,  // the config set: a combo that only takes choices, and "edit"
  TeamMode,   // "by Model" or "by Skin"
};

// A change of a Text value: the rule stores the text and turns off what needs it.
using TextRule = void (*)(GameSettings& g, const std::string& text);

// A column of rows at designed positions.
struct OptionColumn {
  int x;  // the switches' left edge; their labels follow them
  int labelWidth;
  int valueX;  // the values' left edge
  int valueWidth;
  int stepperX;  // the raise and lower buttons' left edge
};

struct OptionRowDef {
  int column = 0;              // index into the page's columns
  int line = 0;                // 0 is the top line
  const char* name = nullptr;  // the switch; its label is "l" + name
  const char* caption = nullptr;
  bool GameSettings::*flag = nullptr;
  OptionRule rule = OptionRule::Flip;
  OptionValue value = OptionValue::None;
  const char* valueName = nullptr;
  int GameSettings::*number = nullptr;        // Count and Number
  std::string GameSettings::*text = nullptr;  // Text
  TextRule textRule = nullptr;                // Text; none: the text is stored as typed
  const char* raise = nullptr;                // Count and Number: the raise and lower buttons
  const char* lower = nullptr;
  const char* edit = nullptr;  // ConfigSet: the "edit" button
  int valueX = 0;              // where the value is placed apart from its column's values
  int valueWidth = 0;
  bool decorative = false;  // the label in the Use Terminator letters

  constexpr OptionRowDef counted(const char* field, int GameSettings::*n, const char* up, const char* down) const {
    return withNumber(OptionValue::Count, field, n, up, down);
  }
  constexpr OptionRowDef numbered(const char* field, int GameSettings::*n, const char* up, const char* down) const {
    return withNumber(OptionValue::Number, field, n, up, down);
  }
  constexpr OptionRowDef texted(const char* field, std::string GameSettings::*t, TextRule apply = nullptr) const {
    OptionRowDef row = with(OptionValue::Text, field);
    row.text = t;
    row.textRule = apply;
    return row;
  }
  constexpr OptionRowDef startMap(const char* combo) const { return with(OptionValue::StartMap, combo); }
  constexpr OptionRowDef teamMode(const char* combo) const { return with(OptionValue::TeamMode, combo); }
  constexpr OptionRowDef configSet(const char* combo, const char* editButton) const {
    OptionRowDef row = with(OptionValue::ConfigSet, combo);
    row.edit = editButton;
    return row;
  }
  constexpr OptionRowDef placed(int x, int width) const {
    OptionRowDef row = *this;
    row.valueX = x;
    row.valueWidth = width;
    return row;
  }
  constexpr OptionRowDef inDecorativeLetters() const {
    OptionRowDef row = *this;
    row.decorative = true;
    return row;
  }

 private:
  constexpr OptionRowDef with(OptionValue kind, const char* control) const {
    OptionRowDef row = *this;
    row.value = kind;
    row.valueName = control;
    return row;
  }
  constexpr OptionRowDef withNumber(OptionValue kind, const char* field, int GameSettings::*n, const char* up,
                                    const char* down) const {
    OptionRowDef row = with(kind, field);
    row.number = n;
    row.raise = up;
    row.lower = down;
    return row;
  }
};

// A row's switch; what stands beside it is added to the row by the calls above.
constexpr OptionRowDef SwitchRow(int column, int line, const char* name, const char* caption, bool GameSettings::*flag,
                                 OptionRule rule = OptionRule::Flip) {
  OptionRowDef row;
  row.column = column;
  row.line = line;
  row.name = name;
  row.caption = caption;
  row.flag = flag;
  row.rule = rule;
  return row;
}

// The top of a line of rows.
constexpr int OptionLineY(int line) { return 52 + line * 26; }

class OptionPage : public QObject, public HubPage {
  Q_OBJECT
 public:
  // Shows the stored options in the controls, then fills the config-set combo.
  void firstActivation() override;

  // The "edit" button's handler (q1editcfgClick, bq2editcfgClick): the player
  // editor, made on the first click and kept for the run, on the chosen set.
  void editcfgClick();

 protected:
  OptionPage(LauncherContext& ctx, Game game, QWidget* box);

  // Builds the rows' switches and values. The raise and lower buttons come later
  // (addSteppers), after every field, where the Tab key has always reached them.
  void addRows(std::span<const OptionColumn> columns, std::span<const OptionRowDef> rows);
  // The "Command Line" row: a label and a field, without a switch.
  void addCommandLine(const char* labelName, const char* fieldName, int x, int y);
  // The read-only "Command line preview" under it: the words "Start" runs now.
  void addCommandPreview(int x, int y);
  // The pre-launch checks, run again whenever the page is shown.
  void addPreLaunchChecks(PanelPlace at);
  void addSteppers();

  // Shows every switch again (and whatever else a page derives from the options).
  virtual void changed();

  // The page is shown: settings other windows changed show in the preview.
  bool eventFilter(QObject* watched, QEvent* event) override;

  LauncherContext& ctx_;
  Game game_;
  GameSettings& g_;
  OptionRows rows_;

 private:
  struct Stepper {
    const OptionRowDef* row;
    int x;
    QLineEdit* field;
  };

  std::vector<std::function<void()>> loaders_;  // each shows one stored value
  std::vector<Stepper> steppers_;
  QComboBox* configSets_ = nullptr;
  QPushButton* editButton_ = nullptr;
  CfgEditor* editor_ = nullptr;
  QLineEdit* preview_ = nullptr;
  PreLaunchPanel* checks_ = nullptr;

  void addRow(const OptionColumn& column, const OptionRowDef& row);
  QWidget* addValue(const OptionColumn& column, const OptionRowDef& row);
  void wireSwitch(OptionSwitch* sw, const OptionRowDef& row, QWidget* value);
  void applyRule(const OptionRowDef& row, QWidget* value);

  QLineEdit* addNumberField(const OptionRowDef& row, QRect at);
  QLineEdit* addTextField(const OptionRowDef& row, QRect at);
  QComboBox* addStartMap(const OptionRowDef& row, QRect at);
  QComboBox* addConfigSet(const OptionRowDef& row, QRect at);
  QComboBox* addTeamMode(const OptionRowDef& row, QRect at);
  void addStepper(const Stepper& stepper);

  // The config-set combo (Cbq1cfgClick, Cbq2cfgClick; Cbq1cfgChange, Cbq2cfgChange):
  // a choice sets ACFG (and the Cfg switch); typing is put back.
  void cfgClick(const QString& item);
  void cfgChange(const QString& text);
  // The team-mode combo (cbq2tpz, cbq2tpChange): it only takes its two choices.
  void tpz(QComboBox* combo, const QString& item);
  void tpChange(QComboBox* combo);

  void loadControls();
  void showCommandPreview();
  void fillConfigSets();

  // Puts a combo's text back to what the store holds, so that it only takes choices.
  static void putBack(QComboBox* combo, const QString& text);
};

}  // namespace fdk
