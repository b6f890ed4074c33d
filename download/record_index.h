#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ak {

// The in-memory index of a record store: record positions (0-based, in file order) by the bytes
// of their id field, all of one width. Open addressing over a table of slots that hold the first
// record of each distinct id and a tag of its hash, so a lookup of an absent id usually touches
// one slot and no id bytes. Ids seen more than once are chained in file order.
class RecordIndex {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  explicit RecordIndex(std::size_t width = 20);

  std::size_t width() const { return width_; }
  std::size_t size() const { return count_; }

  // Makes room for `records` records in all without growing the table again.
  void Reserve(std::size_t records);
  void Clear();

  // Enters the next record, whose id field is `key` (exactly width() bytes).
  void Append(std::string_view key);

  // The first record at position `from` or later whose id field equals `key`; kNone if none.
  std::uint32_t FindFrom(std::string_view key, std::uint32_t from) const;

 private:
  struct Slot {
    std::uint32_t first = kNone;  // first record of this id, kNone for an empty slot
    std::uint32_t tag = 0;        // high half of the id's hash
  };

  std::uint64_t Hash(std::string_view key) const;
  std::string_view KeyAt(std::uint32_t record) const {
    return {keys_.data() + static_cast<std::size_t>(record) * width_, width_};
  }
  // The slot holding `key`, or the empty slot where it belongs.
  std::size_t Probe(std::string_view key, std::uint64_t hash) const;
  void Grow(std::size_t slot_count);

  std::size_t width_;
  std::size_t count_ = 0;
  std::uint64_t seed_;
  std::vector<char> keys_;
  std::vector<Slot> slots_;
  std::size_t distinct_ = 0;
  // Chains of repeated ids: next record of the same id, and the last record of each chain by its
  // first record. Repeats are rare, so these stay small.
  std::unordered_map<std::uint32_t, std::uint32_t> next_same_;
  std::unordered_map<std::uint32_t, std::uint32_t> chain_last_;
};

}  // namespace ak
