#pragma once
// The list boxes and small buttons of the add-on pages (maps, skins, models):
// a caption above each list, several items selectable, items dragged away, and
// whatever is dropped handed to the page, which decides what a drop means.
// Items keep the stored bytes of their names beside the text they show, so a
// name that is not UTF-8 still names its file.
#include <QEvent>
#include <QListWidget>
#include <QPushButton>
#include <string>
#include <vector>

namespace fdk {

// A list on box at where, its caption above it; its drags and drops go to
// dropFilter's event filter.
QListWidget* MakeAddOnList(QWidget* box, QObject* dropFilter, const QString& name, const QString& caption,
                           const QString& captionName, const QRect& where);

// A button named by its caption, with a hint; a symbol caption (">>") is named by the hint.
QPushButton* MakeHintButton(QWidget* box, const QString& name, const QString& text, const QString& hint,
                            const QRect& where);

void ShowItems(QListWidget* list, const std::vector<std::string>& items);
std::string StoredText(const QListWidgetItem* item);
std::vector<std::size_t> SelectedRows(const QListWidget* list);
std::vector<std::string> SelectedTexts(const QListWidget* list);

// For a page's event filter on a list's viewport: drags over it are accepted
// from any source. Over means the event was a drag passing by; Dropped, that
// something was let go onto the list.
enum class DragStep { None, Over, Dropped };
DragStep TakeDrag(QEvent* event);

}  // namespace fdk
