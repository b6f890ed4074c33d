#include "tools/fake_douban/service.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "tools/fake_douban/addresses.h"
#include "tools/fake_douban/api_answers.h"
#include "tools/fake_douban/pages.h"

namespace ak::fake {
namespace {

std::string HostOf(const httplib::Request& req) {
  std::string host = req.get_header_value("Host");
  const size_t colon = host.rfind(':');
  if (colon != std::string::npos && host.find(']') == std::string::npos) host.resize(colon);
  std::transform(host.begin(), host.end(), host.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return host;
}

int IntParam(const httplib::Request& req, const char* name, int fallback) {
  if (!req.has_param(name)) return fallback;
  return std::atoi(req.get_param_value(name).c_str());
}

Answer Html(int status, std::string body) {
  Answer answer;
  answer.status = status;
  answer.body = std::move(body);
  return answer;
}

Answer Redirect(int status, const std::string& location) {
  Answer answer =
      Html(status, "<html><body><a href=\"" + location + "\">moved</a></body></html>\n");
  answer.headers.emplace_back("Location", location);
  return answer;
}

Answer Json(int status, std::string body) {
  Answer answer;
  answer.status = status;
  answer.contentType = "application/json; charset=utf-8";
  answer.body = std::move(body);
  return answer;
}

// The parts of a path between slashes ("/people/ahua/" gives "people", "ahua").
std::vector<std::string> Segments(const std::string& path) {
  std::vector<std::string> parts;
  size_t pos = 1;
  while (pos <= path.size()) {
    const size_t end = std::min(path.find('/', pos), path.size());
    if (end > pos) parts.push_back(path.substr(pos, end - pos));
    pos = end + 1;
  }
  return parts;
}

bool IsDigits(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The session user named by the dbcl2 cookie that the login form sets, or empty.
std::string SessionUser(const httplib::Request& req) {
  const std::string cookies = req.get_header_value("Cookie");
  const std::string key = "dbcl2=\"";
  const size_t start = cookies.find(key);
  if (start == std::string::npos) return {};
  const size_t colon = cookies.find(':', start);
  const size_t end = cookies.find('"', start + key.size());
  if (colon == std::string::npos || end == std::string::npos || colon > end) return {};
  return cookies.substr(colon + 1, end - colon - 1);
}

}  // namespace

void FakeService::Install(httplib::Server& server) {
  auto handler = [this](const httplib::Request& req, httplib::Response& res) { Handle(req, res); };
  server.Get(".*", handler);
  server.Post(".*", handler);
}

bool FakeService::IsPictureHost(const std::string& host) const {
  return std::find(pictureHosts_.begin(), pictureHosts_.end(), host) != pictureHosts_.end();
}

void FakeService::Handle(const httplib::Request& req, httplib::Response& res) {
  const std::string host = HostOf(req);
  const bool https = req.get_header_value("X-Fake-Douban-Scheme") == "https";
  const bool isPicture = IsPictureHost(host);
  Answer answer;
  if (faults_.CountAndCheckBlocked()) {
    if (faults_.options().today) {
      // Today's blocks: the login-redirect page in place of a page, or a 403 that sends the
      // client to the security host.
      answer = faults_.options().blockLogin && host == fixture_.webHost
                   ? Html(200, LoginRedirectPage(fixture_))
                   : Redirect(403, "https://sec.douban.com/b?r=http%3A%2F%2F" + host + req.path);
    } else {
      answer = faults_.options().blockLogin && host == fixture_.webHost
                   ? Redirect(302, "http://" + fixture_.webHost + "/login?redir=" + req.path)
                   : Html(403, BlockPage());
    }
  } else if (isPicture && faults_.TakeLoginPicture()) {
    answer = Redirect(302, "http://" + fixture_.webHost + "/login?redir=" + req.path);
  } else {
    answer = Route(req, host, https);
    if (faults_.TakeEmpty(host, req.target, isPicture)) answer.body.clear();
    if (faults_.IsGarbage(req.target, isPicture)) {
      answer.status = 200;
      answer.body = GarbageBytes(req.target);
    }
  }
  if (faults_.IsSlow(req.target, isPicture)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(faults_.SlowMsFor(req.target)));
  }
  res.status = answer.status;
  for (const auto& [name, value] : answer.headers) res.set_header(name.c_str(), value);
  if (faults_.IsCutOff(req.target, isPicture) && answer.body.size() > 1) {
    // Announce the whole length, send half, then give up: the connection closes mid-body.
    auto body = std::make_shared<std::string>(std::move(answer.body));
    res.set_content_provider(body->size(), answer.contentType.c_str(),
                             [body](size_t offset, size_t, httplib::DataSink& sink) {
                               const size_t half = body->size() / 2;
                               if (offset < half) sink.write(body->data() + offset, half - offset);
                               return false;
                             });
    return;
  }
  res.set_content(answer.body, answer.contentType.c_str());
}

Answer FakeService::Route(const httplib::Request& req, const std::string& host, bool https) {
  if (host == fixture_.webHost) {
    if (!https && faults_.options().redirectHttps) {
      return Redirect(301, "https://" + host + req.target);
    }
    return WebHost(req);
  }
  if (host == fixture_.apiHost) return ApiHost(req, https);
  if (IsPictureHost(host)) return PictureHost(req, host);
  return Html(404, ErrorPage(404, "unknown host " + host));
}

Answer FakeService::WebHost(const httplib::Request& req) {
  const std::string& path = req.path;
  const std::vector<std::string> parts = Segments(path);
  if (path == "/") return Html(200, RootPage(fixture_, SessionUser(req)));
  if (path == "/login") {
    if (req.method != "POST") return Html(200, LoginPage(fixture_, {}));
    const std::string email = req.get_param_value("form_email");
    if (email.empty()) return Html(200, LoginPage(fixture_, "请输入帐号"));
    Answer answer = Redirect(302, "http://" + fixture_.webHost + "/");
    answer.headers.emplace_back(
        "Set-Cookie", "dbcl2=\"1000001:" + email + "\"; path=/; domain=.douban.com; httponly");
    answer.headers.emplace_back("Set-Cookie", "ck=Xk9q; path=/; domain=.douban.com");
    return answer;
  }
  if (path == "/albumkeeper/update.txt") {
    Answer answer = Html(200, UpdatePage(fixture_));
    answer.contentType = "text/plain";
    return answer;
  }
  // /people/NAME[/] and /people/NAME/photos[/]
  if (!parts.empty() && parts[0] == "people" &&
      (parts.size() == 2 || (parts.size() == 3 && parts[2] == "photos"))) {
    const Person* person = fixture_.FindPerson(parts[1]);
    if (person == nullptr) return Html(404, ErrorPage(404, "no such person"));
    if (parts.size() == 2) return Html(200, HomePage(fixture_, *person));
    return Html(200, AlbumListPage(fixture_, *person, IntParam(req, "start", 0),
                                   faults_.options().listPages));
  }
  // /photos/album/ID/
  if (parts.size() == 3 && parts[0] == "photos" && parts[1] == "album" && IsDigits(parts[2])) {
    const Person* owner = nullptr;
    const Album* album = fixture_.FindAlbum(parts[2], &owner);
    if (album == nullptr) return Html(404, ErrorPage(404, "no such album"));
    if (!path.ends_with("/")) {
      // Like the service: the album address without its closing slash moves to the one with it.
      const size_t query = req.target.find('?');
      return Redirect(301, AlbumUrl(fixture_, *album) +
                               (query == std::string::npos ? "" : req.target.substr(query)));
    }
    // Today's pages are paged by "m_start" and ignore "start".
    const bool today = faults_.options().today;
    const int start =
        faults_.options().ignoreStart ? 0 : IntParam(req, today ? "m_start" : "start", 0);
    return Html(200, AlbumPage(fixture_, *owner, *album, start, faults_.options().newLayout,
                               faults_.options().photoCount, today));
  }
  return Html(404, ErrorPage(404, "no such page"));
}

Answer FakeService::ApiHost(const httplib::Request& req, bool https) {
  if (!https) return Json(403, ApiErrorAnswer(1002, "https_required", req.target));
  if (faults_.options().today) {
    const std::string key = req.get_param_value("apikey");
    if (key.empty()) return Json(400, ApiErrorAnswer(131, "apikey is required", req.target));
    if (key == kTodayBlockedApiKey) {
      return Json(403, ApiErrorAnswer(105, "apikey_is_blocked", req.target));
    }
    if (key != kTodayApiKey) return Json(400, ApiErrorAnswer(104, "invalid_apikey", req.target));
  }
  for (const auto& [match, body] : faults_.options().apiAnswers) {
    if (req.target.starts_with(match)) return Json(200, body);
  }
  // /v2/album/ID/photos
  const std::vector<std::string> parts = Segments(req.path);
  if (parts.size() != 4 || parts[0] != "v2" || parts[1] != "album" || !IsDigits(parts[2]) ||
      parts[3] != "photos" || req.path.ends_with("/")) {
    return Json(404, ApiErrorAnswer(1001, "uri_not_found", req.target));
  }
  const Person* owner = nullptr;
  const Album* album = fixture_.FindAlbum(parts[2], &owner);
  if (album == nullptr) return Json(404, ApiErrorAnswer(2000, "album_not_found", req.target));
  return Json(
      200, AlbumPhotosAnswer(*owner, *album, IntParam(req, "start", 0), IntParam(req, "count", 20),
                             faults_.options().photoCount, faults_.options().today));
}

Answer FakeService::PictureHost(const httplib::Request& req, const std::string& host) {
  PictureSize size;
  std::string id;
  if (faults_.options().today && ParseTodayPicturePath(req.path, size, id)) {
    return TodayPicture(req, host, size, id);
  }
  if (!ParsePicturePath(req.path, size, id)) return Html(404, ErrorPage(404, "no such picture"));
  bool found = false;
  if (size == PictureSize::kCover) {
    // A cover is served under the album's first photo id, on the album's cover host.
    for (const Person& person : fixture_.people) {
      for (const Album& album : person.albums) {
        found = found || (album.hasCover && !album.photos.empty() &&
                          album.photos.front().id == id && album.coverHost == host);
      }
    }
  } else {
    const Photo* photo = fixture_.FindPhoto(id);
    found =
        photo != nullptr && photo->host == host && (size != PictureSize::kLarge || photo->hasLarge);
    const int forcedStatus = faults_.PictureError(id);
    if (found && forcedStatus != 0 && size != PictureSize::kThumb) {
      return Html(forcedStatus, ErrorPage(forcedStatus, "picture unavailable"));
    }
  }
  if (!found) return Html(404, ErrorPage(404, "no such picture"));
  if (size == PictureSize::kCover && faults_.options().coverReferer && !FromWebHost(req)) {
    // Like the picture hosts since 2023: no picture without a Referer from the service.
    return Html(403, ErrorPage(403, "referer required"));
  }
  Answer answer;
  answer.contentType = "image/jpeg";
  answer.body = jpegs_.Get(size, id);
  return answer;
}

Answer FakeService::TodayPicture(const httplib::Request& req, const std::string& host,
                                 PictureSize size, const std::string& id) {
  const Photo* photo = fixture_.FindPhoto(id);
  if (photo == nullptr || photo->host != host ||
      (size == PictureSize::kLarge && !photo->hasLarge)) {
    return Html(404, ErrorPage(404, "no such picture"));
  }
  if (!FromWebHost(req)) return Html(403, ErrorPage(403, "referer required"));
  if (size == PictureSize::kRaw && SessionUser(req).empty()) {
    return Html(403, ErrorPage(403, "sign in to see the original"));
  }
  const int forcedStatus = faults_.PictureError(id);
  if (forcedStatus != 0 && size != PictureSize::kThumb) {
    return Html(forcedStatus, ErrorPage(forcedStatus, "picture unavailable"));
  }
  // The double has no WebP encoder: a .webp address answers the same JPEG.
  Answer answer;
  answer.contentType = "image/jpeg";
  answer.body = jpegs_.Get(size, id);
  return answer;
}

bool FakeService::FromWebHost(const httplib::Request& req) const {
  const std::string referer = req.get_header_value("Referer");
  return referer.starts_with("http://" + fixture_.webHost + "/") ||
         referer.starts_with("https://" + fixture_.webHost + "/");
}

}  // namespace ak::fake
