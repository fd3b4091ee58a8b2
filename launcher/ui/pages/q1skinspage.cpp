#include "pages/q1skinspage.h"

namespace fdk {

Q1SkinsPage::Q1SkinsPage(LauncherContext& ctx, PageFrame* frame) : AddOnPage(ctx, frame, QStringLiteral("q1skin")) {}

}  // namespace fdk
