#include "pages/mapcombo.h"

#include <QLabel>
#include <QSignalBlocker>

#include "core/archive/catalogue.h"
#include "core/platform/listing.h"
#include "work/scanwindow.h"

namespace fdk {

namespace {

constexpr int kDroppedRows = 20;

class WindowHost final : public PakContentHost {
 public:
  explicit WindowHost(LauncherContext& ctx) : ctx_(ctx) {}
  bool Ask(std::string_view question) override {
    return ctx_.messages.ask(QString::fromUtf8(question.data(), static_cast<qsizetype>(question.size())));
  }
  void ScanBegins() override {
    if (ctx_.fscan) ctx_.fscan->begin();
  }
  void ScanEnds() override {
    if (ctx_.fscan) ctx_.fscan->end();
  }

 private:
  LauncherContext& ctx_;
};

void tell(const LauncherContext& ctx, const MapChoice& choice) {
  if (!choice.damaged.empty())
    ctx.messages.warn(QStringLiteral("These PAK files could not be read; their maps are not listed:\n") +
                      QString::fromStdString(choice.damaged.text()));
  if (!choice.unwritable.empty())
    ctx.messages.warn(QStringLiteral("These PAK content files could not be written; their maps are listed "
                                     "for this run only:\n") +
                      QString::fromStdString(choice.unwritable.text()));
  if (!choice.tooMany.empty())
    ctx.messages.warn(QStringLiteral("These PAK files hold more maps than the list takes; only the first are "
                                     "offered:\n") +
                      QString::fromStdString(choice.tooMany.text()));
}

}  // namespace

MapCombo* MapCombo::replacing(QComboBox* plain) {
  auto* combo = new MapCombo(plain->parentWidget());
  combo->setObjectName(plain->objectName());
  combo->setEditable(plain->isEditable());
  combo->setInsertPolicy(plain->insertPolicy());
  combo->setGeometry(plain->geometry());
  combo->setMaxVisibleItems(kDroppedRows);
  // The row's label names the replacement as it named the plain combo.
  combo->setAccessibleName(plain->accessibleName());
  for (QLabel* label : plain->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
    if (label->buddy() == plain) label->setBuddy(combo);
  delete plain;
  return combo;
}

void MapCombo::showPopup() {
  emit droppingDown();
  QComboBox::showPopup();
}

void FillStartMapCombo(LauncherContext& ctx, Game game, QComboBox* combo) {
  WindowHost host(ctx);
  Tzipform catalogue;
  const MapChoice choice = FillMapChoice(MapChoiceRequestFor(ctx.vars, game), ctx.pakContent, catalogue, host);
  QStringList items;
  for (const std::string& name : choice.items) items << QString::fromStdString(name);
  {
    // Refreshing the items is no choice of the player's: the start map stays.
    const QSignalBlocker quiet(combo);
    const QString text = combo->currentText();
    combo->clear();
    combo->addItems(items);
    combo->setEditText(text);
  }
  tell(ctx, choice);
}

}  // namespace fdk
