#include "app/previewconverter.h"

#include <QBuffer>
#include <QImage>

#include "base/files.h"
#include "core/platform/paths.h"
#include "app/pictures.h"

namespace fdk {

Result<std::string> ConvertPreview(const std::string& source, const std::string& scratchFolder) {
  const std::string target = scratchFolder + kConvertedPreview;
  if (!removeFile(target)) return Error{"cannot remove the old " + target};
  Result<QImage> picture = ReadPictureFile(source);
  if (!picture) return picture.error();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!picture->save(&buffer, "BMP")) return Error{"cannot convert " + source + " to a bitmap"};
  if (Status written = writeFileAtomically(target, std::string_view(bytes.constData(), bytes.size())); !written)
    return written.error();
  return target;
}

}  // namespace fdk
