#pragma once
// A player's games for one test, in a temporary folder of its own that goes
// with everything in it:
//
//   quake/ quake2/                    the game folders ("id1/", "baseq2/" below)
//   mods1/ maps1/ skins1/ cfgs1/      Quake's MODs, maps, skins and config sets
//   mods2/ maps2/ models2/ cfgs2/     Quake 2's, with its player model packs
//   program/                          the launcher's program folder
//
// Only the game folders are made, and their base folders only on request:
// tests of letter case want "ID1/" or "BaseQ2/" there, spelled their way.
// Everything else is the test's to write. testing/gamesettings.h points the
// launcher's settings at a tree.
#include <map>
#include <string>
#include <vector>

#include "base/result.h"
#include "testing/archive.h"
#include "testing/tempdir.h"

namespace fdk {

// One game's folders in a tree, each a full path with a trailing separator.
struct GameFolders {
  std::string game;
  std::string base;  // the game's own folder below it: "id1/" or "baseq2/"
  std::string mods, maps, skins, cfgs;
};

class GameTree : public TempDir {
 public:
  // The game folders may be named otherwise, "quake two/" say, for a blank in a path.
  explicit GameTree(const std::string& quakeFolder = "quake/", const std::string& quake2Folder = "quake2/");

  const GameFolders& quake() const { return quake_; }
  const GameFolders& quake2() const { return quake2_; }
  const std::string& program() const { return program_; }

  // Makes both games' base folders, as an installed game has them.
  const GameTree& withBaseFolders() const;
  // Writes a ZIP archive at name below the tree, making its folders.
  Status archive(const std::string& name, const std::vector<ArchiveEntry>& entries) const;
  // Writes a shell script that can be run at name below the tree; returns its path.
  std::string script(const std::string& name, const std::string& body) const;

 private:
  GameFolders quake_, quake2_;
  std::string program_;
};

// Everything below a folder, so that two states compare in one assertion:
// relative path -> a file's bytes, "/" for a folder, "->" and the target for
// a link (which is not followed).
std::map<std::string, std::string> FolderContents(const std::string& root);

}  // namespace fdk
