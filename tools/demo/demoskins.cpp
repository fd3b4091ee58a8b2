// The demo's QuakeWorld skin archives, one of each shape the Q1 Skins page
// meets: a picture at the archive's root, a picture below the "qw/skins/"
// folder entries, and an archive whose name is all capitals.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "demoparts.h"
#include "modelgen/skins.h"
#include "modelgen/writers.h"
#include "testing/archive.h"

namespace demo {

namespace {

using modelgen::shade;

constexpr std::uint32_t kWidth = 320;
constexpr std::uint32_t kHeight = 200;

// Palette index of each pixel, so each skin is told apart at a glance.
using Painter = std::function<std::uint8_t(std::uint32_t x, std::uint32_t y)>;

std::string skinPcx(const Painter& paint) {
  std::vector<std::uint8_t> indices(kWidth * kHeight);
  for (std::uint32_t y = 0; y < kHeight; ++y)
    for (std::uint32_t x = 0; x < kWidth; ++x) indices[y * kWidth + x] = paint(x, y);
  const modelgen::ByteVector pcx = modelgen::encodePcx(kWidth, kHeight, indices, modelgen::demoPalette());
  return std::string(pcx.begin(), pcx.end());
}

// Vertical bands running dark to bright blue.
std::uint8_t blueBands(std::uint32_t x, std::uint32_t) { return shade(modelgen::kBlue, 4 + static_cast<int>(x / 32)); }

// A red and dark-red checkerboard.
std::uint8_t redChecks(std::uint32_t x, std::uint32_t y) {
  return ((x / 40 + y / 40) % 2 == 0) ? shade(modelgen::kRed, 12) : shade(modelgen::kDarkRed, 5);
}

// Green diagonal stripes on olive.
std::uint8_t greenStripes(std::uint32_t x, std::uint32_t y) {
  return ((x + y) / 20 % 2 == 0) ? shade(modelgen::kGreen, 11) : shade(modelgen::kOlive, 6);
}

bool write(const std::string& path, const std::vector<fdk::ArchiveEntry>& entries) {
  return fdk::WriteArchive(path, entries).ok();
}

}  // namespace

bool writeSkins(const std::string& skinFolder) {
  std::error_code ec;
  std::filesystem::create_directories(skinFolder, ec);
  using Kind = fdk::ArchiveEntry::Kind;
  bool ok = write(skinFolder + "blue.zip", {{"blue.pcx", skinPcx(blueBands)}});
  ok = write(skinFolder + "red.zip",
             {{"qw/", "", Kind::Folder}, {"qw/skins/", "", Kind::Folder}, {"qw/skins/red.pcx", skinPcx(redChecks)}}) &&
       ok;
  ok = write(skinFolder + "GREEN.ZIP", {{"GREEN.PCX", skinPcx(greenStripes)}}) && ok;
  return ok;
}

}  // namespace demo
