#include "requests/picture_fetch.h"

#include <algorithm>
#include <chrono>

#include "net/answer_kind.h"
#include "net/plain_http_get.h"
#include "net/winhttp_fetch.h"
#include "requests/picture_exchange.h"

namespace ak {
namespace {

constexpr int kStatusOk = 200;
constexpr int kStatusNotFound = 404;

FetchedPicture Judged(ServiceAnswer answer) {
  FetchedPicture fetched;
  fetched.status = static_cast<int>(answer.status);
  fetched.url = answer.url;
  switch (JudgeAnswer(RequestKind::kPicture, answer)) {
    case AnswerKind::kPicture:
      fetched.result = FetchedPicture::Result::kPicture;
      fetched.bytes = std::move(answer.body);
      break;
    case AnswerKind::kRefusal:
      fetched.result = FetchedPicture::Result::kRefused;
      break;
    default:
      break;
  }
  return fetched;
}

FetchedPicture Ended() {
  FetchedPicture fetched;
  fetched.result = FetchedPicture::Result::kEnded;
  return fetched;
}

bool Turn(RequestPacer* pacer, WorkerGate& gate) {
  return gate.Checkpoint() && (pacer == nullptr || pacer->WaitTurn(gate.StopToken()));
}

}  // namespace

PictureExchange::PictureExchange(PictureRequest request) : request_(std::move(request)) {
  first_.url = request_.url;
  first_.extraHeaders = request_.headerBlock;
  // Whole seconds for the connect and data waits, at least one; the whole limit cuts them.
  first_.timeoutSeconds =
      static_cast<int>(std::max<long long>(1, (request_.limits.eachWait.count() + 999) / 1000));
  first_.totalLimit = std::min(request_.limits.eachWait, request_.limits.whole);
}

std::chrono::milliseconds PictureExchange::Left() const {
  return std::chrono::ceil<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now());
}

TransferRequest PictureExchange::Transfer(std::stop_token stop) {
  // The limit of all the requests counts from the first one's start, not from a wait for the
  // pacer or for a free connection.
  if (stage_ == Stage::kFirst) deadline_ = std::chrono::steady_clock::now() + request_.limits.whole;
  if (stage_ == Stage::kPlainFallback) {
    return PlainHttpGetTransfer(fallbackUrl_, std::move(stop), Left());
  }
  WinHttpFetchRequest request = first_;
  if (stage_ == Stage::kFallbackWithHeaders) {
    request.url = fallbackUrl_;
    request.totalLimit = std::min(first_.totalLimit, Left());
  }
  request.stop = std::move(stop);
  return WinHttpTransfer(request, appliedHeaders_);
}

bool PictureExchange::Take(TransferResult done) {
  if (done.outcome == TransferOutcome::kStopped) {
    picture_ = Ended();
    return true;
  }
  const bool timedOut = done.outcome == TransferOutcome::kTimedOut;
  if (stage_ == Stage::kPlainFallback) {
    PlainHttpGetResult plain = PlainHttpGetResultOf(std::move(done));
    const bool completed = plain.completed;
    picture_ = Judged({fallbackUrl_, plain.completed, plain.status, std::move(plain.effectiveUrl),
                       std::move(plain.location), std::move(plain.body)});
    picture_.fallback = true;
    if (picture_.result != FetchedPicture::Result::kRefused) {
      // The fallback's own failure says why there is no picture; a time-out of the first
      // request followed by a fallback that failed otherwise is a time-out all the same.
      if (picture_.result == FetchedPicture::Result::kNoPicture) {
        picture_.timedOut = plain.timedOut || (firstTimedOut_ && !completed);
      }
      return true;
    }
    // Today's picture hosts refuse a request without the service's Referer, which the plain
    // transport never sends: the fallback goes once more with the photo's header block before
    // it counts as refused, within what is left of the picture's limit.
    if (Left() <= std::chrono::milliseconds(0)) {
      picture_.timedOut = true;
      return true;
    }
    stage_ = Stage::kFallbackWithHeaders;
    return false;
  }
  const Text& asked = stage_ == Stage::kFirst ? request_.url : fallbackUrl_;
  WinHttpFetchRequest request = first_;
  request.url = asked;
  WinHttpFetchResult answer = WinHttpResultOf(request, appliedHeaders_, std::move(done));
  const long status = answer.status;
  picture_ =
      Judged({asked, answer.outcome == TransferOutcome::kCompleted, answer.status,
              std::move(answer.effectiveUrl), std::move(answer.location), std::move(answer.body)});
  if (stage_ == Stage::kFallbackWithHeaders) {
    if (picture_.result == FetchedPicture::Result::kNoPicture) picture_.timedOut = timedOut;
    picture_.fallback = true;
    return true;
  }
  // A 200 is the answer, picture or not; a refusal is held by the caller.
  if (picture_.result == FetchedPicture::Result::kRefused || status == kStatusOk) return true;
  firstTimedOut_ = timedOut;
  // No time left for the fallback: the picture ran out of its limit.
  if (Left() <= std::chrono::milliseconds(0)) {
    picture_.timedOut = true;
    return true;
  }
  stage_ = Stage::kPlainFallback;
  fallbackUrl_ = status == kStatusNotFound ? request_.on404 : request_.onOtherStatus;
  return false;
}

FetchedPicture FetchPicture(const PictureRequest& request, WorkerGate& gate, RequestPacer* pacer) {
  PictureExchange exchange(request);
  for (;;) {
    if (!Turn(pacer, gate)) return Ended();
    TransferResult done = RunTransfer(exchange.Transfer(gate.StopToken()));
    if (gate.Stopped()) return Ended();
    if (exchange.Take(std::move(done))) return std::move(exchange.picture());
  }
}

}  // namespace ak
