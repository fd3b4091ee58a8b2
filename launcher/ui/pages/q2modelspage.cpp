#include "pages/q2modelspage.h"

namespace fdk {

Q2ModelsPage::Q2ModelsPage(LauncherContext& ctx, PageFrame* frame) : AddOnPage(ctx, frame, QStringLiteral("iq2sp")) {}

}  // namespace fdk
