#pragma once
// Splitting a path into its folder and its name, the one place that knows the
// platform's folder separator.
#include <string>
#include <string_view>

namespace fdk {

inline constexpr char kSep = '/';

// Everything up to and including the last separator ("" when there is none).
std::string folderPart(std::string_view path);

// Everything after the last separator.
std::string fileNamePart(std::string_view path);

// The same for names that may also use "\" (names typed by users or stored by
// programs of another system).
std::string folderPartAnySeparator(std::string_view path);
std::string fileNamePartAnySeparator(std::string_view path);

}  // namespace fdk
