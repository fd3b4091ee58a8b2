// Files the viewer tests read: built here with the demo model writers.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "glide.h"
#include "modelgen/writers.h"
#include "testing/tempdir.h"

namespace fixtures {

namespace fs = std::filesystem;

// One temporary-folder helper for every test of the project.
using TempDir = fdk::TempDir;

// A flat square facing the viewer: 20 units wide at model x = 0, drawn as one
// strip; two frames, the second moved 10 units up. Skin 64 × 64.
inline modelgen::Md2Source squareSource(std::vector<std::string> skins = {"skins/a.pcx"}) {
  modelgen::Md2Source src;
  src.skinWidth = 64;
  src.skinHeight = 64;
  src.skins = std::move(skins);
  src.frames = {{"still1", {{0, 10, 10}, {0, -10, 10}, {0, 10, -10}, {0, -10, -10}}},
                {"still2", {{0, 10, 20}, {0, -10, 20}, {0, 10, 0}, {0, -10, 0}}}};
  src.commands = {{false, {{0, 0, 0}, {1, 0, 1}, {0, 1, 2}, {1, 1, 3}}}};
  return src;
}

// A palette where index i is grey level i, except index 200 which is pure red.
inline modelgen::Palette testPalette() {
  modelgen::Palette p{};
  for (size_t i = 0; i < 256; ++i) p[i * 3] = p[i * 3 + 1] = p[i * 3 + 2] = static_cast<uint8_t>(i);
  p[600] = 255, p[601] = 0, p[602] = 0;
  return p;
}

inline modelgen::ByteVector solidPcx(uint32_t w, uint32_t h, uint8_t index) {
  return modelgen::encodePcx(w, h, std::vector<uint8_t>(size_t{w} * h, index), testPalette());
}

// Red through glide's palette brightening: (31, 16, 8) in 565.
inline constexpr uint16_t kRed565 = (31 << 11) | (16 << 5) | 8;

inline void openGlide() {
  grGlideInit();
  grSstOpen(GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, GR_SMOOTHING_ENABLE, 2);
}

inline uint16_t pixelAt(int x, int y) {
  uint16_t p = 0;
  guFbReadRegion(x, y, 1, 1, &p, 2);
  return p;
}

// Bytes this process has read through system calls so far: a reader that
// takes a whole file instead of the parts it needs shows here.
inline uint64_t bytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  uint64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

// Runs `body` in a child process that is killed after `seconds` and, outside
// AddressSanitizer (which reserves terabytes of address space), may not grow
// beyond 1 GiB. True when the child ended by itself and `body` returned true:
// a reader that blocks or grows without bound fails instead of hanging the test.
template <class Body>
bool finishesInChild(unsigned seconds, Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(seconds);
    if (!kAddressSanitizer) {
      const rlimit limit{1ull << 30, 1ull << 30};
      ::setrlimit(RLIMIT_AS, &limit);
    }
    // Nothing may unwind out of the child into the test framework, which
    // would carry on with the remaining tests in two processes.
    bool ok = false;
    try {
      ok = body();
    } catch (...) {
    }
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace fixtures
