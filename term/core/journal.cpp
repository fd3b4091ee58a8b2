#include "term/core/journal.h"

#include <charconv>

namespace fdk {

namespace {

constexpr std::string_view kHeader = "fragdock term journal 1";

// Takes the next space-separated word off the front of text.
std::string_view nextWord(std::string_view& text) {
  const std::size_t space = text.find(' ');
  std::string_view word = text.substr(0, space);
  text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
  return word;
}

template <class Int>
bool parseNumber(std::string_view word, Int& value) {
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  return ec == std::errc() && end == word.data() + word.size() && !word.empty();
}

// "file SIZE SECONDS NANOSECONDS new|carried PATH"; the path is the rest of the
// line, so spaces in names survive.
bool parseFile(std::string_view rest, JournalFile& file) {
  FileStamp& s = file.stamp;
  if (!parseNumber(nextWord(rest), s.size) || !parseNumber(nextWord(rest), s.seconds) ||
      !parseNumber(nextWord(rest), s.nanoseconds)) {
    return false;
  }
  const std::string_view kind = nextWord(rest);
  if (kind != "new" && kind != "carried") return false;
  file.carried = kind == "carried";
  file.path = std::string(rest);
  return true;
}

// "folder new|carried PATH"
bool parseFolder(std::string_view rest, JournalFolder& folder) {
  const std::string_view kind = nextWord(rest);
  if (kind != "new" && kind != "carried") return false;
  folder.carried = kind == "carried";
  folder.path = std::string(rest);
  return true;
}

}  // namespace

bool IsSafeRelativePath(std::string_view path) {
  if (path.empty() || path.front() == '/' || path.back() == '/') return false;
  if (path.find_first_of(std::string_view("\0\n\r", 3)) != std::string_view::npos) return false;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view part = path.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

std::string FormatJournal(const Journal& journal) {
  std::string text(kHeader);
  text += "\ngame ";
  text += journal.game;
  text += "\nroot " + journal.root + "\nowner " + journal.owner + "\n";
  for (const JournalFile& f : journal.files) {
    text += "file " + std::to_string(f.stamp.size) + ' ' + std::to_string(f.stamp.seconds) + ' ' +
            std::to_string(f.stamp.nanoseconds) + (f.carried ? " carried " : " new ") + f.path + "\n";
  }
  for (const JournalFolder& f : journal.folders) text += std::string("folder ") + (f.carried ? "carried " : "new ") + f.path + "\n";
  return text;
}

Result<Journal> ParseJournal(std::string_view text) {
  Journal journal;
  bool header = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!header) {
      if (line != kHeader) return Error("not a clean-up journal", "first line: " + std::string(line.substr(0, 80)));
      header = true;
      continue;
    }
    const std::string_view key = nextWord(line);
    if (key == "game" && line.size() == 1) {
      journal.game = line.front();
    } else if (key == "root") {
      journal.root = std::string(line);
    } else if (key == "owner") {
      journal.owner = std::string(line);
    } else if (JournalFile file; key == "file" && parseFile(line, file) && IsSafeRelativePath(file.path)) {
      journal.files.push_back(std::move(file));
    } else if (JournalFolder folder; key == "folder" && parseFolder(line, folder) && IsSafeRelativePath(folder.path)) {
      journal.folders.push_back(std::move(folder));
    } else if (!line.empty() || !key.empty()) {
      ++journal.refused;
    }
  }
  if (!header) return Error("not a clean-up journal", "the file is empty");
  if ((journal.game != '1' && journal.game != '2') || journal.root.empty() || journal.root.front() != '/')
    return Error("a clean-up journal without its game or game folder");
  return journal;
}

}  // namespace fdk
