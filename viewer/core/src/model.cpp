#include "meshpeek/model.h"

#include <fstream>
#include <new>
#include <string_view>

#include "formats/pak.h"
#include "formats/skinlist.h"

namespace meshpeek {

namespace {

Outcome<Model> parseModel(const formats::LocatedFile& file, bool fromArchive) {
  try {
    auto md2 = formats::readMd2(file, file.path());
    if (!md2) return Failure{"Unable to open mdl file", md2.error().text};
    Model model;
    model.md2 = std::move(md2.value());
    model.flatX = static_cast<float>(320 - model.md2.skinWidth / 2);
    model.flatY = static_cast<float>(240 - model.md2.skinHeight / 2);
    model.fromArchive = fromArchive;
    return model;
  } catch (const std::bad_alloc&) {
    return Failure{"Out of memory", file.path()};
  }
}

}  // namespace

Outcome<Model> loadModelFromFile(const std::string& name) {
  if (name.empty()) return Failure{"Invalid mdl filename", "no word ending in .md2 on the command line"};
  auto file = formats::openLooseFile(name);
  if (!file) return Failure{"Unable to open mdl file", file.error().text};
  return parseModel(file.value(), false);
}

Outcome<Model> loadModelFromArchive(std::string& pakPath, const std::string& name) {
  if (pakPath.empty()) return Failure{"Invalid pak filename", "no word ending in .pak"};
  auto member = formats::openPakMember(pakPath, name);
  if (!member) return loadModelFromFile(name);
  return parseModel(*member, true);
}

std::optional<Failure> mergeSkinListFile(const std::string& listPath, Model& model) {
  auto bytes = formats::readWholeFile(listPath, formats::kMaxSkinListBytes);
  if (!bytes) return Failure{"Couldnt open .lst file", bytes.error().text};
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  model.md2.skinNames = formats::mergeSkinNames(model.md2.skinNames, formats::parseSkinList(text));
  return std::nullopt;
}

std::optional<Failure> writeMapList(const std::string& pakPath) {
  auto archive = formats::InputFile::open(pakPath);
  if (!archive) return Failure{"Invalid pak filename", archive.error().text};
  auto range = formats::locatePakDirectory(archive.value(), pakPath);
  if (!range) return Failure{"Invalid pak filename", range.error().text};
  std::ofstream out("md2names.txt", std::ios::binary | std::ios::trunc);
  // Line by line as the directory is read: a huge directory never sits in memory.
  formats::walkPakDirectory(archive.value(), range.value(), [&](const formats::PakEntry& entry) {
    const std::string_view map = formats::pakMapName(entry);
    if (!map.empty()) out << map << '\n';
    return true;
  });
  return std::nullopt;
}

}  // namespace meshpeek
