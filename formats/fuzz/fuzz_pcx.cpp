// libFuzzer target: PCX pictures in both row layouts, and ".lst" skin lists.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/pcx.h"
#include "formats/skinlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const formats::Bytes bytes(data, size);
  for (auto rows : {formats::PcxRows::Continuous, formats::PcxRows::Padded}) {
    auto image = formats::decodePcx(bytes, "fuzz.pcx", rows);
    if (image && image->indices.size() != size_t{image->width} * image->height) __builtin_trap();
  }
  (void)formats::parseSkinList(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
