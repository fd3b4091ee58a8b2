#include "pages/addonpage.h"

namespace fdk {

AddOnPage::AddOnPage(LauncherContext& ctx, PageFrame* frame, const QString& previewName)
    : QObject(frame), ctx_(ctx), frame_(frame) {
  if (!previewName.isEmpty()) preview_ = makePreview(previewName, frame->box(), QRect(392, 48, 240, 180));
}

void AddOnPage::firstActivation() {
  if (preview_ != nullptr) preview_->setPixmap(ctx_.placeholder);
}

}  // namespace fdk
