#pragma once
// Loading the launcher's pictures.
#include <QImage>
#include <QPixmap>
#include <string>

namespace fdk {

// Loads a BMP, JPG, PNG (or PCX once its reader is linked) picture. The flag is
// kept for the callers' sake and has no effect. A null image means the file is
// missing or unreadable; callers decide what that means.
QImage LoadPictureFile(const std::string& path, bool flag = false);

// base + ".bmp" when that exists, else base + ".jpg" when that exists, else "".
std::string FindPicture(const std::string& base);

// The picture at base (.bmp, else .jpg) as a pixmap; a null pixmap when neither loads.
QPixmap LoadNamedPicture(const std::string& base);

}  // namespace fdk
