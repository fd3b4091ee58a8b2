#pragma once
// What the two option pages share: the value-field rules, the raise and lower
// buttons, the config-set combo and switches whose click runs a rule.
#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <functional>

#include "app/context.h"
#include "hub/hubpage.h"
#include "pages/optionrows.h"

namespace fdk {

class OptionPage : public QObject, public HubPage {
  Q_OBJECT
 public:
  // Shows the stored options in the controls, then fills the config-set combo.
  void firstActivation() override {
    loadControls();
    fillConfigSets();
  }

  // Puts the stored options into the controls (at start-up).
  virtual void loadControls() = 0;
  // Fills the config-set combo from the CFG folder.
  virtual void fillConfigSets() = 0;

 protected:
  OptionPage(LauncherContext& ctx, GameSettings& game, QWidget* box)
      : QObject(box), ctx_(ctx), g_(game), rows_(box, &ctx.switches) {}

  // Shows every switch again (and whatever else a page derives from the options).
  virtual void changed() { rows_.refreshAll(); }

  // A switch whose click applies a rule to the store.
  void wireRule(OptionSwitch* sw, std::function<void()> apply);
  // A text field whose every change applies a rule to the store; the rule gets the
  // bytes to store, which are the stored ones while the text is not edited.
  void wireText(QLineEdit* field, const std::string& stored, std::function<void(const std::string&)> apply);
  void wireCountField(QLineEdit* field, int& value);
  void wireNumberField(QLineEdit* field, int& value);
  void addStepper(const char* raise, const char* lower, QLineEdit* field, int& value, int x, int y);

  // The config-set combo: a choice sets ACFG (and the Cfg switch), typing is put back.
  void chooseConfigSet(QComboBox* combo, const QString& item);
  void putBackConfigSet(QComboBox* combo);
  void fillConfigSetCombo(QComboBox* combo);

  // Puts a combo's text back to what the store holds, so that it only takes choices.
  static void putBack(QComboBox* combo, const QString& text);

  LauncherContext& ctx_;
  GameSettings& g_;
  OptionRows rows_;
};

}  // namespace fdk
