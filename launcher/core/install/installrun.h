#pragma once
// One install run for every installer. An installer (the MOD, maps, skins,
// model packs) only says what to install, as a plan; RunInstall carries every
// plan out the same way:
//
//   the target opened through one Placement (and, for a plan checked up front,
//   its archives read and weighed against the disk) -- a failure here is an
//   error, and nothing was shown or written;
//   the host's run begun with the plan's title; the first pass counts every
//   entry of every archive at its unpacked size, for the player waits for the
//   writing, and a small archive can hold a large map; the second pass extracts
//   archive by archive, each entry told done whether it was written, kept or
//   left out, so the count always reaches its total; the run ended.
//
// A file entry not written because something is already at its place, and
// every entry passed by after a No to the question, is compared with what is
// there; the run notes the ones that differ (KeptFiles).
//
// begin and end always come in pairs, and neither comes for a plan with no
// archives. Once the program is asked to end, the archive or entry met next is
// reported together with everything after it, and the run ends at once.
#include <optional>
#include <string>
#include <vector>

#include "base/report.h"
#include "base/result.h"
#include "core/archive/catalogue.h"
#include "core/install/installhost.h"
#include "core/install/keptfiles.h"
#include "core/placement/placement.h"
#include "core/record/changerecorder.h"

namespace fdk {

// An archive a plan takes files from.
struct PlannedArchive {
  std::string name;     // what the report names: the MOD, map, skin or pack
  std::string path;     // empty when it was not found
  std::string missing;  // why there is no path
};

struct InstallPlan {
  std::string title;                     // the progress window's
  std::string root;                      // the game folder
  std::vector<std::string> below;        // folders below the root the files go into, in any letter case
  std::vector<PlannedArchive> archives;  // in order; one may come more than once
  bool keepFolders = true;               // else every file goes straight into the target
  bool overwrite = false;
  // Before anything shows, the archives are read and weighed as a whole
  // against the target's disk: one that cannot be read, or that does not fit,
  // refuses the install. Otherwise such an archive is reported and the others
  // still install.
  bool checkedUpFront = false;
  // Asked once a run, when the first entry meets a file in its way; No passes
  // every such entry by (the file stays either way). With a question the
  // archives are extracted entry by entry, else each as a whole.
  std::string conflictQuestion;
  // Put before the catalogue's reason when an archive cannot be read.
  std::string notRead;
  // What the report says when the run could not start at all.
  std::string nothingInstalled;
};

// The installs, each planned from one row of a table (installrun.cpp): what
// sets it apart from the others besides its game folder and its archives.
enum class InstallKind { Mod, Maps, Skins, Models };

InstallPlan PlanFor(InstallKind kind, const std::string& gameFolder, std::vector<PlannedArchive> archives);

// name + ".zip" in the folder for each name, in any letter case (archives
// arrive as "DM7.ZIP" as often as "dm7.zip"); one not there is missing, "the
// <kind> archive <name>.zip is not in the <kind> folder".
std::vector<PlannedArchive> ArchivesInFolder(const std::string& folder, const std::vector<std::string>& names,
                                             const std::string& kind);

struct InstallRun {
  Report leftOut;                   // entries and archives left out, each with why
  KeptFiles kept;                   // files not written because a different one is in their place
  std::optional<Placement> target;  // what the files went through; none when there was nothing to install
};

// Carries the plan out through the catalogue (which holds the listing of the
// last archive it read afterwards). The recorder, when there is one, is told
// what is written.
Result<InstallRun> RunInstall(const InstallPlan& plan, Tzipform& zip, InstallHost& host,
                              ChangeRecorder* recorder = nullptr);

// What an installer that reports rather than fails gives back.
struct [[nodiscard]] InstallOutcome {
  Report leftOut;
  KeptFiles kept;
};

// The same for installers that report rather than fail: a run that could not
// start is one entry, naming the target folder with the plan's nothingInstalled
// and why.
InstallOutcome RunReportedInstall(const InstallPlan& plan, Tzipform& zip, InstallHost& host, ChangeRecorder* recorder);

}  // namespace fdk
