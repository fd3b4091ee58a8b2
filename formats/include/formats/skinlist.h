// ".lst" skin lists: text files naming extra skins, one ".pcx" word a line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

// Longest line the list reader takes at once; longer lines are read in
// pieces of this length, each piece searched like a line of its own.
inline constexpr size_t kSkinListLineLength = 255;

// Largest list file read: a list is a few lines of text, and 1 MiB holds
// thousands of names, more than the viewer's keys can ever reach.
inline constexpr uint64_t kMaxSkinListBytes = uint64_t{1} << 20;

// The names found in `text`, in file order: per line the word ending with the
// first ".pcx" (any case). Lines without one are skipped.
std::vector<std::string> parseSkinList(std::string_view text);

// The model's own skin names followed by the listed ones.
std::vector<std::string> mergeSkinNames(const std::vector<std::string>& own, const std::vector<std::string>& listed);

}  // namespace formats
