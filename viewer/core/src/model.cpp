#include "meshpeek/model.h"

#include <fstream>
#include <new>
#include <sstream>

#include "formats/pak.h"
#include "formats/skinlist.h"

namespace meshpeek {

namespace {

Outcome<Model> parseModel(const formats::LocatedFile& file, bool fromArchive) {
  try {
    auto md2 = formats::parseMd2(file.bytes, file.path);
    if (!md2) return Failure{"Unable to open mdl file", md2.error().text};
    Model model;
    model.md2 = std::move(md2.value());
    model.flatX = static_cast<float>(320 - model.md2.skinWidth / 2);
    model.flatY = static_cast<float>(240 - model.md2.skinHeight / 2);
    model.fromArchive = fromArchive;
    return model;
  } catch (const std::bad_alloc&) {
    return Failure{"Out of memory", file.path};
  }
}

}  // namespace

Outcome<Model> loadModelFromFile(const std::string& name) {
  if (name.empty()) return Failure{"Invalid mdl filename", "no word ending in .md2 on the command line"};
  auto bytes = formats::readWholeFile(name);
  if (!bytes) return Failure{"Unable to open mdl file", name + ": cannot be opened"};
  return parseModel({std::move(*bytes), name, 0}, false);
}

Outcome<Model> loadModelFromArchive(std::string& pakPath, const std::string& name) {
  if (pakPath.empty()) return Failure{"Invalid pak filename", "no word ending in .pak"};
  auto member = formats::openPakMember(pakPath, name);
  if (!member) return loadModelFromFile(name);
  return parseModel(*member, true);
}

std::optional<Failure> mergeSkinListFile(const std::string& listPath, Model& model) {
  std::ifstream in(listPath);
  if (!in) return Failure{"Couldnt open .lst file", listPath + ": cannot be opened"};
  std::ostringstream text;
  text << in.rdbuf();
  model.md2.skinNames = formats::mergeSkinNames(model.md2.skinNames, formats::parseSkinList(text.str()));
  return std::nullopt;
}

std::optional<Failure> writeMapList(const std::string& pakPath) {
  auto directory = formats::listPakFile(pakPath);
  if (!directory) return Failure{"Invalid pak filename", directory.error().text};
  std::ofstream out("md2names.txt", std::ios::binary | std::ios::trunc);
  out << formats::pakMapList(directory->entries);
  return std::nullopt;
}

}  // namespace meshpeek
