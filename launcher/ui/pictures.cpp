#include "pictures.h"

#include "core/paths.h"

namespace fdk {

QImage LoadPictureFile(const std::string& path, bool /*flag*/) {
  QImage image;
  if (!fileExists(path)) return image;
  // The format is taken from the content, so a JPG saved as ".bmp" still loads.
  image.load(QString::fromStdString(path));
  return image;
}

std::string FindPicture(const std::string& base) {
  for (const char* ext : {".bmp", ".jpg"})
    if (fileExists(base + ext)) return base + ext;
  return {};
}

QPixmap LoadNamedPicture(const std::string& base) {
  std::string path = FindPicture(base);
  return path.empty() ? QPixmap() : QPixmap::fromImage(LoadPictureFile(path));
}

}  // namespace fdk
