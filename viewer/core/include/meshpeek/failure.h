// A fatal condition of the viewer: Error::text is the message the user sees in
// the "Error" box, exactly as the viewer has always worded it, and Error::detail
// the reader's detail (file, expected, found) that goes to stderr beside it.
#pragma once

#include "base/result.h"

namespace meshpeek {

using fdk::Error;
using fdk::Result;
using fdk::Status;

}  // namespace meshpeek
