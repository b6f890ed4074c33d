#include "download/picture_fetch.h"

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

}  // namespace

bool LooksLikePicture(std::string_view bytes) {
  auto starts = [bytes](std::string_view signature, std::size_t at = 0) {
    return bytes.size() >= at + signature.size() && bytes.substr(at, signature.size()) == signature;
  };
  return starts("\xFF\xD8\xFF") || starts("\x89PNG\r\n\x1A\n") || starts("GIF87a") ||
         starts("GIF89a") || (starts("RIFF") && starts("WEBP", 8));
}

FetchedPicture FetchPicture(const PictureRequest& request, WorkerGate& gate) {
  if (!gate.Checkpoint()) return Ended();
  WinHttpFetchRequest first;
  first.url = request.url;
  first.extraHeaders = request.headerBlock;
  first.timeoutSeconds = kPictureTimeoutSeconds;
  first.stop = gate.StopToken();
  WinHttpFetchResult answer = PerformWinHttpFetch(first);
  if (gate.Stopped()) return Ended();
  if (answer.status == kStatusOk) return Judge(std::move(answer.body), kStatusOk);

  const Text& fallback = answer.status == kStatusNotFound ? request.on404 : request.onOtherStatus;
  if (!gate.Checkpoint()) return Ended();
  int status = 0;
  Bytes bytes = PlainHttpGet(fallback, &status, gate.StopToken());
  if (gate.Stopped()) return Ended();
  return Judge(std::move(bytes), status);
}

}  // namespace ak
