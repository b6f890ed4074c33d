#include "tools/fake_douban/pages.h"

#include <algorithm>

#include "tools/fake_douban/addresses.h"

namespace ak::fake {
namespace {

std::string PageHead(std::string_view titleLines) {
  return "<!DOCTYPE html>\n<html lang=\"zh-cmn-Hans\">\n<head>\n"
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n<title>" +
         std::string(titleLines) + "</title>\n";
}

// One album entry, laid out line for line as the service writes it: the cover link, then the
// name link on the fourth line, indented by 4, 8 and 12 spaces.
std::string AlbumEntry(const Fixture& fixture, const Album& album) {
  const std::string url = AlbumUrl(fixture, album);
  std::string out = "<div class=\"albumlst\">\n";
  out += "    <a class=\"album_photo\" href=\"" + url + "\"><img class=\"album\" src=\"" +
         CoverUrl(album) + "\"/></a>\n";
  out += "    <div class=\"albumlst_r\">\n";
  out += "        <div class=\"pl2\">\n";
  out += "            <a href=\"" + url + "\">" + HtmlEscape(album.title) + "</a>\n";
  out += "        </div>\n";
  out += "        <span class=\"pl\">" + std::to_string(album.photos.size()) + "张照片</span>\n";
  out += "    </div>\n</div>\n";
  return out;
}

// A recommended album in the side bar: same elements, but indented with tabs, so a pattern that
// is loose about the layout lists an album the person does not have.
std::string SideBarDecoy(const Fixture& fixture) {
  const std::string url = "http://" + fixture.webHost + "/photos/album/1999999999/";
  return "<div class=\"aside\">\n<h2>推荐相册</h2>\n"
         "<a href=\"" +
         url + "\"><img class=\"album\" src=\"http://img1.doubanio.com" +
         PicturePath(PictureSize::kCover, "1999999999") +
         "\"/></a>\n\t<div class=\"albumlst_r\">\n\t\t<div class=\"pl2\">\n\t\t\t<a href=\"" + url +
         "\">推荐的相册</a>\n\t\t</div>\n\t</div>\n</div>\n";
}

std::string Paginator(std::string_view baseUrl, int start, int total, int perPage,
                      const std::optional<std::string>& claimedPages = std::nullopt,
                      std::string_view paging = "start") {
  const std::string query = "?" + std::string(paging) + "=";
  // A claim is shown even without albums, as page 1 of the claimed count.
  const int pages = std::max((total + perPage - 1) / perPage, claimedPages ? 1 : 0);
  if (pages <= 1 && !claimedPages) return {};
  const int current = start / perPage + 1;
  std::string out = "<div class=\"paginator\">\n";
  if (current > 1) {
    out += "<span class=\"prev\"><a href=\"" + std::string(baseUrl) + query +
           std::to_string((current - 2) * perPage) + "\">&lt;前页</a></span>\n";
  } else {
    out += "<span class=\"prev\">&lt;前页</span>\n";
  }
  for (int p = 1; p <= pages; ++p) {
    if (p == current) {
      out += "<span class=\"thispage\" data-total-page=\"" +
             claimedPages.value_or(std::to_string(pages)) + "\">" + std::to_string(p) + "</span>\n";
    } else {
      out += "<a href=\"" + std::string(baseUrl) + query + std::to_string((p - 1) * perPage) +
             "\">" + std::to_string(p) + "</a>\n";
    }
  }
  out += "</div>\n";
  return out;
}

std::string PhotoEntry(const Fixture& fixture, const Photo& photo) {
  return "<div class=\"photo_wrap\">\n    <a href=\"" + PhotoPageUrl(fixture, photo) +
         "\" class=\"photolst_photo\" title=\"" + HtmlEscape(photo.desc.value_or("")) +
         "\">\n        <img src=\"" +
         PictureUrl("http", photo.host, PictureSize::kThumb, photo.id) +
         "\" />\n    </a>\n    <div class=\"pl\">" + HtmlEscape(photo.desc.value_or("")) +
         "</div>\n</div>\n";
}

// The same photo in the markup of a later layout: no thumbnail address the photo pattern knows.
std::string NewLayoutEntry(const Fixture& fixture, const Photo& photo) {
  return "<figure class=\"photo-item\" data-id=\"" + photo.id + "\">\n    <a href=\"" +
         PhotoPageUrl(fixture, photo) + "\"><img data-src=\"" +
         PictureUrl("http", photo.host, PictureSize::kThumb, photo.id) + "?v=2\" alt=\"" +
         HtmlEscape(photo.desc.value_or("")) + "\" /></a>\n</figure>\n";
}

// The same photo in today's markup: the link's attributes in varying order, the thumbnail in
// the m or l size, .webp or .jpg, on an https address, lazily loaded (a placeholder in src, the
// address in data-src) or not.
std::string TodayEntry(const Fixture& fixture, const Photo& photo, int index) {
  const std::string desc = HtmlEscape(photo.desc.value_or(""));
  const std::string host = "https://" + photo.host;
  const std::string link = "href=\"" + PhotoPageUrl(fixture, photo) + "\"";
  const std::string title = "title=\"" + desc + "\"";
  constexpr std::string_view kPlaceholder =
      "src=\"data:image/gif;base64,R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7\"";
  std::string out = "<div class=\"photo_wrap\">\n    ";
  switch (index % 3) {
    case 0:
      out += "<a " + link + " class=\"photolst_photo\" " + title +
             ">\n        <img width=\"201\" " + std::string(kPlaceholder) + " data-src=\"" + host +
             TodayPicturePath(PictureSize::kMedium, photo.id, "webp") + "\" />";
      break;
    case 1:
      out += "<a " + title + " class=\"photolst_photo\" " + link + ">\n        <img data-src=\"" +
             host + TodayPicturePath(PictureSize::kLarge, photo.id, "jpg") + "\" alt=\"\" " +
             std::string(kPlaceholder) + ">";
      break;
    default:
      out += "<a class=\"photolst_photo\" " + link + " " + title + "><img src=\"" + host +
             TodayPicturePath(PictureSize::kLarge, photo.id, "webp") + "\" loading=\"lazy\" />";
      break;
  }
  return out + "\n    </a>\n    <div class=\"pl\">" + desc + "</div>\n</div>\n";
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string RootPage(const Fixture& fixture, std::string_view sessionUser) {
  std::string out = PageHead("豆瓣") + "</head>\n<body>\n<h1>豆瓣</h1>\n";
  if (sessionUser.empty()) {
    out += "<a href=\"http://" + fixture.webHost + "/login\">登录</a>\n";
  } else {
    out += "<div class=\"nav-user-account\">欢迎，" + HtmlEscape(sessionUser) + "</div>\n";
  }
  for (const Person& person : fixture.people) {
    out += "<a href=\"" + PersonUrl(fixture, person) + "\">" + HtmlEscape(person.displayName) +
           "</a>\n";
  }
  return out + "</body>\n</html>\n";
}

std::string LoginPage(const Fixture& fixture, std::string_view message) {
  std::string out = PageHead("登录豆瓣") + "</head>\n<body>\n<h1>登录豆瓣</h1>\n";
  if (!message.empty()) out += "<p class=\"error\">" + HtmlEscape(message) + "</p>\n";
  out += "<form id=\"lzform\" method=\"post\" action=\"http://" + fixture.webHost +
         "/login\">\n"
         "<input type=\"text\" id=\"email\" name=\"form_email\" />\n"
         "<input type=\"password\" id=\"password\" name=\"form_password\" />\n"
         "<input type=\"submit\" name=\"login\" value=\"登录\" />\n"
         "</form>\n</body>\n</html>\n";
  return out;
}

std::string HomePage(const Fixture& fixture, const Person& person) {
  const std::string name = HtmlEscape(person.displayName);
  std::string out;
  if (person.feedLink) {
    // The title differs from the feed name, so taking the title instead shows.
    out = PageHead("\n" + name + " 的个人主页\n");
    out += "<link rel=\"alternate\" href=\"http://" + fixture.webHost + "/feed/people/" +
           person.name + "/interests\" type=\"application/rss+xml\" title=\"" + name +
           "的收藏\" />\n";
  } else {
    out = PageHead("\n  " + name + "\n");
  }
  out += "</head>\n<body>\n<div id=\"db-usr-profile\">\n<h1>" + name + "</h1>\n</div>\n";
  out += "<a href=\"http://" + fixture.webHost + "/people/" + person.name + "/photos\">相册</a>\n";
  return out + "</body>\n</html>\n";
}

std::string AlbumListPage(const Fixture& fixture, const Person& person, int start,
                          const std::optional<std::string>& claimedPages) {
  const int total = static_cast<int>(person.albums.size());
  const std::string name = HtmlEscape(person.displayName);
  std::string out = PageHead(name + "的相册") + "</head>\n<body>\n<div id=\"content\">\n";
  out += "<h1>" + name + "的相册 <span class=\"count\">(共" + std::to_string(total) +
         "个)</span></h1>\n";
  out += "<div class=\"wr\">\n";
  for (int i = std::max(start, 0); i < total && i < std::max(start, 0) + kAlbumsPerListPage; ++i) {
    out += AlbumEntry(fixture, person.albums[static_cast<size_t>(i)]);
  }
  out += "</div>\n";
  out += Paginator("http://" + fixture.webHost + "/people/" + person.name + "/photos",
                   std::max(start, 0), total, kAlbumsPerListPage, claimedPages);
  out += SideBarDecoy(fixture);
  return out + "</div>\n</body>\n</html>\n";
}

std::string AlbumPage(const Fixture& fixture, const Person& owner, const Album& album, int start,
                      bool newLayout, const std::optional<std::string>& claimedCount, bool today) {
  const int total = static_cast<int>(album.photos.size());
  const std::string title = HtmlEscape(album.title);
  std::string out = PageHead("\n" + title + " - " + HtmlEscape(owner.displayName) + "的相册\n");
  out += "</head>\n<body>\n<div id=\"content\">\n<h1>" + title + "</h1>\n";
  // The first "pl" span holds dates: a search that skips the line breaks before the count's own
  // span takes its digits as well.
  out += "<div class=\"album-info\">\n<span class=\"pl\">来自：<a href=\"" +
         PersonUrl(fixture, owner) + "\">" + HtmlEscape(owner.displayName) +
         "</a> 创建于2015-06-01</span>\n";
  out += "<span class=\"pl\">\n更新于2016-07-02\n</span>\n\n<span class=\"pl\">共" +
         claimedCount.value_or(std::to_string(total)) + "张照片</span>\n</div>\n";
  out += "<div class=\"photolst clearfix\">\n";
  for (int i = std::max(start, 0); i < total && i < std::max(start, 0) + kPhotosPerAlbumPage; ++i) {
    const Photo& photo = album.photos[static_cast<size_t>(i)];
    out += today       ? TodayEntry(fixture, photo, i)
           : newLayout ? NewLayoutEntry(fixture, photo)
                       : PhotoEntry(fixture, photo);
  }
  out += "</div>\n";
  out += Paginator(AlbumUrl(fixture, album), std::max(start, 0), total, kPhotosPerAlbumPage,
                   std::nullopt, today ? "m_start" : "start");
  return out + "</div>\n</body>\n</html>\n";
}

std::string BlockPage() {
  return PageHead("禁止访问") +
         "</head>\n<body>\n<div class=\"error\">检测到有异常请求从你的 IP "
         "发出，请登录使用豆瓣。</div>\n"
         "</body>\n</html>\n";
}

std::string LoginRedirectPage(const Fixture& fixture) {
  return PageHead("登录跳转页") +
         "</head>\n<body>\n<p>请先登录</p>\n<script>location.href=\"http://" + fixture.webHost +
         "/login\"</script>\n</body>\n</html>\n";
}

std::string ErrorPage(int status, std::string_view what) {
  return PageHead("页面不存在") + "</head>\n<body>\n<div class=\"error\">" +
         std::to_string(status) + "</div>\n<p>" + HtmlEscape(what) + "</p>\n</body>\n</html>\n";
}

std::string UpdatePage(const Fixture& fixture) {
  // The tag alone appears before the version, so a search for the closing marker that does not
  // start after the opening one finds the wrong place.
  return "AlbumKeeper update notes (#douban channel)\r\n"
         "latest: #douban@@" +
         fixture.updateVersion + "#douban\r\n";
}

}  // namespace ak::fake
