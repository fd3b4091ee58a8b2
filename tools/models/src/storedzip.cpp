#include "modelgen/storedzip.h"

#include <array>

namespace modelgen {

namespace {

constexpr uint16_t kDosDate1980 = (0 << 9) | (1 << 5) | 1;  // 1980-01-01

std::array<uint32_t, 256> crcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

void putU32(ByteVector& out, uint32_t v) { putI32(out, static_cast<int32_t>(v)); }

void putEntryFields(ByteVector& out, const PakMember& m, uint32_t crc) {
  putU16(out, 20);  // version needed: 2.0
  putU16(out, 0);   // flags
  putU16(out, 0);   // stored
  putU16(out, 0);   // time
  putU16(out, kDosDate1980);
  putU32(out, crc);
  putU32(out, static_cast<uint32_t>(m.bytes.size()));
  putU32(out, static_cast<uint32_t>(m.bytes.size()));
  putU16(out, static_cast<uint16_t>(m.name.size()));
  putU16(out, 0);  // extra length
}

}  // namespace

uint32_t crc32(const ByteVector& bytes) {
  static const std::array<uint32_t, 256> table = crcTable();
  uint32_t c = 0xFFFFFFFFu;
  for (uint8_t b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

ByteVector encodeStoredZip(const std::vector<PakMember>& members) {
  ByteVector out, central;
  for (const PakMember& m : members) {
    const uint32_t crc = crc32(m.bytes);
    const auto localAt = static_cast<uint32_t>(out.size());
    putU32(out, 0x04034B50);
    putEntryFields(out, m, crc);
    out.insert(out.end(), m.name.begin(), m.name.end());
    out.insert(out.end(), m.bytes.begin(), m.bytes.end());

    putU32(central, 0x02014B50);
    putU16(central, 20);  // made by: 2.0
    putEntryFields(central, m, crc);
    putU16(central, 0);  // comment length
    putU16(central, 0);  // disk
    putU16(central, 0);  // internal attributes
    putU32(central, 0);  // external attributes
    putU32(central, localAt);
    central.insert(central.end(), m.name.begin(), m.name.end());
  }
  const auto centralAt = static_cast<uint32_t>(out.size());
  out.insert(out.end(), central.begin(), central.end());
  putU32(out, 0x06054B50);
  putU16(out, 0);
  putU16(out, 0);
  putU16(out, static_cast<uint16_t>(members.size()));
  putU16(out, static_cast<uint16_t>(members.size()));
  putU32(out, static_cast<uint32_t>(central.size()));
  putU32(out, centralAt);
  putU16(out, 0);
  return out;
}

}  // namespace modelgen
