#pragma once

#include <mutex>

#include "base/types.h"

namespace ak {

// The last accepted address and what was taken from it: the person's page name or the album
// number (names the record store), and the owner's name or the album title (the folder level
// above the album folders). GBK.
struct Source {
  Text address;
  Text id;
  Text title;
};

// The source the album listing wrote last. The listing writes it; a batch copies it once when
// it starts, so a listing started during a batch does not move the batch's later albums.
class CurrentSource {
 public:
  void Set(Source source) {
    std::lock_guard lock(mutex_);
    source_ = std::move(source);
  }
  Source Get() const {
    std::lock_guard lock(mutex_);
    return source_;
  }

 private:
  mutable std::mutex mutex_;
  Source source_;
};

}  // namespace ak
