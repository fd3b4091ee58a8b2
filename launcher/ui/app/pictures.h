#pragma once
// Loading the launcher's pictures.
#include <QImage>
#include <QPixmap>
#include <string>

#include "base/result.h"

namespace fdk {

// Reads a BMP, JPG, PNG or PCX picture; the error says what is wrong with the file.
Result<QImage> ReadPictureFile(const std::string& path);

// The same as a plain image: a null image means the file is missing or
// unreadable; callers decide what that means. The flag is kept for the callers'
// sake and has no effect.
QImage LoadPictureFile(const std::string& path, bool flag = false);

// base + ".bmp" when that exists, else base + ".jpg" when that exists, else "".
std::string FindPicture(const std::string& base);

// The picture at base (.bmp, else .jpg) as a pixmap; a null pixmap when neither loads.
Result<QPixmap> ReadNamedPicture(const std::string& base);
QPixmap LoadNamedPicture(const std::string& base);

}  // namespace fdk
