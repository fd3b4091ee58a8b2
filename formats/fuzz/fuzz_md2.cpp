// libFuzzer target: MD2 models, and every vertex their GL commands name.
#include <cstddef>
#include <cstdint>

#include "formats/md2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto model = formats::parseMd2(formats::Bytes(data, size), "fuzz.md2");
  if (!model) return 0;
  float sum = 0;
  for (const auto& frame : model->frames) {
    for (const auto& command : model->commands) {
      for (uint32_t i = 0; i < command.count; ++i) {
        const auto& v = model->glVertices[command.first + i];
        sum += formats::decodeVertex(model.value(), frame, v.index).x + v.s + v.t;
      }
    }
  }
  volatile float sink = sum;
  (void)sink;
  return 0;
}
