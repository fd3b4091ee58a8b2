#include "meshpeek/model.h"

#include <fstream>
#include <new>
#include <string_view>

#include "base/files.h"
#include "formats/pak.h"
#include "formats/skinlist.h"

namespace meshpeek {

namespace {

Result<Model> parseModel(const formats::LocatedFile& file, bool fromArchive) {
  try {
    auto md2 = formats::readMd2(file, file.path());
    if (!md2) return Error{"Unable to open mdl file", md2.error().text};
    Model model;
    model.md2 = std::move(md2.value());
    model.flatX = static_cast<float>(320 - model.md2.skinWidth / 2);
    model.flatY = static_cast<float>(240 - model.md2.skinHeight / 2);
    model.fromArchive = fromArchive;
    return model;
  } catch (const std::bad_alloc&) {
    return Error{"Out of memory", file.path()};
  }
}

}  // namespace

Result<Model> loadModelFromFile(const std::string& name) {
  if (name.empty()) return Error{"Invalid mdl filename", "no word ending in .md2 on the command line"};
  auto file = formats::openLooseFile(name);
  if (!file) return Error{"Unable to open mdl file", file.error().text};
  return parseModel(file.value(), false);
}

Result<Model> loadModelFromArchive(std::string& pakPath, const std::string& name) {
  if (pakPath.empty()) return Error{"Invalid pak filename", "no word ending in .pak"};
  auto member = formats::openPakMember(pakPath, name);
  if (!member) return loadModelFromFile(name);
  return parseModel(*member, true);
}

Status mergeSkinListFile(const std::string& listPath, Model& model) {
  auto text = fdk::readWholeFile(listPath, formats::kMaxSkinListBytes);
  if (!text) return Error{"Couldnt open .lst file", text.error().text};
  model.md2.skinNames = formats::mergeSkinNames(model.md2.skinNames, formats::parseSkinList(*text));
  return {};
}

Status writeMapList(const std::string& pakPath) {
  auto archive = formats::InputFile::open(pakPath);
  if (!archive) return Error{"Invalid pak filename", archive.error().text};
  auto range = formats::locatePakDirectory(archive.value(), pakPath);
  if (!range) return Error{"Invalid pak filename", range.error().text};
  std::ofstream out("md2names.txt", std::ios::binary | std::ios::trunc);
  // Line by line as the directory is read: a huge directory never sits in memory.
  formats::walkPakDirectory(archive.value(), range.value(), [&](const formats::PakEntry& entry) {
    const std::string_view map = formats::pakMapName(entry);
    if (!map.empty()) out << map << '\n';
    return true;
  });
  return {};
}

}  // namespace meshpeek
