// The layout check on archive bytes built here: the shapes of the central
// directory it must read as the ZIP library does, and the overlaps it refuses.
#include "core/archive/layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/archive/tests/fixtures.h"
#include "testing/archive.h"
#include "testing/tempdir.h"

using namespace fdk;
using namespace fdk::testfix;

namespace {

void put16(std::string& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<char>(v);
  b[at + 1] = static_cast<char>(v >> 8);
}

Status check(const std::string& zip, const std::vector<ListedEntry>& listed) {
  auto read = [&zip](std::uint64_t offset, std::size_t length, char* into) {
    if (offset > zip.size() || length > zip.size() - offset) return false;
    std::memcpy(into, zip.data() + offset, length);
    return true;
  };
  return CheckEntriesApart(read, zip.size(), listed);
}

// The last entry of the central directory moved to the ZIP64 form: its
// compressed size and local header offset in the extra field, `offset` there.
void toZip64(std::string& zip, const std::string& name, std::uint64_t offset) {
  const HeaderAt at = findHeaders(zip, name);
  const std::uint32_t compressed = get32(zip, at.central + 20);
  const std::size_t extraAt = at.central + 46 + name.size();
  ASSERT_EQ(get32(zip, at.central + 30) & 0xFFFF, 0u) << "the writer added extra fields";
  std::string extra(20, '\0');
  put16(extra, 0, 0x0001);
  put16(extra, 2, 16);
  for (int i = 0; i < 8; ++i) extra[4 + i] = static_cast<char>(static_cast<std::uint64_t>(compressed) >> (8 * i));
  for (int i = 0; i < 8; ++i) extra[12 + i] = static_cast<char>(offset >> (8 * i));
  put32(zip, at.central + 20, 0xFFFFFFFF);
  put32(zip, at.central + 42, 0xFFFFFFFF);
  put16(zip, at.central + 30, 20);
  zip.insert(extraAt, extra);
  const std::size_t end = zip.size() - 22;
  put32(zip, end + 12, get32(zip, end + 12) + 20);
}

}  // namespace

TEST(EntryLayout, ReadsTheDirectoryAsListedAndRefusesWhatOverlaps) {
  TempDir dir;
  const std::string path = dir.file("a.zip");
  ASSERT_TRUE(
      WriteArchive(path, {{"one.txt", "first entry"}, {"two.txt", noise(300), ArchiveEntry::Kind::File, false}}).ok());
  const std::string plain = readBytes(path);
  const HeaderAt one = findHeaders(plain, "one.txt");
  const HeaderAt two = findHeaders(plain, "two.txt");
  const std::vector<ListedEntry> listed = {{"one.txt", "one.txt", get32(plain, one.central + 20)},
                                           {"two.txt", "two.txt", 300}};
  struct Row {
    std::string what;
    std::function<void(std::string&)> change;
    std::vector<ListedEntry> listed;
    std::string errorHolds;  // empty when the archive passes
  };
  const std::vector<Row> rows = {
      {"as written", [](std::string&) {}, listed, ""},
      {"an offset in the ZIP64 extra field", [&](std::string& z) { toZip64(z, "two.txt", two.local); }, listed, ""},
      {"a ZIP64 offset onto the other entry", [&](std::string& z) { toZip64(z, "two.txt", one.local); }, listed,
       "overlap"},
      {"an end record inside the comment",
       [](std::string& z) {
         const std::string comment = std::string("PK\x05\x06", 4) + std::string(18, '\0');
         put16(z, z.size() - 2, static_cast<std::uint32_t>(comment.size()));
         z += comment;
       },
       listed, ""},
      {"a name the library did not list", [](std::string&) {}, {listed[0], {"two", "two", 300}}, "cannot be read"},
      {"an entry the library did not list", [](std::string&) {}, {listed[0]}, "cannot be read"},
      {"a header past the end", [&](std::string& z) { put32(z, two.central + 42, 0x7FFFFFFF); }, listed,
       "no local header"},
      {"data past the end",
       [&](std::string& z) { put32(z, two.central + 20, 0x7FFFFFFF); },
       {listed[0], {"two.txt", "two.txt", 0x7FFFFFFF}},
       "runs past the end"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::string zip = plain;
    row.change(zip);
    Status status = check(zip, row.listed);
    if (row.errorHolds.empty()) {
      EXPECT_TRUE(status.ok()) << status.error().text;
      continue;
    }
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().text.find(row.errorHolds), std::string::npos) << status.error().text;
    EXPECT_EQ(status.error().kind, ErrorKind::Damaged);
  }
}
