#pragma once
// Helpers the archive and install tests share: what a folder holds, and
// byte-level damage to an archive that fdk::WriteArchive wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fdk::testfix {

using Names = std::vector<std::string>;

// Every name below root in name order, folders with a trailing "/", links
// not followed (a link is listed under its own name).
inline Names tree(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  Names names;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    names.push_back(it->path().lexically_relative(root).string() +
                    (it->is_directory() && !it->is_symlink() ? "/" : ""));
  std::sort(names.begin(), names.end());
  return names;
}

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::uint32_t get32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

inline void put32(std::string& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

// Where the headers of the entry called name sit in an archive without an
// archive comment: its local header and its central directory header.
struct HeaderAt {
  std::size_t local = 0;
  std::size_t central = 0;
};

inline HeaderAt findHeaders(const std::string& zip, const std::string& name) {
  const std::size_t eocd = zip.size() - 22;  // the end record, 22 bytes without a comment
  EXPECT_EQ(zip.compare(eocd, 4, "PK\x05\x06"), 0);
  std::size_t at = get32(zip, eocd + 16);
  for (;;) {
    EXPECT_EQ(zip.compare(at, 4, "PK\x01\x02"), 0) << name << " not found";
    const std::size_t nameLength = static_cast<unsigned char>(zip[at + 28]) | static_cast<unsigned char>(zip[at + 29])
                                                                                  << 8;
    const std::size_t extra = static_cast<unsigned char>(zip[at + 30]) | static_cast<unsigned char>(zip[at + 31]) << 8;
    const std::size_t comment = static_cast<unsigned char>(zip[at + 32]) | static_cast<unsigned char>(zip[at + 33])
                                                                               << 8;
    if (zip.compare(at + 46, nameLength, name) == 0 && nameLength == name.size()) return {get32(zip, at + 42), at};
    at += 46 + nameLength + extra + comment;
  }
}

// Makes the entry declare another uncompressed size, in both headers.
inline void declareSize(const std::string& path, const std::string& name, std::uint32_t size) {
  std::string zip = readBytes(path);
  const HeaderAt at = findHeaders(zip, name);
  put32(zip, at.local + 22, size);
  put32(zip, at.central + 24, size);
  writeBytes(path, zip);
}

// Changes one byte of the entry's stored data.
inline void flipDataByte(const std::string& path, const std::string& name, std::size_t offsetInData) {
  std::string zip = readBytes(path);
  const HeaderAt at = findHeaders(zip, name);
  const std::size_t nameLength = static_cast<unsigned char>(zip[at.local + 26]) |
                                 static_cast<unsigned char>(zip[at.local + 27]) << 8;
  const std::size_t extra = static_cast<unsigned char>(zip[at.local + 28]) |
                            static_cast<unsigned char>(zip[at.local + 29]) << 8;
  zip[at.local + 30 + nameLength + extra + offsetInData] ^= 0x55;
  writeBytes(path, zip);
}

// Bytes that deflate cannot shrink, the same on every run.
inline std::string noise(std::size_t n, std::uint32_t seed = 1) {
  std::string out(n, '\0');
  for (char& c : out) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return out;
}

// Any name that one of the placement's temporary files would have.
inline bool holdsTemporary(const Names& names) {
  return std::any_of(names.begin(), names.end(),
                     [](const std::string& n) { return n.find(".tmp") != std::string::npos; });
}

}  // namespace fdk::testfix
