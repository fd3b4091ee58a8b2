#pragma once
// Path helpers for settings and game folders (splitting lives in base/pathsplit.h).
#include <string>
#include <string_view>
#include <vector>

#include "base/pathsplit.h"

namespace fdk {

// Appends the separator unless the text already ends with one ("" becomes "/"):
// every folder setting keeps it so that file names can be appended directly.
std::string withTrailingSep(std::string folder);

// True when the path is absolute by the platform's rule.
bool isAbsolutePath(std::string_view path);

// Joins a folder and a relative name with exactly one separator between them.
std::string joinPath(std::string_view folder, std::string_view name);

// The name without its last four characters (a dot and a three-letter extension),
// the way every list of the launcher shows file names.
std::string withoutLastFour(std::string_view name);

// The user's home folder with a trailing separator.
std::string homeFolder();

// The folder of the running executable with a trailing separator.
std::string executableFolder();

bool fileExists(const std::string& path);     // a regular file (or a link to one)
bool folderExists(const std::string& path);
bool entryExists(const std::string& path);    // anything at all

// Removes a file; a missing file is not an error. Returns false only when a file was there and stayed.
bool removeFile(const std::string& path);

}  // namespace fdk
