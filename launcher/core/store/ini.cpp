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
    ini.lines_.push_back({std::string(line)});
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

std::optional<std::size_t> IniFile::findSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    auto name = sectionName(lines_[i].text);
    if (name && equalsNoCase(*name, trim(section))) return i;
  }
  return std::nullopt;
}

std::size_t IniFile::sectionEnd(std::size_t headerIndex) const {
  std::size_t i = headerIndex + 1;
  while (i < lines_.size() && !sectionName(lines_[i].text)) ++i;
  return i;
}

std::optional<std::size_t> IniFile::findKey(std::size_t headerIndex, std::string_view key) const {
  std::size_t end = sectionEnd(headerIndex);
  for (std::size_t i = headerIndex + 1; i < end; ++i) {
    auto name = keyName(lines_[i].text);
    if (name && equalsNoCase(*name, trim(key))) return i;
  }
  return std::nullopt;
}

std::optional<std::string> IniFile::read(std::string_view section, std::string_view key) const {
  auto header = findSection(section);
  if (!header) return std::nullopt;
  auto index = findKey(*header, key);
  if (!index) return std::nullopt;
  const std::string& text = lines_[*index].text;
  return text.substr(text.find('=') + 1);
}

void IniFile::write(std::string_view section, std::string_view key, std::string_view value) {
  auto header = findSection(section);
  if (!header) {
    if (!lines_.empty() && !trim(lines_.back().text).empty()) lines_.push_back({""});
    lines_.push_back({"[" + std::string(section) + "]"});
    lines_.push_back({std::string(key) + "=" + std::string(value)});
    return;
  }
  if (auto index = findKey(*header, key)) {
    // Keep the key's spelling as found so that rewriting an unchanged value changes no byte.
    std::string& text = lines_[*index].text;
    text = text.substr(0, text.find('=') + 1) + std::string(value);
    return;
  }
  // New keys go after the section's last non-blank line, before the blank separator.
  std::size_t at = sectionEnd(*header);
  while (at > *header + 1 && trim(lines_[at - 1].text).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), {std::string(key) + "=" + std::string(value)});
}

std::string IniFile::serialize() const {
  std::string out;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i].text;
    if (i + 1 < lines_.size() || finalEol_) out += eol_;
  }
  return out;
}

}  // namespace fdk
