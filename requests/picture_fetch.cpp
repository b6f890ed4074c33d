#include "requests/picture_fetch.h"

#include "net/answer_kind.h"
#include "net/plain_http_get.h"
#include "net/winhttp_fetch.h"

namespace ak {
namespace {

constexpr int kPictureTimeoutSeconds = 30;
constexpr int kStatusOk = 200;
constexpr int kStatusNotFound = 404;

FetchedPicture Judged(ServiceAnswer answer) {
  FetchedPicture fetched;
  fetched.status = static_cast<int>(answer.status);
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
  if (!Turn(pacer, gate)) return Ended();
  WinHttpFetchRequest first;
  first.url = request.url;
  first.extraHeaders = request.headerBlock;
  first.timeoutSeconds = kPictureTimeoutSeconds;
  first.stop = gate.StopToken();
  WinHttpFetchResult answer = PerformWinHttpFetch(first);
  if (gate.Stopped()) return Ended();
  const long firstStatus = answer.status;
  FetchedPicture fetched =
      Judged({request.url, answer.outcome == TransferOutcome::kCompleted, answer.status,
              std::move(answer.effectiveUrl), std::move(answer.location), std::move(answer.body)});
  // A 200 is the answer, picture or not; a refusal is held by the caller.
  if (fetched.result == FetchedPicture::Result::kRefused || firstStatus == kStatusOk) {
    return fetched;
  }

  const Text& fallback = firstStatus == kStatusNotFound ? request.on404 : request.onOtherStatus;
  if (!Turn(pacer, gate)) return Ended();
  PlainHttpGetResult plain = PerformPlainHttpGet(fallback, gate.StopToken());
  if (gate.Stopped()) return Ended();
  FetchedPicture fellBack =
      Judged({fallback, plain.completed, plain.status, std::move(plain.effectiveUrl),
              std::move(plain.location), std::move(plain.body)});
  if (fellBack.result != FetchedPicture::Result::kRefused) return fellBack;

  // Today's picture hosts refuse a request without the service's Referer, which the plain
  // transport never sends: the fallback goes once more with the photo's header block before it
  // counts as refused.
  if (!Turn(pacer, gate)) return Ended();
  WinHttpFetchRequest again = first;
  again.url = fallback;
  WinHttpFetchResult second = PerformWinHttpFetch(again);
  if (gate.Stopped()) return Ended();
  return Judged({fallback, second.outcome == TransferOutcome::kCompleted, second.status,
                 std::move(second.effectiveUrl), std::move(second.location),
                 std::move(second.body)});
}

}  // namespace ak
