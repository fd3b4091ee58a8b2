#pragma once
// One page of the main window: a group box with the stretched background picture,
// and the start and quit buttons that every page carries.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace fdk {

class PageFrame : public QWidget {
  Q_OBJECT
 public:
  // backName is the background image's name ("backi", "backq1p", ...).
  PageFrame(const QString& pageName, const QString& backName, QWidget* parent = nullptr);

  QGroupBox* box() const { return box_; }
  QLabel* background() const { return back_; }
  void setBackground(const QPixmap& picture);

  // A button at the page's bottom edge; slot counts from the right (0 is the rightmost).
  QPushButton* addBottomButton(const QString& objectName, const QString& text, const QString& hint, int slot);

  // A heading in the top-left corner, in the page's own words.
  QLabel* addHeading(const QString& text);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QGroupBox* box_;
  QLabel* back_;
  QList<QPair<QPushButton*, int>> bottomButtons_;
  void placeBottomButtons();
};

// Builds a stretched picture control with a frame, for previews.
QLabel* makePreview(const QString& objectName, QWidget* parent, const QRect& geometry);

}  // namespace fdk
