#pragma once
// Preview pictures that come as PCX or JPG are turned into "!-!.bmp" in the
// program folder, which the preview controls show.
#include <string>

#include "base/result.h"

namespace fdk {

inline constexpr const char* kConvertedPreview = "!-!.bmp";

// Converts source into scratchFolder + "!-!.bmp" and returns that path. The old
// "!-!.bmp" is removed first, so a failed conversion never leaves the picture of
// an earlier one to be shown in its place.
Result<std::string> ConvertPreview(const std::string& source, const std::string& scratchFolder);

}  // namespace fdk
