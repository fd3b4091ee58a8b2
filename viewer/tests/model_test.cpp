// Model, archive and skin-list files as meshpeek opens them: only regular
// files, and only the parts of a file that its header names.
#include "meshpeek/model.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <functional>
#include <optional>

#include "fixtures.h"
#include "meshpeek/skin.h"

namespace {

constexpr uint64_t kHugeFile = 256ull << 20;
constexpr uint64_t kSmallRead = 1ull << 20;

modelgen::ByteVector squareModel() { return modelgen::encodeMd2(fixtures::squareSource()); }

// An archive whose one member, "tris.md2", starts with `model` and runs on
// through a hole to `memberSize` bytes; the directory follows the member.
std::string writeSparsePak(const fixtures::TempDir& dir, const modelgen::ByteVector& model, uint64_t memberSize) {
  modelgen::ByteVector head{'P', 'A', 'C', 'K'};
  modelgen::putI32(head, static_cast<int32_t>(12 + memberSize));
  modelgen::putI32(head, 64);
  head.insert(head.end(), model.begin(), model.end());
  modelgen::ByteVector entry(56, 0);
  std::memcpy(entry.data(), "tris.md2", 8);
  modelgen::putI32(entry, 12);
  modelgen::putI32(entry, static_cast<int32_t>(memberSize));
  return dir.writeSparse("sparse.pak", head, 12 + memberSize + entry.size(), entry);
}

meshpeek::Status failureOf(const meshpeek::Result<meshpeek::Model>& outcome) {
  if (outcome.ok()) return {};
  return outcome.error();
}

struct Loaded {
  std::string message;  // empty when the model loaded
  uint64_t bytesRead = 0;
};

template <class Load>
Loaded measure(Load load) {
  const uint64_t before = fixtures::bytesReadSoFar();
  const meshpeek::Result<meshpeek::Model> outcome = load();
  Loaded result;
  result.bytesRead = fixtures::bytesReadSoFar() - before;
  if (!outcome.ok()) result.message = outcome.error().text;
  return result;
}

}  // namespace

TEST(ModelFiles, HugeFilesCostOnlyTheSectionsTheirHeaderNames) {
  fixtures::TempDir dir;
  modelgen::ByteVector greedy = squareModel();
  modelgen::setI32(greedy, 40, 1 << 21);  // two million frames of 56 bytes: 112 MiB, inside the file
  const std::string loose = dir.writeSparse("loose.md2", squareModel(), kHugeFile);
  const std::string lying = dir.writeSparse("greedy.md2", greedy, kHugeFile);
  const std::string pak = writeSparsePak(dir, squareModel(), kHugeFile);
  const struct {
    const char* what;
    std::function<meshpeek::Result<meshpeek::Model>()> load;
    const char* message;
  } rows[] = {
      {"loose model", [&] { return meshpeek::loadModelFromFile(loose); }, ""},
      {"archive member", [&] { std::string p = pak; return meshpeek::loadModelFromArchive(p, "tris.md2"); }, ""},
      {"frames beyond the cap", [&] { return meshpeek::loadModelFromFile(lying); }, "Unable to open mdl file"},
  };
  for (const auto& row : rows) {
    const Loaded loaded = measure(row.load);
    EXPECT_EQ(loaded.message, row.message) << row.what;
    EXPECT_LT(loaded.bytesRead, kSmallRead) << row.what;
  }
}

TEST(ModelFiles, OnlyRegularFilesAreOpened) {
  fixtures::TempDir dir;
  const std::string fifo = (dir.path() / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string zero = (dir.path() / "zero").string();
  std::filesystem::create_symlink("/dev/zero", zero);
  const std::string folder = (dir.path() / "folder").string();
  std::filesystem::create_directory(folder);

  using Open = std::function<meshpeek::Status(const std::string&)>;
  const struct {
    const char* what;
    Open open;
    const char* message;
  } openers[] = {
      {"model", [](const std::string& p) { return failureOf(meshpeek::loadModelFromFile(p)); },
       "Unable to open mdl file"},
      {"archive", [](const std::string& p) { std::string pak = p; return failureOf(meshpeek::loadModelFromArchive(pak, p)); },
       "Unable to open mdl file"},
      {"skin", [](const std::string& p) { meshpeek::Model m; std::string pak; return meshpeek::loadSkin(m, pak, 0, p); },
       "Unable to read model skin."},
      {"skin list", [](const std::string& p) { meshpeek::Model m; return meshpeek::mergeSkinListFile(p, m); },
       "Couldnt open .lst file"},
  };
  for (const auto& opener : openers) {
    for (const std::string& path : {fifo, zero, folder}) {
      const bool refused = fixtures::finishesInChild(5, [&] {
        const auto failure = opener.open(path);
        return !failure.ok() && failure.error().text == opener.message;
      });
      EXPECT_TRUE(refused) << opener.what << " " << path;
    }
  }
}

TEST(ModelFiles, SkinListsAreCappedAtAMebibyte) {
  fixtures::TempDir dir;
  std::string text = "skins/a.pcx\n";
  text.resize(1 << 20, ' ');
  const std::string fits = dir.write("fits.lst", modelgen::ByteVector(text.begin(), text.end()));
  text += '\n';
  const std::string over = dir.write("over.lst", modelgen::ByteVector(text.begin(), text.end()));
  meshpeek::Model model;
  EXPECT_TRUE(meshpeek::mergeSkinListFile(fits, model).ok());
  EXPECT_EQ(model.md2.skinNames, std::vector<std::string>{"skins/a.pcx"});
  const auto failure = meshpeek::mergeSkinListFile(over, model);
  ASSERT_FALSE(failure.ok());
  EXPECT_EQ(failure.error().text, "Couldnt open .lst file");
  EXPECT_EQ(model.md2.skinNames.size(), 1u);
}
