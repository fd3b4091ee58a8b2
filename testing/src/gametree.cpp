#include "testing/gametree.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fdk {

namespace fs = std::filesystem;

namespace {

GameFolders foldersOf(const std::string& root, const std::string& game, const char* base, char number,
                      const char* skins) {
  const std::string n(1, number);
  return GameFolders{root + game,
                     root + game + base,
                     root + "mods" + n + "/",
                     root + "maps" + n + "/",
                     root + skins + n + "/",
                     root + "cfgs" + n + "/"};
}

}  // namespace

GameTree::GameTree(const std::string& quakeFolder, const std::string& quake2Folder)
    : quake_(foldersOf(folder(), quakeFolder, "id1/", '1', "skins")),
      quake2_(foldersOf(folder(), quake2Folder, "baseq2/", '2', "models")),
      program_(folder() + "program/") {
  fs::create_directories(quake_.game);
  fs::create_directories(quake2_.game);
}

const GameTree& GameTree::withBaseFolders() const {
  fs::create_directories(quake_.base);
  fs::create_directories(quake2_.base);
  return *this;
}

Status GameTree::archive(const std::string& name, const std::vector<ArchiveEntry>& entries) const {
  return WriteArchive(write(name, ""), entries);
}

std::string GameTree::script(const std::string& name, const std::string& body) const {
  const std::string path = write(name, "#!/bin/sh\n" + body);
  fs::permissions(path, fs::perms::owner_all);
  return path;
}

std::map<std::string, std::string> FolderContents(const std::string& root) {
  std::map<std::string, std::string> entries;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string rel = fs::relative(it->path(), root).string();
    if (it->is_symlink()) {
      entries[rel] = "->" + fs::read_symlink(it->path()).string();
    } else if (it->is_directory()) {
      entries[rel] = "/";
    } else {
      std::ifstream in(it->path(), std::ios::binary);
      entries[rel] = std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return entries;
}

}  // namespace fdk
