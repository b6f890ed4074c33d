#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace ak {

// Allocator for the index's big arrays. Lookups land at random places in them, so on Linux they
// ask for huge pages: with 4 KiB pages nearly every lookup would also miss the address cache.
// Small arrays come from the ordinary heap.
template <typename T>
struct LargeArrayAllocator {
  using value_type = T;
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;

  LargeArrayAllocator() = default;
  template <typename U>
  LargeArrayAllocator(const LargeArrayAllocator<U>&) noexcept {}

  static bool IsLarge(std::size_t bytes) { return bytes >= kHugePage; }

  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (!IsLarge(bytes)) return static_cast<T*>(::operator new(bytes));
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (p == nullptr) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    ::madvise(p, rounded, MADV_HUGEPAGE);
#endif
    return static_cast<T*>(p);
  }

  void deallocate(T* p, std::size_t n) noexcept {
    if (IsLarge(n * sizeof(T))) {
      std::free(p);
    } else {
      ::operator delete(p);
    }
  }

  template <typename U>
  bool operator==(const LargeArrayAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace ak
