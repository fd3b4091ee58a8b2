#include "core/store/ini.h"

#include "base/files.h"
#include "base/text.h"

namespace fdk {

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool blank(std::string_view line) { return trim(line).empty(); }

// Section and key names as they are looked up: without surrounding blanks and case.
std::string folded(std::string_view name) { return lowerAsciiCopy(trim(name)); }

// "[name]" → name; anything else → nullopt.
std::optional<std::string_view> sectionName(std::string_view line) {
  line = trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(line.substr(1, close - 1));
}

// "key=value" → key; lines without '=' or with an empty key are not entries.
std::optional<std::string_view> keyName(std::string_view line) {
  auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  auto key = trim(line.substr(0, eq));
  if (key.empty() || key.front() == ';') return std::nullopt;
  return key;
}

}  // namespace

// Every line is looked at once: a blank one waits in the block's tail until a
// line that is not blank follows it, so each line moves at most once.
void IniFile::addLine(std::string line) {
  if (auto name = sectionName(line)) {
    sections_.try_emplace(folded(*name), blocks_.size());
    blocks_.emplace_back().lines.push_back(std::move(line));
    return;
  }
  Block& block = blocks_.back();
  if (blank(line)) {
    block.tail.push_back(std::move(line));
    return;
  }
  block.lines.insert(block.lines.end(), std::make_move_iterator(block.tail.begin()),
                     std::make_move_iterator(block.tail.end()));
  block.tail.clear();
  // Keys before the first section belong to no section and are never found.
  if (auto key = keyName(line); key && blocks_.size() > 1) block.keys.try_emplace(folded(*key), block.lines.size());
  block.lines.push_back(std::move(line));
}

IniFile IniFile::parse(std::string_view bytes) {
  IniFile ini;
  if (bytes.empty()) return ini;
  auto firstNl = bytes.find('\n');
  if (firstNl != std::string_view::npos && firstNl > 0 && bytes[firstNl - 1] == '\r') ini.eol_ = "\r\n";
  ini.finalEol_ = bytes.back() == '\n';
  std::size_t start = 0;
  while (start < bytes.size()) {
    auto nl = bytes.find('\n', start);
    std::size_t end = nl == std::string_view::npos ? bytes.size() : nl;
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ini.addLine(std::string(line));
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  return ini;
}

Result<IniFile> IniFile::load(const std::string& path, std::uint64_t maxBytes) {
  Result<std::string> bytes = readWholeFile(path, maxBytes);
  if (!bytes) return bytes.error();
  return parse(*bytes);
}

std::optional<std::string> IniFile::read(std::string_view section, std::string_view key) const {
  auto block = sections_.find(folded(section));
  if (block == sections_.end()) return std::nullopt;
  const Block& found = blocks_[block->second];
  auto index = found.keys.find(folded(key));
  if (index == found.keys.end()) return std::nullopt;
  const std::string& text = found.lines[index->second];
  return text.substr(text.find('=') + 1);
}

void IniFile::write(std::string_view section, std::string_view key, std::string_view value) {
  const std::string line = std::string(key) + "=" + std::string(value);
  auto block = sections_.find(folded(section));
  if (block == sections_.end()) {
    const Block& last = blocks_.back();
    if (last.tail.empty() && !last.lines.empty()) blocks_.back().tail.emplace_back();
    addLine("[" + std::string(section) + "]");
    addLine(line);
    return;
  }
  Block& found = blocks_[block->second];
  if (auto index = found.keys.find(folded(key)); index != found.keys.end()) {
    // Keep the key's spelling as found so that rewriting an unchanged value changes no byte.
    std::string& text = found.lines[index->second];
    text = text.substr(0, text.find('=') + 1) + std::string(value);
    return;
  }
  // New keys go after the section's last non-blank line, before the blank separator.
  if (auto name = keyName(line)) found.keys.try_emplace(folded(*name), found.lines.size());
  found.lines.push_back(line);
}

std::string IniFile::serialize() const {
  std::string out;
  bool any = false;
  for (const Block& block : blocks_)
    for (const auto* part : {&block.lines, &block.tail})
      for (const std::string& line : *part) {
        out += line;
        out += eol_;
        any = true;
      }
  if (any && !finalEol_) out.resize(out.size() - eol_.size());
  return out;
}

}  // namespace fdk
