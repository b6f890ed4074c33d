#pragma once

#include <chrono>
#include <stop_token>

#include "net/curl_transfer.h"
#include "net/winhttp_fetch.h"
#include "requests/picture_fetch.h"

namespace ak {

// One attempt at a picture as a sequence of exchanges: the first request with the photo's
// header block and its 30-second time-out, then, after an answer that is neither 200 nor a
// refusal, the plain request of the fallback, and when that is refused, the fallback's address
// once more with the header block. The caller makes each exchange (alone, or beside
// others in a TransferSet) and hands its result back; the judging is FetchPicture's.
class PictureExchange {
 public:
  explicit PictureExchange(PictureRequest request);

  // The exchange to make now.
  TransferRequest Transfer(std::stop_token stop = {});
  // The result of the exchange made. True when the attempt is over (see picture()), false when
  // the fallback's exchange is to be made next. A stopped exchange gives kEnded.
  bool Take(TransferResult done);
  // True once the first request was answered and the fallback is under way.
  bool inFallback() const { return stage_ != Stage::kFirst; }
  FetchedPicture& picture() { return picture_; }

 private:
  PictureRequest request_;
  WinHttpFetchRequest first_;
  Text appliedHeaders_;
  // What is left of the picture's whole limit.
  std::chrono::milliseconds Left() const;

  enum class Stage { kFirst, kPlainFallback, kFallbackWithHeaders };
  std::chrono::steady_clock::time_point deadline_{};
  bool firstTimedOut_ = false;
  Stage stage_ = Stage::kFirst;
  Text fallbackUrl_;
  FetchedPicture picture_;
};

}  // namespace ak
