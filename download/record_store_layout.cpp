#include "download/record_store_layout.h"

#include <bit>
#include <cstring>

#include "base/text_ops.h"

namespace ak {

namespace L = store_layout;

std::uint32_t ReadLe32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

void WriteLe32(char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

namespace {
std::int32_t ReadInt(std::string_view bytes, std::size_t offset) {
  return static_cast<std::int32_t>(ReadLe32(bytes.data() + offset));
}

bool NameIs(std::string_view name_bytes, std::string_view wanted) {
  const std::string_view name = name_bytes.substr(0, name_bytes.find('\0'));
  if (name.size() != wanted.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (AsciiLower(name[i]) != wanted[i]) return false;
  }
  return true;
}
}  // namespace

std::optional<StoreLayout> ParseStoreHeader(std::string_view head) {
  if (head.size() < L::kHeaderSize) return std::nullopt;
  if (std::memcmp(head.data(), L::kMagic, 4) != 0) return std::nullopt;
  if (ReadLe32(head.data() + 4) > L::kVersion) return std::nullopt;
  StoreLayout layout;
  layout.record_count = ReadInt(head, L::kCountsOffset);
  layout.next_record = ReadInt(head, L::kCountsOffset + 4);
  layout.record_size = ReadInt(head, L::kRecordSizeOffset);
  if (layout.record_count < 0 || layout.next_record <= 0) return std::nullopt;
  if (layout.record_size <= 0 || layout.record_size > L::kMaxRecordSize) return std::nullopt;
  return layout;
}

std::optional<std::int32_t> ParseFieldCount(std::string_view bytes_at_112) {
  if (bytes_at_112.size() < 4) return std::nullopt;
  const std::int32_t count = ReadInt(bytes_at_112, 0);
  if (count <= 0 || count > L::kMaxFields) return std::nullopt;
  return count;
}

bool ParseIdField(std::string_view descriptors, std::int32_t count, StoreLayout& layout) {
  if (descriptors.size() < static_cast<std::size_t>(count) * L::kDescriptorSize) return false;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::string_view d = descriptors.substr(i * L::kDescriptorSize, L::kDescriptorSize);
    if (!NameIs(d.substr(0, L::kFieldNameBytes), L::kIdFieldName)) continue;
    if (ReadInt(d, 20) != L::kTextType) return false;
    const std::int32_t offset = ReadInt(d, 24);
    const std::int32_t width = ReadInt(d, 28);
    // The field must lie inside the record, after the record number.
    if (offset < 4 || width <= 0 || width > L::kMaxTextWidth) return false;
    if (static_cast<std::int64_t>(offset) + width > layout.record_size) return false;
    layout.id_offset = offset;
    layout.id_width = width;
    layout.records_start =
        L::kDescriptorsOffset + static_cast<std::uint64_t>(count) * L::kDescriptorSize;
    return true;
  }
  return false;
}

Bytes NewStoreBytes(double ole_date) {
  Bytes bytes(L::kDescriptorsOffset + L::kDescriptorSize, '\0');
  std::memcpy(bytes.data(), L::kMagic, 4);
  WriteLe32(bytes.data() + 4, L::kVersion);
  const auto date = std::bit_cast<std::uint64_t>(ole_date);
  WriteLe32(bytes.data() + L::kDateOffset, static_cast<std::uint32_t>(date));
  WriteLe32(bytes.data() + L::kDateOffset + 4, static_cast<std::uint32_t>(date >> 32));
  WriteLe32(bytes.data() + L::kCountsOffset, 0);
  WriteLe32(bytes.data() + L::kCountsOffset + 4, 1);
  WriteLe32(bytes.data() + L::kRecordSizeOffset, L::kRecordSize);
  WriteLe32(bytes.data() + L::kFieldCountOffset, 1);
  char* field = bytes.data() + L::kDescriptorsOffset;
  std::memcpy(field, L::kIdFieldName, sizeof(L::kIdFieldName) - 1);
  WriteLe32(field + 20, L::kTextType);
  WriteLe32(field + 24, L::kIdFieldOffset);
  WriteLe32(field + 28, L::kIdFieldWidth);
  return bytes;
}

void StoredId(std::string_view id, std::size_t width, Bytes& out) {
  id = id.substr(0, id.find('\0'));
  if (id.size() > width) id = id.substr(0, width);
  out.assign(width, '\0');
  std::memcpy(out.data(), id.data(), id.size());
}

}  // namespace ak
