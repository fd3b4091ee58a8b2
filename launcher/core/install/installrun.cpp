#include "core/install/installrun.h"

#include "core/placement/entrypath.h"
#include "core/install/modinstall.h"
#include "core/platform/listing.h"

namespace fdk {

namespace {

enum class Folders { Kept, Dropped };        // the entries' folders, or every file straight into the target
enum class Reading { PerArchive, UpFront };  // see InstallPlan::checkedUpFront

// What sets each install apart besides its game folder and archives. None
// replaces a file the game folder holds. The MOD alone is read up front: it is
// extracted entry by entry, for its question, and entry by entry it could fill
// the disk half-way.
struct PlanRow {
  InstallKind kind;
  const char* title;
  std::vector<std::string> below;
  Folders folders;
  Reading reading;
  const char* conflictQuestion;
  const char* notRead;
  const char* item;  // "no <item> was installed" when the run cannot start; the MOD's caller words its own error
};

using K = InstallKind;
using F = Folders;
using R = Reading;

const PlanRow kPlans[] = {
    {K::Mod, "Processing MOD", {}, F::Kept, R::UpFront, kModConflictQuestion, "", ""},
    {K::Maps, "Processing Maps", {}, F::Kept, R::PerArchive, "", "", "map"},
    {K::Skins, "Processing Skins", {"qw", "skins"}, F::Dropped, R::PerArchive, "", "", "skin"},
    {K::Models, "Processing Models", {}, F::Kept, R::PerArchive, "", "the model pack was not installed: ", "model"},
};

constexpr const char* kStopped = "the program was asked to end";

// The catalogue, read once per archive a pass reaches: an archive read last in
// this run, and not replaced in the catalogue since, is taken as it is.
class Listing {
 public:
  explicit Listing(Tzipform& zip) : zip_(zip) {}

  Status read(const InstallPlan& plan, const PlannedArchive& archive) {
    if (archive.path.empty()) return Error{archive.missing};
    if (archive.path == read_ && zip_.archivePath() == read_) return {};
    read_.clear();
    if (Status listed = zip_.ListArchive(archive.path); !listed) return explained(plan.notRead, listed.error());
    read_ = archive.path;
    return {};
  }
  Tzipform& zip() { return zip_; }

 private:
  Tzipform& zip_;
  std::string read_;
};

// The run the host shows, begun and ended in pairs whatever happens between.
class ShownRun {
 public:
  ShownRun(InstallHost& host, const std::string& title) : host_(host) { host_.begin(title); }
  ~ShownRun() { host_.end(); }
  ShownRun(const ShownRun&) = delete;
  ShownRun& operator=(const ShownRun&) = delete;

 private:
  InstallHost& host_;
};

// The folders below the game folder a plan's target is, as a name's start ("qw/skins/").
std::string belowText(const InstallPlan& plan) {
  std::string text;
  for (const std::string& folder : plan.below) text += folder + "/";
  return text;
}

Result<Placement> openTarget(const InstallPlan& plan, ChangeRecorder* recorder) {
  Result<Placement> root = Placement::Open(plan.root, recorder);
  if (!root || plan.below.empty()) return root;
  return root->OpenFolder(EntryPath{plan.below, ""});
}

// A plan checked up front has its archives read before anything is made
// (so an unreadable one leaves no trace), then weighed against the target.
Result<Placement> prepare(const InstallPlan& plan, Listing& listing, ChangeRecorder* recorder) {
  if (plan.checkedUpFront)
    for (const PlannedArchive& archive : plan.archives)
      if (Status read = listing.read(plan, archive); !read) return read.error();
  Result<Placement> target = openTarget(plan, recorder);
  if (!target || !plan.checkedUpFront) return target;
  for (const PlannedArchive& archive : plan.archives) {
    if (Status read = listing.read(plan, archive); !read) return read.error();
    if (Status room = listing.zip().CheckRoomForAll(*target, plan.keepFolders, plan.overwrite); !room)
      return room.error();
  }
  return target;
}

// An archive that cannot be read adds nothing here; the second pass reports it.
void countPass(const InstallPlan& plan, Listing& listing, InstallHost& host) {
  for (const PlannedArchive& archive : plan.archives)
    if (listing.read(plan, archive))
      for (const ArchiveRecord& record : listing.zip().records()) host.counted(record.size);
}

// What the second pass works with; the answer lasts for the whole run.
struct ExtractPass {
  enum class Answer { Ask, Yes, No };

  const InstallPlan& plan;
  Listing& listing;
  Placement& into;
  InstallHost& host;
  Report& leftOut;
  KeptFiles& kept;
  std::string below = belowText(plan);
  Answer answer = Answer::Ask;

  // A file that stays in an entry's place, named by its path in the game folder.
  void compareKept(const EntryPath& place, const ArchiveRecord& record) {
    kept.Compare(into, place, record, below + place.joined());
  }
};

class PassProgress : public ExtractObserver {
 public:
  explicit PassProgress(ExtractPass& pass) : pass_(pass) {}
  void EntryDone(const ArchiveRecord&, std::uint64_t bytes) override { pass_.host.done(bytes); }
  void EntryProgress(const ArchiveRecord&, std::uint64_t bytesDone) override { pass_.host.within(bytesDone); }
  void EntryKept(const ArchiveRecord& record, const EntryPath& place) override { pass_.compareKept(place, record); }

