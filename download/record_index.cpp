#include "download/record_index.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <random>

namespace ak {
namespace {

constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ULL;

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 33;
  return h;
}

std::uint64_t Load64(const char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

std::uint64_t RandomSeed() {
  std::random_device device;
  return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

constexpr std::size_t kMinSlots = 16;

}  // namespace

RecordIndex::RecordIndex(std::size_t width)
    : width_(width), head_width_(std::min(width, kInlineBytes)), seed_(RandomSeed()) {
  assert(width > 0);
}

std::uint64_t RecordIndex::Hash(const char* key) const {
  // The seed differs from run to run, so no file can be made to collide on purpose.
  std::uint64_t h = seed_ ^ (width_ * kMul);
  std::size_t i = 0;
  for (; i + 8 <= width_; i += 8) h = (h ^ Load64(key + i)) * kMul;
  std::uint64_t tail = 0;
  for (std::size_t shift = 0; i < width_; ++i, shift += 8)
    tail |= static_cast<std::uint64_t>(static_cast<unsigned char>(key[i])) << shift;
  return Mix((h ^ tail) * kMul);
}

bool RecordIndex::SlotHolds(const Slot& slot, const char* key) const {
  if (width_ == kInlineBytes) return std::memcmp(slot.head, key, kInlineBytes) == 0;
  if (std::memcmp(slot.head, key, head_width_) != 0) return false;
  if (width_ <= kInlineBytes) return true;
  const char* whole = wide_keys_.data() + static_cast<std::size_t>(slot.first) * width_;
  return std::memcmp(whole + kInlineBytes, key + kInlineBytes, width_ - kInlineBytes) == 0;
}

namespace {
// The slot is chosen by the low bits of the hash, the tag taken from the top seven.
std::uint8_t TagOf(std::uint64_t hash) { return static_cast<std::uint8_t>(hash >> 57); }
}  // namespace

std::size_t RecordIndex::Probe(const char* key, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  const std::uint8_t tag = TagOf(hash);
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const std::uint8_t t = tags_[i];
    if (t == kEmptyTag || (t == tag && SlotHolds(slots_[i], key))) return i;
  }
}

void RecordIndex::Grow(std::size_t slot_count) {
  decltype(slots_) old;
  old.swap(slots_);
  slots_.assign(slot_count, Slot{});
  tags_.assign(slot_count, kEmptyTag);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.first == kNone) continue;
    const char* key = width_ <= kInlineBytes
                          ? slot.head
                          : wide_keys_.data() + static_cast<std::size_t>(slot.first) * width_;
    const std::uint64_t hash = Hash(key);
    std::size_t i = hash & mask;
    while (tags_[i] != kEmptyTag) i = (i + 1) & mask;
    slots_[i] = slot;
    tags_[i] = TagOf(hash);
  }
}

void RecordIndex::Reserve(std::size_t records) {
  if (width_ > kInlineBytes) wide_keys_.reserve(records * width_);
  // At most half full, so probes stay short.
  const std::size_t wanted = std::bit_ceil(std::max(kMinSlots, records * 2));
  if (wanted > slots_.size()) Grow(wanted);
}

void RecordIndex::Clear() {
  count_ = 0;
  distinct_ = 0;
  slots_.clear();
  tags_.clear();
  wide_keys_.clear();
  next_same_.clear();
  chain_last_.clear();
}

void RecordIndex::Append(std::string_view key) {
  assert(key.size() == width_);
  Insert(key.data(), Hash(key.data()));
}

void RecordIndex::PrefetchSlot(std::uint64_t hash) const {
#if defined(__GNUC__) || defined(__clang__)
  const std::size_t at = hash & (slots_.size() - 1);
  __builtin_prefetch(&tags_[at]);
  __builtin_prefetch(&slots_[at]);
#else
  (void)hash;
#endif
}

void RecordIndex::AppendRecords(const char* records, std::size_t count, std::size_t stride,
                                std::size_t key_offset) {
  // With room made first the table does not grow in between, so a slot fetched ahead is still
  // the slot the record goes to.
  Reserve(count_ + count);
  constexpr std::size_t kAhead = 8;
  std::uint64_t hashes[kAhead];
  const auto key = [&](std::size_t r) { return records + r * stride + key_offset; };
  for (std::size_t r = 0; r < count && r < kAhead; ++r) {
    hashes[r] = Hash(key(r));
    PrefetchSlot(hashes[r]);
  }
  for (std::size_t r = 0; r < count; ++r) {
    const std::uint64_t hash = hashes[r % kAhead];
    if (r + kAhead < count) {
      hashes[r % kAhead] = Hash(key(r + kAhead));
      PrefetchSlot(hashes[r % kAhead]);
    }
    Insert(key(r), hash);
  }
}

void RecordIndex::Insert(const char* key_bytes, std::uint64_t hash) {
  assert(count_ < kNone);
  if ((distinct_ + 1) * 2 > slots_.size()) Grow(std::max(kMinSlots, slots_.size() * 2));
  const auto record = static_cast<std::uint32_t>(count_);
  const std::string_view key(key_bytes, width_);
  if (width_ > kInlineBytes) wide_keys_.insert(wide_keys_.end(), key.begin(), key.end());
  ++count_;

  const std::size_t at = Probe(key.data(), hash);
  Slot& slot = slots_[at];
  if (slot.first == kNone) {
    tags_[at] = TagOf(hash);
    slot.first = record;
    std::memcpy(slot.head, key.data(), head_width_);
    ++distinct_;
    return;
  }
  const auto last = chain_last_.find(slot.first);
  const std::uint32_t tail = last == chain_last_.end() ? slot.first : last->second;
  next_same_[tail] = record;
  chain_last_[slot.first] = record;
}

std::uint32_t RecordIndex::FindFrom(std::string_view key, std::uint32_t from) const {
  assert(key.size() == width_);
  if (slots_.empty()) return kNone;
  const std::size_t at = Probe(key.data(), Hash(key.data()));
  if (tags_[at] == kEmptyTag) return kNone;  // settled without reading the slot
  std::uint32_t record = slots_[at].first;
  while (record != kNone && record < from) {
    const auto next = next_same_.find(record);
    record = next == next_same_.end() ? kNone : next->second;
  }
  return record;
}

}  // namespace ak
