#include "app/pictures.h"

#include <cstdint>

#include "base/files.h"
#include "core/platform/paths.h"
#include "core/platform/util.h"
#include "formats/pcx.h"

namespace fdk {

namespace {

bool looksLikePcx(const std::string& path, const std::string& bytes) {
  bool named = UpperCaseUmlaut(path).ends_with(".PCX");
  return named || (!bytes.empty() && bytes[0] == '\x0A');
}

// PCX is not among Qt's formats: decode it with the shared reader and expand the palette.
Result<QImage> decodePcxPicture(const std::string& path, const std::string& bytes) {
  auto data = std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  // Previews are shown a few hundred pixels wide; a larger side only costs memory
  // (an RGB32 image of 4096 × 4096 pixels is 64 MiB already).
  constexpr uint32_t kMaxPictureSide = 4096;
  auto pcx = formats::decodePcx(data, path, formats::PcxRows::Padded, kMaxPictureSide);
  if (!pcx) return Error{pcx.error().text};
  QImage image(static_cast<int>(pcx->width), static_cast<int>(pcx->height), QImage::Format_RGB32);
  for (uint32_t y = 0; y < pcx->height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
    for (uint32_t x = 0; x < pcx->width; ++x) {
      const uint8_t* rgb = &pcx->palette[3u * pcx->indices[y * pcx->width + x]];
      row[x] = qRgb(rgb[0], rgb[1], rgb[2]);
    }
  }
  return image;
}

}  // namespace

Result<QImage> ReadPictureFile(const std::string& path) {
  // Previews and backgrounds are small; a huge file is a mistake or an attack.
  constexpr std::uint64_t kMaxPictureBytes = 64u << 20;
  Result<std::string> bytes = readWholeFile(path, kMaxPictureBytes);
  if (!bytes) return bytes.error();
  if (looksLikePcx(path, *bytes)) return decodePcxPicture(path, *bytes);
  // Otherwise the format is taken from the content, so a JPG saved as ".bmp" still loads.
  QImage image;
  if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes->data()), static_cast<int>(bytes->size())))
    return Error{path + ": not a picture that can be read (BMP, JPG, PNG or PCX)"};
  return image;
}

QImage LoadPictureFile(const std::string& path, bool /*flag*/) {
  Result<QImage> image = ReadPictureFile(path);
  return image ? *image : QImage();
}

std::string FindPicture(const std::string& base) {
  for (const char* ext : {".bmp", ".jpg"})
    if (fileExists(base + ext)) return base + ext;
  return {};
}

Result<QPixmap> ReadNamedPicture(const std::string& base) {
  const std::string path = FindPicture(base);
  if (path.empty()) return Error{"missing picture " + base + ".bmp (or .jpg)"};
  Result<QImage> image = ReadPictureFile(path);
  if (!image) return image.error();
  return QPixmap::fromImage(*image);
}

QPixmap LoadNamedPicture(const std::string& base) {
  Result<QPixmap> picture = ReadNamedPicture(base);
  return picture ? *picture : QPixmap();
}

}  // namespace fdk
