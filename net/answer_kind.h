#pragma once

#include <string_view>

#include "base/types.h"

namespace ak {

// How the service answers requests it refuses (too frequent, or a sign-in needed): status 403
// or 418, its block page, or a redirect to its login page.

// The block page's marker, GBK.
Text BlockPageMarker();
bool IsRefusalStatus(long status);
// True when the page (as it arrived, UTF-8) carries the block page's marker.
bool IsBlockPage(std::string_view utf8Page);
// True when `url` names one of the service's hosts: its web or API host, or a host under
// douban.com or doubanio.com (its picture hosts). Only these can refuse the batch: a 403 from
// anywhere else (an address a broken answer named) is a failed request like any other.
bool IsServiceAddress(std::string_view url);
// True when `url` is the service's login page: "/login" on the web host, or the accounts host.
bool IsLoginAddress(std::string_view url);

}  // namespace ak
