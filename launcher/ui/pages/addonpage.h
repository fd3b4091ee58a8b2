#pragma once
// A page of add-ons (MODs, maps, skins, models): its heading and, where the
// page has one, its preview picture, which shows the placeholder until the
// page's lists choose something to show.
#include <QLabel>
#include <QObject>
#include <string>

#include "app/context.h"
#include "hub/hubpage.h"
#include "hub/pageframe.h"

namespace fdk {

class AddOnPage : public QObject, public HubPage {
  Q_OBJECT
 public:
  // previewName empty: the page has no preview.
  AddOnPage(LauncherContext& ctx, PageFrame* frame, const QString& previewName);

  void firstActivation() override;

  QLabel* preview() const { return preview_; }

 protected:
  // Shows the picture at path in the preview, through the preview converter
  // when it is not a bitmap; the placeholder when it cannot be shown.
  void showPreviewFile(const std::string& path, bool convert);

  LauncherContext& ctx_;
  PageFrame* frame_;
  QLabel* preview_ = nullptr;
};

}  // namespace fdk
