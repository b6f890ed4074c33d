#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tools/fake_douban/fixture.h"

namespace ak::fake {

// HTML pages of the web host, in UTF-8. Each carries the markers the program searches, byte for
// byte, and near them look-alikes that only a sloppier search would pick up.

constexpr int kAlbumsPerListPage = 16;
constexpr int kPhotosPerAlbumPage = 18;

std::string HtmlEscape(std::string_view text);

std::string RootPage(const Fixture& fixture, std::string_view sessionUser);
std::string LoginPage(const Fixture& fixture, std::string_view message);
std::string HomePage(const Fixture& fixture, const Person& person);
// The album-list page showing albums from `start` (any value; past the end it lists none).
// With `claimedPages` its paginator claims that many pages, shown even for one page.
std::string AlbumListPage(const Fixture& fixture, const Person& person, int start,
                          const std::optional<std::string>& claimedPages = std::nullopt);
// With `claimedCount` the page claims that many photos in place of the album's count.
std::string AlbumPage(const Fixture& fixture, const Person& owner, const Album& album, int start,
                      bool newLayout = false,
                      const std::optional<std::string>& claimedCount = std::nullopt,
                      bool today = false);

// Pages that carry none of the markers: what the service shows when it refuses or fails.
std::string BlockPage();
// Today's login-redirect page, which the service shows in place of a page it refuses.
std::string LoginRedirectPage(const Fixture& fixture);
std::string ErrorPage(int status, std::string_view what);

// The update page: plain text with the latest version between "#douban@@" and "#douban".
std::string UpdatePage(const Fixture& fixture);

}  // namespace ak::fake
