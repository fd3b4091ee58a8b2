#include "pages/addonpage.h"

#include "app/pictures.h"
#include "app/previewconverter.h"

namespace fdk {

AddOnPage::AddOnPage(LauncherContext& ctx, PageFrame* frame, const QString& previewName)
    : QObject(frame), ctx_(ctx), frame_(frame) {
  if (!previewName.isEmpty()) preview_ = makePreview(previewName, frame->box(), QRect(392, 48, 240, 180));
}

void AddOnPage::showPreviewFile(const std::string& path, bool convert) {
  std::string shown = path;
  if (convert) {
    Result<std::string> converted = ConvertPreview(path, ctx_.vars.scratchFolder());
    if (!converted) ctx_.messages.log(QString::fromStdString(converted.error().text));
    shown = converted ? *converted : std::string();
  }
  const QPixmap picture = shown.empty() ? QPixmap() : QPixmap::fromImage(LoadPictureFile(shown));
  preview_->setPixmap(picture.isNull() ? ctx_.placeholder : picture);
}

void AddOnPage::firstActivation() {
  if (preview_ != nullptr) preview_->setPixmap(ctx_.placeholder);
}

}  // namespace fdk
