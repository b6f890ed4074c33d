#include "requests/service_send.h"

#include "net/http_fetch.h"

namespace ak {

ServiceAnswer HttpPageAnswer(const Text& url, std::stop_token stop) {
  HttpFetchRequest request;
  request.url = url;
  request.stop = std::move(stop);
  HttpFetchResult result = PerformHttpFetch(request);
  ServiceAnswer answer;
  answer.url = url;
  answer.completed = result.outcome == TransferOutcome::kCompleted;
  answer.status = result.status;
  answer.location = LocationOf(result.responseHeaders);
  answer.effectiveUrl = std::move(result.effectiveUrl);
  answer.body = std::move(result.body);
  return answer;
}

std::optional<ServiceSender::Page> ServiceSender::SendPage(const Text& url, RequestKind kind) {
  WorkerGate& gate = hold_.gate;
  for (;;) {
    if (!gate.Checkpoint()) return std::nullopt;
    if (hold_.pacer && !hold_.pacer->WaitTurn(gate.StopToken())) return std::nullopt;
    ServiceAnswer answer = transport_(url, gate.StopToken());
    if (gate.Stopped()) return std::nullopt;
    const AnswerKind judged = JudgeAnswer(kind, answer);
    if (judged != AnswerKind::kRefusal) return Page{judged, answer.status, std::move(answer.body)};
    // Held until continue; then the same request again.
    if (!HoldAfterRefusal(hold_)) return std::nullopt;
  }
}

FetchedPicture ServiceSender::SendPicture(const PictureRequest& request) {
  for (;;) {
    FetchedPicture picture = FetchPicture(request, hold_.gate, hold_.pacer);
    if (picture.result != FetchedPicture::Result::kRefused) return picture;
    // Refused: held until continue, then the same photo again; nothing saved or recorded.
    if (!HoldAfterRefusal(hold_)) {
      picture.result = FetchedPicture::Result::kEnded;
      picture.bytes.clear();
      return picture;
    }
  }
}

}  // namespace ak
