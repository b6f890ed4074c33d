#include "requests/original_fetch.h"

#include "net/answer_kind.h"
#include "net/winhttp_fetch.h"

namespace ak {

FetchedPicture FetchOriginalPicture(const Text& url, const Text& headerBlock, const Text& cookies,
                                    WorkerGate& gate, RequestPacer* pacer) {
  FetchedPicture fetched;
  if (!gate.Checkpoint() || (pacer != nullptr && !pacer->WaitTurn(gate.StopToken()))) {
    fetched.result = FetchedPicture::Result::kEnded;
    return fetched;
  }
  WinHttpFetchRequest request;
  request.url = url;
  request.extraHeaders = headerBlock;
  request.cookies = cookies;
  request.timeoutSeconds = 30;
  request.stop = gate.StopToken();
  WinHttpFetchResult answer = PerformWinHttpFetch(request);
  if (gate.Stopped()) {
    fetched.result = FetchedPicture::Result::kEnded;
    return fetched;
  }
  fetched.status = static_cast<int>(answer.status);
  fetched.url = url;
  ServiceAnswer judged{url,
                       answer.outcome == TransferOutcome::kCompleted,
                       answer.status,
                       std::move(answer.effectiveUrl),
                       std::move(answer.location),
                       std::move(answer.body)};
  if (JudgeAnswer(RequestKind::kPicture, judged) == AnswerKind::kPicture) {
    fetched.result = FetchedPicture::Result::kPicture;
    fetched.bytes = std::move(judged.body);
  }
  return fetched;
}

}  // namespace ak
