#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/types.h"

namespace ak {

// The file of a download record store: a small single-table database. All integers are
// little-endian.
//   0   "WEDB"
//   4   version word 0x00010000
//   8   creation date, an OLE date (double)
//   16  record count (int32), 20 next record number (int32), 24 record size (int32)
//   28  84 zero bytes
//   112 number of fields (int32), then 72 bytes per field descriptor:
//       +0 name, NUL-terminated, in 17 bytes; +20 type code (10 = text); +24 offset of the field
//       in a record; +28 width of a text field
//   then the records: a 4-byte record number and the fields at their offsets, zero elsewhere.
namespace store_layout {
inline constexpr char kMagic[4] = {'W', 'E', 'D', 'B'};
inline constexpr std::uint32_t kVersion = 0x00010000;
inline constexpr std::size_t kDateOffset = 8;
inline constexpr std::size_t kCountsOffset = 16;  // record count, then next record number
inline constexpr std::size_t kRecordSizeOffset = 24;
inline constexpr std::size_t kHeaderSize = 112;
inline constexpr std::size_t kFieldCountOffset = 112;
inline constexpr std::size_t kDescriptorsOffset = 116;
inline constexpr std::size_t kDescriptorSize = 72;
inline constexpr std::size_t kFieldNameBytes = 17;
inline constexpr std::int32_t kTextType = 10;

// The one field of the stores this program makes.
inline constexpr char kIdFieldName[] = "photo_id";
inline constexpr std::int32_t kIdFieldOffset = 4;
inline constexpr std::int32_t kIdFieldWidth = 20;
inline constexpr std::int32_t kRecordSize = 4 + kIdFieldWidth;

// Limits beyond which a file is not taken for a store: they keep a damaged header from asking
// for huge buffers.
inline constexpr std::int32_t kMaxRecordSize = 1 << 16;
inline constexpr std::int32_t kMaxFields = 1024;
inline constexpr std::int32_t kMaxTextWidth = 4096;
}  // namespace store_layout

std::uint32_t ReadLe32(const char* p);
void WriteLe32(char* p, std::uint32_t v);

// What the header of a store file says, checked.
struct StoreLayout {
  std::int32_t record_count = 0;  // as the header says; not more records need be present
  std::int32_t next_record = 1;
  std::int32_t record_size = 0;
  std::int32_t id_offset = 0;  // where `photo_id` stands in a record
  std::int32_t id_width = 0;
  std::uint64_t records_start = 0;
};

// Checks the fixed header (the first 112 bytes, or fewer when the file is shorter). nullopt
// refuses the file: too short, wrong magic, version above 0x00010000, record size not above 0 (or
// beyond the limit), next record number not above 0, or record count below 0. The field fields of
// the result are not yet filled.
std::optional<StoreLayout> ParseStoreHeader(std::string_view head);

// Number of field descriptors the header promises; nullopt when unreadable or out of range.
std::optional<std::int32_t> ParseFieldCount(std::string_view bytes_at_112);

// Looks for the text field `photo_id` among `count` descriptors and completes `layout` with it.
// False when there is none, or it does not lie inside a record.
bool ParseIdField(std::string_view descriptors, std::int32_t count, StoreLayout& layout);

// The bytes of a new, empty store created at `ole_date`.
Bytes NewStoreBytes(double ole_date);

// The id as the field holds it: up to its first NUL byte, cut or padded with zero bytes to
// `width`.
void StoredId(std::string_view id, std::size_t width, Bytes& out);

}  // namespace ak
