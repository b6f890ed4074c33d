#include "tests/tools/douban_client.h"

#include <sstream>

namespace ak::test {
namespace {

size_t Append(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

curl_slist* ConnectToList(const std::string& value) {
  curl_slist* list = nullptr;
  std::stringstream entries(value);
  std::string entry;
  while (std::getline(entries, entry, ',')) list = curl_slist_append(list, entry.c_str());
  return list;
}

}  // namespace

Fetched Fetch(const FakeDouban& douban, const std::string& url, const FetchOptions& options) {
  Fetched result;
  CURL* curl = curl_easy_init();
  curl_slist* connectTo = ConnectToList(douban.connectTo());
  curl_slist* headers = nullptr;
  for (const std::string& header : options.headers) {
    headers = curl_slist_append(headers, header.c_str());
  }
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECT_TO, connectTo);
  curl_easy_setopt(curl, CURLOPT_CAINFO, douban.caFile().c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Append);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, Append);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &result.headerText);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, options.timeoutMs);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, options.followRedirects ? 1L : 0L);
  if (options.http10) curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
  if (!options.cookie.empty()) curl_easy_setopt(curl, CURLOPT_COOKIE, options.cookie.c_str());
  if (!options.postFields.empty()) {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, options.postFields.c_str());
  }
  result.code = curl_easy_perform(curl);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  const char* type = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type != nullptr) {
    result.contentType = type;
  }
  const char* location = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location) == CURLE_OK &&
      location != nullptr) {
    result.location = location;
  }
  curl_slist_free_all(headers);
  curl_slist_free_all(connectTo);
  curl_easy_cleanup(curl);
  return result;
}

}  // namespace ak::test
