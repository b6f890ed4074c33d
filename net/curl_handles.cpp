#include "net/curl_handles.h"

#include <memory>

#include "net/curl_global.h"
#include "net/curl_transfer.h"

namespace ak {
namespace {

struct OwnedHandles {
  ThreadCurlHandles handles;

  OwnedHandles() {
    EnsureCurlGlobalInit();
    handles.multi = curl_multi_init();
    handles.jarEasy = curl_easy_init();
    handles.plainEasy = curl_easy_init();
  }
  ~OwnedHandles() {
    if (handles.jarEasy) curl_easy_cleanup(handles.jarEasy);
    if (handles.plainEasy) curl_easy_cleanup(handles.plainEasy);
    if (handles.multi) curl_multi_cleanup(handles.multi);
  }
  OwnedHandles(const OwnedHandles&) = delete;
  OwnedHandles& operator=(const OwnedHandles&) = delete;
};

thread_local std::unique_ptr<OwnedHandles> threadHandles;

}  // namespace

ThreadCurlHandles& CurrentThreadCurlHandles() {
  if (!threadHandles) threadHandles = std::make_unique<OwnedHandles>();
  return threadHandles->handles;
}

void ReleaseThreadTransferHandles() { threadHandles.reset(); }

}  // namespace ak
