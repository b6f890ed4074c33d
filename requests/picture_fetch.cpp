#include "requests/picture_fetch.h"

#include <algorithm>
#include <chrono>

#include "net/answer_kind.h"
#include "net/plain_http_get.h"
#include "net/winhttp_fetch.h"

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

FetchedPicture FetchPicture(const PictureRequest& request, WorkerGate& gate, RequestPacer* pacer) {
  using Clock = std::chrono::steady_clock;
  using std::chrono::milliseconds;
  if (!Turn(pacer, gate)) return Ended();
  // The limit of both requests counts from the first one's start, not from a wait for the pacer.
  const Clock::time_point deadline = Clock::now() + request.limits.whole;
  WinHttpFetchRequest first;
  first.url = request.url;
  first.extraHeaders = request.headerBlock;
  // Whole seconds for the connect and data waits, at least one; the whole limit cuts them.
  first.timeoutSeconds =
      static_cast<int>(std::max<long long>(1, (request.limits.eachWait.count() + 999) / 1000));
  first.totalLimit = std::min(request.limits.eachWait, request.limits.whole);
  first.stop = gate.StopToken();
  WinHttpFetchResult answer = PerformWinHttpFetch(first);
  if (gate.Stopped()) return Ended();
  const long firstStatus = answer.status;
  const bool firstTimedOut = answer.outcome == TransferOutcome::kTimedOut;
  FetchedPicture fetched =
      Judged({request.url, answer.outcome == TransferOutcome::kCompleted, answer.status,
              std::move(answer.effectiveUrl), std::move(answer.location), std::move(answer.body)});
  // A 200 is the answer, picture or not; a refusal is held by the caller.
  if (fetched.result == FetchedPicture::Result::kRefused || firstStatus == kStatusOk) {
    return fetched;
  }

  const Text& fallback = firstStatus == kStatusNotFound ? request.on404 : request.onOtherStatus;
  if (!Turn(pacer, gate)) return Ended();
  const milliseconds left = std::chrono::ceil<milliseconds>(deadline - Clock::now());
  // No time left for the fallback: the picture ran out of its limit.
  if (left <= milliseconds(0)) {
    fetched.timedOut = true;
    return fetched;
  }
  PlainHttpGetResult plain = PerformPlainHttpGet(fallback, gate.StopToken(), left);
  if (gate.Stopped()) return Ended();
  const bool plainTimedOut = plain.timedOut;
  FetchedPicture fellBack =
      Judged({fallback, plain.completed, plain.status, std::move(plain.effectiveUrl),
              std::move(plain.location), std::move(plain.body)});
  if (fellBack.result != FetchedPicture::Result::kRefused) {
    // The fallback's own failure says why there is no picture; a time-out of the first request
    // followed by a fallback that failed otherwise is a time-out all the same.
    if (fellBack.result == FetchedPicture::Result::kNoPicture) {
      fellBack.timedOut = plainTimedOut || (firstTimedOut && !plain.completed);
    }
    fellBack.fallback = true;
    return fellBack;
  }

  // Today's picture hosts refuse a request without the service's Referer, which the plain
  // transport never sends: the fallback goes once more with the photo's header block before it
  // counts as refused, within what is left of the picture's limit.
  if (!Turn(pacer, gate)) return Ended();
  const milliseconds rest = std::chrono::ceil<milliseconds>(deadline - Clock::now());
  if (rest <= milliseconds(0)) {
    fellBack.timedOut = true;
    return fellBack;
  }
  WinHttpFetchRequest again = first;
  again.url = fallback;
  again.totalLimit = std::min(first.totalLimit, rest);
  WinHttpFetchResult second = PerformWinHttpFetch(again);
  if (gate.Stopped()) return Ended();
  const bool secondTimedOut = second.outcome == TransferOutcome::kTimedOut;
  FetchedPicture last =
      Judged({fallback, second.outcome == TransferOutcome::kCompleted, second.status,
              std::move(second.effectiveUrl), std::move(second.location), std::move(second.body)});
  if (last.result == FetchedPicture::Result::kNoPicture) last.timedOut = secondTimedOut;
  last.fallback = true;
  return last;
}

}  // namespace ak
