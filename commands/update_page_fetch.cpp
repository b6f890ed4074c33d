#include "commands/update_page_fetch.h"

#include "net/http_fetch.h"
#include "net/service_config.h"

namespace ak {

UpdatePageFetch UpdatePageFetcher() {
  return [] { return HttpFetch(UpdatePageUrl(), 0); };
}

}  // namespace ak
