#include "pictures.h"

#include <iostream>

#include "core/ini.h"
#include "core/paths.h"
#include "core/util.h"
#include "formats/pcx.h"

namespace fdk {

namespace {

bool looksLikePcx(const std::string& path, const std::string& bytes) {
  bool named = UpperCaseUmlaut(path).ends_with(".PCX");
  return named || (!bytes.empty() && bytes[0] == '\x0A');
}

// PCX is not among Qt's formats: decode it with the viewer's reader and expand
// the palette. A damaged file gives a null image and a line on stderr.
QImage decodePcxPicture(const std::string& path, const std::string& bytes) {
  auto data = std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  auto pcx = formats::decodePcx(data, path, formats::PcxRows::Padded);
  if (!pcx) {
    std::cerr << "fragdock: " << pcx.error().text << '\n';
    return {};
  }
  QImage image(static_cast<int>(pcx->width), static_cast<int>(pcx->height), QImage::Format_RGB32);
  if (image.isNull()) return {};
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

QImage LoadPictureFile(const std::string& path, bool /*flag*/) {
  // Previews and backgrounds are small; a huge file is a mistake or an attack.
  constexpr long long kMaxPictureBytes = 64ll << 20;
  std::string bytes;
  if (!fileExists(path) || FileSizeOf(path) > kMaxPictureBytes || !readWholeFile(path, bytes)) return {};
  if (looksLikePcx(path, bytes)) return decodePcxPicture(path, bytes);
  // Otherwise the format is taken from the content, so a JPG saved as ".bmp" still loads.
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
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
