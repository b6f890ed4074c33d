#pragma once

#include <functional>
#include <optional>
#include <stop_token>

#include "base/types.h"
#include "net/answer_kind.h"
#include "requests/picture_fetch.h"
#include "requests/refusal_hold.h"

namespace ak {

// A page GET as the listing and the downloaders make it (HttpFetch with its defaults,
// redirects followed), reported for the judge.
using PageTransport = std::function<ServiceAnswer(const Text& url, std::stop_token stop)>;
ServiceAnswer HttpPageAnswer(const Text& url, std::stop_token stop);

// The one way the listing and the batch send requests to the service, pages, API and pictures
// alike: wait for the gate and the pacer, send, judge the answer; a refusal holds the work (or
// ends it, as its policy says) and after continue the same request goes again.
class ServiceSender {
 public:
  explicit ServiceSender(RefusalHold& hold, PageTransport transport = HttpPageAnswer)
      : hold_(hold), transport_(std::move(transport)) {}

  // A page or API answer, never a refusal; nothing when the work was ended.
  struct Page {
    AnswerKind kind = AnswerKind::kEmpty;
    long status = 0;
    Bytes body;
  };
  std::optional<Page> SendPage(const Text& url, RequestKind kind = RequestKind::kPage);

  // A picture (first request and its fallback, see FetchPicture): kPicture, kNoPicture, or
  // kEnded when the work was ended; never kRefused.
  FetchedPicture SendPicture(const PictureRequest& request);

  RefusalHold& hold() { return hold_; }

 private:
  RefusalHold& hold_;
  PageTransport transport_;
};

}  // namespace ak
