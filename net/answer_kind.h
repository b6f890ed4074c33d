#pragma once

#include <string_view>

#include "base/types.h"

namespace ak {

// One judge for every answer of the service: pages, API answers and pictures alike.
//
// The service refuses requests (too frequent, or a sign-in needed) in several forms, and a
// refusal looks the same whichever kind of request met it: status 403 or 418 from one of its
// hosts; its block page ("abnormal requests"); a redirect, followed or not, to its login page or
// to its security host sec.douban.com (a 403 whose Location names that host included); or its
// login-redirect page ("登录跳转页") in place of the answer.

enum class RequestKind { kPage, kApi, kPicture };

enum class AnswerKind {
  kPicture,   // a complete 200 answer whose bytes are a picture (picture requests only)
  kPage,      // a page or API answer with a body and a 2xx status
  kEmpty,     // nothing came (or a text starting with NUL): a failed transfer too
  kRefusal,   // the service refused the request
  kNotFound,  // 404 with a body (a page) or any 404 (a picture)
  kOther,     // anything else: another status, or a picture request that got no picture
};

// How a refusal came; kNone for an answer that is none.
enum class RefusalForm {
  kNone,
  kStatus,
  kBlockPage,
  kLoginRedirect,
  kSecurityRedirect,
  kLoginPage
};

// An answer as the fetches report it.
struct ServiceAnswer {
  // The address asked for.
  Text url;
  // The whole answer arrived.
  bool completed = false;
  long status = 0;
  // Where redirects led (empty when unknown, or the address asked for).
  Text effectiveUrl;
  // The Location of the last response (a redirect not followed, or one that led nowhere).
  Text location;
  // The body as it arrived (UTF-8 for pages).
  Bytes body;
};

RefusalForm RefusalFormOf(const ServiceAnswer& answer);
AnswerKind JudgeAnswer(RequestKind kind, const ServiceAnswer& answer);

// The pieces of the judgement, for callers that look at one of them.
// The block page's marker, GBK.
Text BlockPageMarker();
// The marker of the login-redirect page, GBK: the text of its title.
Text LoginRedirectPageMarker();
bool IsRefusalStatus(long status);
// True when the page (as it arrived, UTF-8) carries the block page's marker.
bool IsBlockPage(std::string_view utf8Page);
// True when the page (UTF-8) is the service's login-redirect page.
bool IsLoginRedirectPage(std::string_view utf8Page);
// True when `url` names one of the service's hosts: its web or API host, or a host under
// douban.com or doubanio.com (its picture hosts). Only these can refuse: a 403 from anywhere
// else (an address a broken answer named) is a failed request like any other.
bool IsServiceAddress(std::string_view url);
// True when `url` is the service's login page: "/login" on the web host, or the accounts host.
bool IsLoginAddress(std::string_view url);
// True when `url` is on the service's security host sec.douban.com (any path).
bool IsSecurityAddress(std::string_view url);
// True when an API answer (UTF-8) is the API's refusal of its key: a JSON object with "msg" and
// the "code" 104 (invalid key), 105 (blocked key) or 131 (key required).
bool IsApiKeyRefusalAnswer(std::string_view body);
// True when `bytes` start with the signature of a JPEG, PNG, GIF or WebP picture.
bool LooksLikePicture(std::string_view bytes);
// The value of the Location header in a response's header block (any letter case), trimmed;
// the last one when the block holds several responses.
Text LocationOf(std::string_view headers);

}  // namespace ak
