#include "download/record_index.h"

#include <bit>
#include <cassert>
#include <cstring>
#include <random>

namespace ak {
namespace {

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

RecordIndex::RecordIndex(std::size_t width) : width_(width), seed_(RandomSeed()) {
  assert(width > 0);
}

std::uint64_t RecordIndex::Hash(std::string_view key) const {
  // The seed differs from run to run, so no file can be made to collide on purpose.
  std::uint64_t h = seed_ ^ (key.size() * 0x9E3779B97F4A7C15ULL);
  std::size_t i = 0;
  for (; i + 8 <= key.size(); i += 8) h = (h ^ Load64(key.data() + i)) * 0x9E3779B97F4A7C15ULL;
  std::uint64_t tail = 0;
  for (std::size_t shift = 0; i < key.size(); ++i, shift += 8)
    tail |= static_cast<std::uint64_t>(static_cast<unsigned char>(key[i])) << shift;
  h = (h ^ tail) * 0x9E3779B97F4A7C15ULL;
  return Mix(h);
}

std::size_t RecordIndex::Probe(std::string_view key, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  const auto tag = static_cast<std::uint32_t>(hash >> 32);
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.first == kNone) return i;
    if (slot.tag == tag && std::memcmp(KeyAt(slot.first).data(), key.data(), width_) == 0) return i;
  }
}

void RecordIndex::Grow(std::size_t slot_count) {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.assign(slot_count, Slot{});
  for (const Slot& slot : old) {
    if (slot.first == kNone) continue;
    const std::uint64_t hash = Hash(KeyAt(slot.first));
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].first != kNone) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

void RecordIndex::Reserve(std::size_t records) {
  keys_.reserve(records * width_);
  // At most half full, so probes stay short.
  const std::size_t wanted = std::bit_ceil(std::max(kMinSlots, records * 2));
  if (wanted > slots_.size()) Grow(wanted);
}

void RecordIndex::Clear() {
  count_ = 0;
  distinct_ = 0;
  keys_.clear();
  slots_.clear();
  next_same_.clear();
  chain_last_.clear();
}

void RecordIndex::Append(std::string_view key) {
  assert(key.size() == width_);
  assert(count_ < kNone);
  if ((distinct_ + 1) * 2 > slots_.size()) Grow(std::max(kMinSlots, slots_.size() * 2));
  const auto record = static_cast<std::uint32_t>(count_);
  keys_.insert(keys_.end(), key.begin(), key.end());
  ++count_;

  const std::uint64_t hash = Hash(key);
  Slot& slot = slots_[Probe(key, hash)];
  if (slot.first == kNone) {
    slot.first = record;
    slot.tag = static_cast<std::uint32_t>(hash >> 32);
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
  std::uint32_t record = slots_[Probe(key, Hash(key))].first;
  while (record != kNone && record < from) {
    const auto next = next_same_.find(record);
    record = next == next_same_.end() ? kNone : next->second;
  }
  return record;
}

}  // namespace ak
