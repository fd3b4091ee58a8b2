#include "pages/addonlists.h"

#include <QDropEvent>
#include <QLabel>

#include "app/captions.h"
#include "app/storedfield.h"

namespace fdk {

QListWidget* MakeAddOnList(QWidget* box, QObject* dropFilter, const QString& name, const QString& caption,
                           const QString& captionName, const QRect& where) {
  auto* label = new QLabel(caption, box);
  label->setObjectName(captionName);
  label->setGeometry(where.x(), where.y() - 20, where.width(), 18);
  auto* list = new QListWidget(box);
  list->setObjectName(name);
  NameByCaption(list, label);
  list->setGeometry(where);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setDragEnabled(true);
  list->setAcceptDrops(true);
  list->viewport()->setAcceptDrops(true);
  list->setDragDropMode(QAbstractItemView::DragDrop);
  list->viewport()->installEventFilter(dropFilter);
  return list;
}

QPushButton* MakeHintButton(QWidget* box, const QString& name, const QString& text, const QString& hint,
                            const QRect& where) {
  auto* b = new QPushButton(text, box);
  b->setObjectName(name);
  b->setGeometry(where);
  GiveHint(b, hint);
  return b;
}

void ShowItems(QListWidget* list, const std::vector<std::string>& items) {
  list->clear();
  for (const std::string& text : items) {
    auto* item = new QListWidgetItem(ShowStored(text), list);
    item->setData(Qt::UserRole, QByteArray::fromStdString(text));
  }
}

std::string StoredText(const QListWidgetItem* item) { return item->data(Qt::UserRole).toByteArray().toStdString(); }

std::vector<std::size_t> SelectedRows(const QListWidget* list) {
  std::vector<std::size_t> rows;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) rows.push_back(static_cast<std::size_t>(i));
  return rows;
}

std::vector<std::string> SelectedTexts(const QListWidget* list) {
  std::vector<std::string> texts;
  for (std::size_t row : SelectedRows(list)) texts.push_back(StoredText(list->item(static_cast<int>(row))));
  return texts;
}

DragStep TakeDrag(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return DragStep::None;
  static_cast<QDropEvent*>(event)->acceptProposedAction();
  return type == QEvent::Drop ? DragStep::Dropped : DragStep::Over;
}

}  // namespace fdk
