// Result of a file reader: the validated value, or an error text that names the
// file, what was expected there and what was found instead.
#pragma once

#include <string_view>

#include "base/result.h"

namespace formats {

using fdk::Error;
using fdk::Result;

// "<file>: expected <what>, found <found>": input that is damaged.
Error readError(std::string_view file, std::string_view expected, std::string_view found);

}  // namespace formats
