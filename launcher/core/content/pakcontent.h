#pragma once
// The start-map lists of the two Stuff pages: the installed and chosen maps,
// the maps inside every PAK below the game's base folder, and the maps and
// PAKs inside the chosen MOD's archive.
//
// Listing a PAK reads only its header and directory. What was found is kept in
// a content file beside the PAK ("pak0.pak" gives "pak0.fdk"), so later lists
// cost one small read per PAK:
//
//   Fragdock PAK-content file - delete it and wont list you all the maps anymore
//   <the PAK's size in bytes>
//   <one map name per line>
//
// every line ended by CR LF. A content file is a cache and must never lie: one
// of ours whose size line does not match its PAK is removed, and rebuilt when
// the player lets PAKs be listed. A file there that is not one of ours (its
// first line is not the header) is the player's: it is never used, replaced or
// removed. A PAK that cannot be read contributes no names and gets no content
// file; a content file that cannot be written (or is the player's) is
// reported, and the PAK's maps are still offered for the rest of the run from
// memory.
//
// A PAK lists at most kMaxMapsPerPak maps, far more than any real one holds;
// the rest are reported, so a crafted directory of millions of entries costs
// neither memory nor a content file too large to be read back.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/report.h"
#include "core/store/settings.h"

namespace fdk {

class Tzipform;

inline constexpr std::string_view kPakContentHeader =
    "Fragdock PAK-content file - delete it and wont list you all the maps anymore";
inline constexpr std::string_view kPakListingQuestion =
    "One or more of your PAK files dont have content files yet, or the content of the pak has changed. Want me do "
    "create/update this files?";
inline constexpr std::size_t kMaxMapsPerPak = 65536;
inline constexpr std::string_view kModPakQuestion =
    "The MOD you have choosen contains a PAK. Would you like to extract it now to check its content?";

// A question answered once and remembered for the rest of the run; never stored.
enum class RunAnswer { Ask, Yes, No };

// What the windows do for the listing: ask (Yes gives true) and show the scan
// window while PAKs are listed. The core shows nothing itself.
class PakContentHost {
 public:
  virtual ~PakContentHost() = default;
  virtual bool Ask(std::string_view question) = 0;
  virtual void ScanBegins() {}
  virtual void ScanEnds() {}
};

// Everything the PAK listing remembers for one run, for both games.
struct PakContentState {
  RunAnswer listing = RunAnswer::Ask;  // may PAKs without a valid content file be listed
  RunAnswer modPak = RunAnswer::Ask;   // may PAKs in a MOD's archive be extracted into paktemp
  // Quake's PAKs under paktemp, listed once: their map names by PAK path.
  // Cleared whenever a PAK is extracted there again.
  std::map<std::string, std::vector<std::string>> modPakCache;
  // Which archive entry each PAK under paktemp came from, so a PAK of another
  // MOD with the same name and size is extracted again rather than trusted.
  std::map<std::string, std::string> paktempSource;

  // PAKs whose content file could not be written: their size and names, so
  // they are listed once per run and told about once.
  struct Remembered {
    std::uint64_t size = 0;
    std::vector<std::string> names;
  };
  std::map<std::string, Remembered> unwritable;
  // PAKs already told about as damaged, by path and size.
  std::set<std::string> toldDamaged;
  // The maps.lst list of the last Quake 2 fill, for writing maps.lst.
  std::vector<std::string> q2MapsLst;
};

// The content file of a PAK: its path up to and including the last "." + "fdk".
std::string PakContentPath(const std::string& pak);

// The map an entry path names, or "" when it names none: a path whose first
// four characters are "MAPS" in any case and that holds ".bsp" exactly; the
// name is the path behind its first five characters, cut before its first ".".
std::string PakEntryMapName(std::string_view entry);

// Quake keeps its item boxes as maps "b_*"; they are no start maps.
bool OfferedMap(std::string_view name, Game game);

// The content file's bytes for a PAK of `size` bytes holding `names`.
std::string PakContentText(std::uint64_t size, const std::vector<std::string>& names);

// The PAKs below `folder` in listing order: the ".pak" files of a folder in
// alphabetical order of their path without regard to case, then its
// sub-folders in the same order, depth first. Names starting with "." are
// skipped; linked folders are not entered, so a link loop cannot trap it.
std::vector<std::string> FindPaks(const std::string& folder);

// The listing of PAKs during one fill of a list. Shows the scan window before
// the first PAK it lists and hides it when it goes.
class PakLister {
 public:
  PakLister(PakContentState& state, PakContentHost& host) : state_(state), host_(host) {}
  ~PakLister();
  PakLister(const PakLister&) = delete;
  PakLister& operator=(const PakLister&) = delete;

  // getpakc: the maps one PAK offers, through its content file, which is
  // made or rebuilt when needed (asking first while the answer is "ask").
  std::vector<std::string> GetPakContent(const std::string& pak, Game game);
  // getpakctmp: the same for a PAK under paktemp, remembered in memory only.
  std::vector<std::string> GetPakContentTmp(const std::string& pak, Game game);

  // PAKs that could not be read, and content files that could not be
  // written, each named once per run.
  const Report& damaged() const { return damaged_; }
  const Report& unwritable() const { return unwritable_; }
  // PAKs holding more maps than kMaxMapsPerPak, named when they are listed.
  const Report& tooMany() const { return tooMany_; }

 private:
  bool mayList();
  bool listMaps(const std::string& pak, Game game, std::vector<std::string>& names);
  void saveContent(const std::string& pak, std::uint64_t size, const std::vector<std::string>& names);
  void keepInMemory(const std::string& pak, std::uint64_t size, const std::vector<std::string>& names,
                    const std::string& why);

  PakContentState& state_;
  PakContentHost& host_;
  bool scanning_ = false;
  Report damaged_;
  Report unwritable_;
  Report tooMany_;
};

// What a list fill needs to know.
struct MapChoiceRequest {
  Game game = Game::Quake1;
  std::string gameFolder;              // the game's folder setting, with its trailing separator
  std::string scratchFolder;           // where paktemp lies
  std::string modArchive;              // the chosen MOD's archive; "" for none
  std::vector<std::string> installed;  // the installed maps' names
  std::vector<std::string> chosen;     // the maps chosen to be installed
};

struct MapChoice {
  std::vector<std::string> items;    // the combo's items, sorted without regard to case, duplicates kept
  std::vector<std::string> mapsLst;  // Quake 2: every name in the order it was added; Quake: empty
  Report damaged;                    // PAKs that could not be read (first time this run)
  Report unwritable;                 // content files that could not be written (first time this run)
  Report tooMany;                    // PAKs with more maps than are listed (when they were listed)
};

// The request for a game from the store: its folder, the chosen MOD's archive,
// and the Maps page's installed and chosen maps.
MapChoiceRequest MapChoiceRequestFor(const Uvars& vars, Game game);

// Builds a start-map list: installed, chosen, the maps in the PAKs below the
// base folder ("id1/" or "baseq2/"), then the maps and PAKs of the MOD's
// archive, listed through `zip`.
MapChoice FillMapChoice(const MapChoiceRequest& request, PakContentState& state, Tzipform& zip, PakContentHost& host);

}  // namespace fdk
