#include "download/picture_fetch.h"

#include "download/refusal.h"
#include "net/plain_http_get.h"
#include "net/winhttp_fetch.h"

namespace ak {
namespace {

constexpr int kPictureTimeoutSeconds = 30;
constexpr int kStatusOk = 200;
constexpr int kStatusNotFound = 404;

FetchedPicture Judge(Bytes bytes, int status) {
  FetchedPicture fetched;
  fetched.status = status;
  if (status == kStatusOk && LooksLikePicture(bytes)) {
    fetched.result = FetchedPicture::Result::kPicture;
    fetched.bytes = std::move(bytes);
  }
  return fetched;
}

FetchedPicture Ended() {
  FetchedPicture fetched;
  fetched.result = FetchedPicture::Result::kEnded;
  return fetched;
}

// A refusal of the service: the status, or the block page where a picture should be.
bool Refused(const Text& url, int status, const Bytes& body) {
  if (!IsServiceAddress(url)) return false;
  if (IsRefusalStatus(status)) return true;
  return status == kStatusOk && !LooksLikePicture(body) && IsBlockPage(body);
}

FetchedPicture RefusedPicture(int status) {
  FetchedPicture fetched;
  fetched.result = FetchedPicture::Result::kRefused;
  fetched.status = status;
  return fetched;
}

bool Turn(RequestPacer* pacer, WorkerGate& gate) {
  return pacer == nullptr || pacer->WaitTurn(gate.StopToken());
}

}  // namespace

bool LooksLikePicture(std::string_view bytes) {
  auto starts = [bytes](std::string_view signature, std::size_t at = 0) {
    return bytes.size() >= at + signature.size() && bytes.substr(at, signature.size()) == signature;
  };
  return starts("\xFF\xD8\xFF") || starts("\x89PNG\r\n\x1A\n") || starts("GIF87a") ||
         starts("GIF89a") || (starts("RIFF") && starts("WEBP", 8));
}

FetchedPicture FetchPicture(const PictureRequest& request, WorkerGate& gate, RequestPacer* pacer) {
  if (!gate.Checkpoint() || !Turn(pacer, gate)) return Ended();
  WinHttpFetchRequest first;
  first.url = request.url;
  first.extraHeaders = request.headerBlock;
  first.timeoutSeconds = kPictureTimeoutSeconds;
  first.stop = gate.StopToken();
  WinHttpFetchResult answer = PerformWinHttpFetch(first);
  if (gate.Stopped()) return Ended();
  const int firstStatus = static_cast<int>(answer.status);
  if (Refused(request.url, firstStatus, answer.body)) return RefusedPicture(firstStatus);
  if (answer.status == kStatusOk) return Judge(std::move(answer.body), kStatusOk);

  const Text& fallback = answer.status == kStatusNotFound ? request.on404 : request.onOtherStatus;
  if (!gate.Checkpoint() || !Turn(pacer, gate)) return Ended();
  int status = 0;
  Bytes bytes = PlainHttpGet(fallback, &status, gate.StopToken());
  if (gate.Stopped()) return Ended();
  if (Refused(fallback, status, bytes)) return RefusedPicture(status);
  return Judge(std::move(bytes), status);
}

}  // namespace ak
