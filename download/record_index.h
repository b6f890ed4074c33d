#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "download/large_array.h"

namespace ak {

// The in-memory index of a record store: record positions (0-based, in file order) by the bytes
// of their id field, all of one width. Open addressing over a table of slots; each slot holds the
// first record of one distinct id and the id's bytes themselves (up to kInlineBytes). Beside the
// slots runs a small array of one tag byte per slot (7 bits of the hash, or "empty"), which stays
// in the processor's cache: a lookup of an absent id is mostly settled there, and a present one
// reads one slot. Ids seen more than once are chained in file order.
class RecordIndex {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  // Id bytes kept in the slot; the ids of this program's stores (20 bytes) fit whole.
  static constexpr std::size_t kInlineBytes = 20;

  explicit RecordIndex(std::size_t width = 20);

  std::size_t width() const { return width_; }
  std::size_t size() const { return count_; }

  // Makes room for `records` records in all without growing the table again.
  void Reserve(std::size_t records);
  void Clear();

  // Enters the next record, whose id field is `key` (exactly width() bytes).
  void Append(std::string_view key);

  // Enters `count` records in file order, the one at `records + r * stride` holding its id field
  // at `key_offset`: the same as Append on each in turn. The table places of the records a few
  // ahead are fetched into the cache while the current one is entered, so a rebuild does not
  // wait for one cache miss after another.
  void AppendRecords(const char* records, std::size_t count, std::size_t stride,
                     std::size_t key_offset);

  // The first record at position `from` or later whose id field equals `key`; kNone if none.
  std::uint32_t FindFrom(std::string_view key, std::uint32_t from) const;

 private:
  static constexpr std::uint8_t kEmptyTag = 0x80;

  struct Slot {
    std::uint32_t first = kNone;  // first record of this id, kNone for an empty slot
    char head[kInlineBytes] = {};
  };

  std::uint64_t Hash(const char* key) const;
  // Append with the hash of `key` already taken.
  void Insert(const char* key, std::uint64_t hash);
  void PrefetchSlot(std::uint64_t hash) const;
  // The slot holding `key`, or the empty slot where it belongs.
  std::size_t Probe(const char* key, std::uint64_t hash) const;
  bool SlotHolds(const Slot& slot, const char* key) const;
  void Grow(std::size_t slot_count);

  std::size_t width_;
  std::size_t head_width_;  // min(width_, kInlineBytes)
  std::size_t count_ = 0;
  std::size_t distinct_ = 0;
  std::uint64_t seed_;
  std::vector<Slot, LargeArrayAllocator<Slot>> slots_;
  std::vector<std::uint8_t, LargeArrayAllocator<std::uint8_t>> tags_;  // kEmptyTag or hash bits
  // Whole ids of every record, kept only when they are wider than a slot holds.
  std::vector<char, LargeArrayAllocator<char>> wide_keys_;
  // Chains of repeated ids: next record of the same id, and the last record of each chain by its
  // first record. Repeats are rare, so these stay small.
  std::unordered_map<std::uint32_t, std::uint32_t> next_same_;
  std::unordered_map<std::uint32_t, std::uint32_t> chain_last_;
};

}  // namespace ak
