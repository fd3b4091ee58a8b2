#include "core/platform/util.h"

#include <charconv>
#include <filesystem>
#include <system_error>

namespace fdk {

std::string UpperCaseUmlaut(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 32);
    } else if (c == 0xE4 || c == 0xF6 || c == 0xFC) {
      // Code page 1252: ä ö ü sit 0x20 above Ä Ö Ü.
      out[i] = static_cast<char>(c - 0x20);
    } else if (c == 0xC3 && i + 1 < out.size()) {
      // UTF-8: ä ö ü are C3 A4 / C3 B6 / C3 BC, their capitals C3 84 / C3 96 / C3 9C.
      auto n = static_cast<unsigned char>(out[i + 1]);
      if (n == 0xA4 || n == 0xB6 || n == 0xBC) out[i + 1] = static_cast<char>(n - 0x20);
      if (n >= 0x80 && n <= 0xBF) ++i;  // skip only a real continuation byte
    }
  }
  return out;
}

std::string IntToText(long long value) { return std::to_string(value); }

namespace {
bool parseWhole(std::string_view text, int& value) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (*first == '+') ++first;  // a leading plus is accepted, like the classic string-to-int
  if (first == last || *first == '+' || (first != text.data() && *first == '-')) return false;
  auto [end, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && end == last;
}
}  // namespace

int TextToIntOrZero(std::string_view text) {
  int value = 0;
  return parseWhole(text, value) ? value : 0;
}

bool IsWholeNumber(std::string_view text) {
  int value = 0;
  return parseWhole(text, value);
}

long long FileSizeOf(const std::string& path) {
  std::error_code ec;
  auto st = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(st)) return -1;
  if (!std::filesystem::is_regular_file(st)) return 0;
  auto size = std::filesystem::file_size(path, ec);
  return ec ? -1 : static_cast<long long>(size);
}

}  // namespace fdk