 private:
  ExtractPass& pass_;
};

// Only a file in the way is a conflict: the folders of an earlier install, or
// of the game itself ("baseq2/"), are where the files belong. The file's
// place when there is one.
std::optional<EntryPath> fileInTheWay(const ExtractPass& pass, const ArchiveRecord& record) {
  if (record.isFolder) return std::nullopt;
  Result<EntryPath> path = SafeEntryPath(record.name);
  if (!path) return std::nullopt;
  EntryPath place = pass.plan.keepFolders ? std::move(*path) : path->withoutFolders();
  if (!pass.into.FileExists(place)) return std::nullopt;
  return place;
}

// Whether an entry whose target exists goes on to the extraction (which leaves
// the existing file alone either way).
bool goOn(ExtractPass& pass) {
  using Answer = ExtractPass::Answer;
  if (pass.answer == Answer::Ask) pass.answer = pass.host.ask(pass.plan.conflictQuestion) ? Answer::Yes : Answer::No;
  return pass.answer == Answer::Yes;
}

// An entry passed by keeps the file in its way as surely as the extraction would.
void extractEntries(ExtractPass& pass) {
  Tzipform& zip = pass.listing.zip();
  PassProgress progress(pass);
  for (std::size_t i = 0; i < zip.size(); ++i) {
    if (InstallsStopped())
      return pass.leftOut.skip(zip.entryName(i), std::string("not extracted, nor what follows it: ") + kStopped);
    if (std::optional<EntryPath> inTheWay = fileInTheWay(pass, zip.record(i)); inTheWay && !goOn(pass)) {
      pass.compareKept(*inTheWay, zip.record(i));
      pass.host.done(zip.sizeOf(i));
      continue;
    }
    pass.leftOut.merge(zip.ExtractEntry(i, pass.into, pass.plan.keepFolders, pass.plan.overwrite, &progress));
  }
}

void extractWhole(ExtractPass& pass) {
  PassProgress progress(pass);
  pass.leftOut.merge(
      pass.listing.zip().ExtractArchive("*.*", pass.into, pass.plan.keepFolders, pass.plan.overwrite, &progress));
}

void extractPass(ExtractPass& pass) {
  for (const PlannedArchive& archive : pass.plan.archives) {
    if (InstallsStopped())
      return pass.leftOut.skip(archive.name, std::string("not installed, nor what follows it: ") + kStopped);
    if (Status read = pass.listing.read(pass.plan, archive); !read) {
      pass.leftOut.skip(archive.name, read.error().text);
      continue;
    }
    pass.plan.conflictQuestion.empty() ? extractWhole(pass) : extractEntries(pass);
  }
}

}  // namespace

Result<InstallRun> RunInstall(const InstallPlan& plan, Tzipform& zip, InstallHost& host, ChangeRecorder* recorder) {
  InstallRun run;
  if (plan.archives.empty()) return run;
  Listing listing(zip);
  Result<Placement> target = prepare(plan, listing, recorder);
  if (!target) return target.error();
  {
    ShownRun shown(host, plan.title);
    countPass(plan, listing, host);
    host.secondPass();
    ExtractPass pass{plan, listing, *target, host, run.leftOut, run.kept};
    extractPass(pass);
  }
  run.target = std::move(*target);
  return run;
}

InstallOutcome RunReportedInstall(const InstallPlan& plan, Tzipform& zip, InstallHost& host, ChangeRecorder* recorder) {
  Result<InstallRun> run = RunInstall(plan, zip, host, recorder);
  if (run) return InstallOutcome{std::move(run->leftOut), std::move(run->kept)};
  InstallOutcome outcome;
  outcome.leftOut.skip(plan.root + belowText(plan), plan.nothingInstalled + ": " + run.error().text);
  return outcome;
}

InstallPlan PlanFor(InstallKind kind, const std::string& gameFolder, std::vector<PlannedArchive> archives) {
  for (const PlanRow& row : kPlans) {
    if (row.kind != kind) continue;
    InstallPlan plan;
    plan.title = row.title;
    plan.root = gameFolder;
    plan.below = row.below;
    plan.archives = std::move(archives);
    plan.keepFolders = row.folders == Folders::Kept;
    plan.checkedUpFront = row.reading == Reading::UpFront;
    plan.conflictQuestion = row.conflictQuestion;
    plan.notRead = row.notRead;
    plan.nothingInstalled = std::string("no ") + row.item + " was installed";
    return plan;
  }
  return InstallPlan{};
}

std::vector<PlannedArchive> ArchivesInFolder(const std::string& folder, const std::vector<std::string>& names,
                                             const std::string& kind) {
  std::vector<PlannedArchive> archives;
  for (const std::string& name : names)
    archives.push_back(PlannedArchive{name, FindFileNoCase(folder, name + ".zip").value_or(""),
                                      "the " + kind + " archive " + name + ".zip is not in the " + kind + " folder"});
  return archives;
}

}  // namespace fdk
