#include "core/record/launchrecord.h"

#include <charconv>
#include <unordered_map>

namespace fdk {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool needsEscape(unsigned char c) { return c < 0x20 || c == '%' || c == 0x7F; }

std::string encode(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (!needsEscape(byte)) {
      out += c;
      continue;
    }
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
  return out;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> decode(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      out += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return std::nullopt;
    const int high = hexValue(field[i + 1]), low = hexValue(field[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::string stampFields(const FileStamp& s) {
  return std::to_string(s.size) + '\t' + std::to_string(s.seconds) + '\t' + std::to_string(s.nanoseconds);
}

std::vector<std::string_view> splitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  return fields;
}

template <typename T>
bool number(std::string_view text, T& out) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size();
}

bool stamp(const std::vector<std::string_view>& f, std::size_t at, FileStamp& out) {
  return number(f[at], out.size) && number(f[at + 1], out.seconds) && number(f[at + 2], out.nanoseconds) &&
         out.nanoseconds >= 0 && out.nanoseconds < 1'000'000'000;
}

// Reads records line by line; `pending` finds the change a "made" or
// "replaced" line completes without searching.
class Reader {
 public:
  Status line(std::string_view text);
  LaunchRecord take() { return std::move(record_); }
  bool headerComplete() const { return seen_ == 3; }

 private:
  Status header(const std::vector<std::string_view>& f);
  Status change(RecordedChange::Kind kind, const std::vector<std::string_view>& f);
  Status after(const std::vector<std::string_view>& f, RecordedChange::Kind kind);
  Status started(const std::vector<std::string_view>& f);
  Result<std::string> pathOf(std::string_view field) const;

  LaunchRecord record_;
  int seen_ = 0;  // header lines read: game, root, folder-id
  std::unordered_map<std::string, std::size_t> pending_;
};

Error damaged(std::string_view what) { return Error{"the launch record is damaged: " + std::string(what)}; }

Result<std::string> Reader::pathOf(std::string_view field) const {
  std::optional<std::string> path = decode(field);
  if (!path) return damaged("a path holds a broken %-escape");
  if (!IsSafeRecordPath(*path)) return damaged("the path \"" + *path + "\" does not stay below the game folder");
  return *path;
}

Status Reader::header(const std::vector<std::string_view>& f) {
  if (f[0] == "game" && f.size() == 2 && seen_ == 0 && (f[1] == "1" || f[1] == "2")) {
    record_.game = f[1][0];
  } else if (f[0] == "root" && f.size() == 2 && seen_ == 1) {
    std::optional<std::string> root = decode(f[1]);
    if (!root || root->empty() || root->front() != '/' || root->back() != '/') return damaged("its game folder");
    record_.root = *root;
  } else if (f[0] == "folder-id" && f.size() == 3 && seen_ == 2) {
    if (!number(f[1], record_.rootDevice) || !number(f[2], record_.rootInode)) return damaged("its folder-id line");
  } else {
    return damaged("its header");
  }
  ++seen_;
  return {};
}

Status Reader::change(RecordedChange::Kind kind, const std::vector<std::string_view>& f) {
  const bool saved = kind == RecordedChange::Kind::Replace || kind == RecordedChange::Kind::Remove;
  if (f.size() != (saved ? 6u : 2u)) return damaged("a line has the wrong number of fields");
  RecordedChange c;
  c.kind = kind;
  Result<std::string> path = pathOf(f.back());
  if (!path) return path.error();
  c.path = std::move(*path);
  if (saved) {
    std::optional<std::string> name = decode(f[1]);
    if (!name || name->empty() || name->find('/') != std::string::npos || *name == "." || *name == "..")
      return damaged("a saved copy's name");
    c.saved = std::move(*name);
    if (!stamp(f, 2, c.before)) return damaged("a stamp");
  }
  pending_[c.path] = record_.changes.size();
  record_.changes.push_back(std::move(c));
  return {};
}

Status Reader::after(const std::vector<std::string_view>& f, RecordedChange::Kind kind) {
  if (f.size() != 5) return damaged("a line has the wrong number of fields");
  Result<std::string> path = pathOf(f[4]);
  if (!path) return path.error();
  const auto it = pending_.find(*path);
  if (it == pending_.end() || record_.changes[it->second].kind != kind)
    return damaged("\"" + *path + "\" is completed without being announced");
  FileStamp s;
  if (!stamp(f, 1, s)) return damaged("a stamp");
  record_.changes[it->second].after = s;
  return {};
}

Status Reader::started(const std::vector<std::string_view>& f) {
  ProcessIdentity game;
  if (f.size() != 4 || !number(f[1], game.pid) || !number(f[2], game.startTicks) || !number(f[3], game.session) ||
      game.pid <= 0 || game.session <= 0)
    return damaged("its started line");
  record_.started = game;
  return {};
}

Status Reader::line(std::string_view text) {
  const std::vector<std::string_view> f = splitTabs(text);
  if (!headerComplete()) return header(f);
  using Kind = RecordedChange::Kind;
  if (f[0] == "folder") return change(Kind::Folder, f);
  if (f[0] == "file") return change(Kind::File, f);
  if (f[0] == "replace") return change(Kind::Replace, f);
  if (f[0] == "remove") return change(Kind::Remove, f);
  if (f[0] == "made") return after(f, Kind::File);
  if (f[0] == "replaced") return after(f, Kind::Replace);
  if (f[0] == "started") return started(f);
  return damaged("an unknown line \"" + std::string(f[0]) + "\"");
}

const char* kindWord(RecordedChange::Kind kind) {
  switch (kind) {
    case RecordedChange::Kind::Folder: return "folder";
    case RecordedChange::Kind::File: return "file";
    case RecordedChange::Kind::Replace: return "replace";
    case RecordedChange::Kind::Remove: return "remove";
  }
  return "";
}

}  // namespace

FileStamp StampOf(const struct stat& info) {
  return FileStamp{static_cast<std::uint64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec),
                   static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

bool IsSafeRecordPath(std::string_view path) {
  if (path.empty() || path.front() == '/' || path.back() == '/') return false;
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = path.find('/', start);
    const std::string_view part = path.substr(start, slash == std::string_view::npos ? path.npos : slash - start);
    if (part.empty() || part == "." || part == ".." || part.find('\0') != std::string_view::npos) return false;
    if (slash == std::string_view::npos) return true;
    start = slash + 1;
  }
}

std::string FormatRecordHeader(const LaunchRecord& record) {
  std::string header(kRecordHeader);
  header.append("\ngame\t") += record.game;
  header.append("\nroot\t").append(encode(record.root));
  header.append("\nfolder-id\t").append(std::to_string(record.rootDevice));
  header.append(1, '\t').append(std::to_string(record.rootInode)).append(1, '\n');
  return header;
}

std::string FormatChangeLine(const RecordedChange& change) {
  std::string line = kindWord(change.kind);
  if (change.kind == RecordedChange::Kind::Replace || change.kind == RecordedChange::Kind::Remove)
    line += '\t' + encode(change.saved) + '\t' + stampFields(change.before);
  return line + '\t' + encode(change.path) + '\n';
}

std::string FormatAfterLine(const RecordedChange& change) {
  const char* word = change.kind == RecordedChange::Kind::Replace ? "replaced" : "made";
  return std::string(word) + '\t' + stampFields(change.after.value_or(FileStamp{})) + '\t' + encode(change.path) + '\n';
}

std::string FormatStartedLine(const ProcessIdentity& game) {
  return "started\t" + std::to_string(game.pid) + '\t' + std::to_string(game.startTicks) + '\t' +
         std::to_string(game.session) + '\n';
}

std::string FormatRecord(const LaunchRecord& record) {
  std::string text = FormatRecordHeader(record);
  for (const RecordedChange& change : record.changes) {
    text += FormatChangeLine(change);
    if (change.after && (change.kind == RecordedChange::Kind::File || change.kind == RecordedChange::Kind::Replace))
      text += FormatAfterLine(change);
  }
  if (record.started) text += FormatStartedLine(*record.started);
  return text;
}

Result<LaunchRecord> ParseRecord(std::string_view text) {
  const std::size_t first = text.find('\n');
  if (first == std::string_view::npos || text.substr(0, first) != kRecordHeader)
    return Error{"not a launch record: its first line is not \"" + std::string(kRecordHeader) + "\""};
  Reader reader;
  std::size_t start = first + 1;
  // Only whole lines: what follows the last line end was cut off.
  for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1)
    if (Status read = reader.line(text.substr(start, end - start)); !read) return read.error();
  if (!reader.headerComplete()) return damaged("its header is incomplete");
  return reader.take();
}

std::string EncodeRecordField(std::string_view text) { return encode(text); }

std::optional<std::string> DecodeRecordField(std::string_view field) { return decode(field); }

std::vector<std::string_view> SplitRecordFields(std::string_view line) { return splitTabs(line); }

}  // namespace fdk
