// The model the viewer shows: the parsed MD2 plus what the skin loader and
// the flat view add, and where its skins are to be searched.
#pragma once

#include <string>

#include "formats/md2.h"
#include "meshpeek/failure.h"

namespace meshpeek {

struct Model {
  formats::Md2Model md2;
  // Texture coordinate span of the current skin texture (set by each skin
  // load); 256 covers the whole start-up texture until then.
  float sScale = 256.0f;
  float tScale = 256.0f;
  // Where the flat skin layout is drawn: centred on (320, 240) in whole pixels.
  float flatX = 0;
  float flatY = 0;
  bool fromArchive = false;
};

Result<Model> loadModelFromFile(const std::string& name);

// Looks in the archive first (and in its folder, see openPakMember); a model
// found neither way is loaded as a loose file by the same name.
Result<Model> loadModelFromArchive(std::string& pakPath, const std::string& name);

// Appends the ".pcx" names of the list file to the model's skins.
Status mergeSkinListFile(const std::string& listPath, Model& model);

// Writes "md2names.txt" in the current folder: the maps the archive holds.
Status writeMapList(const std::string& pakPath);

}  // namespace meshpeek
