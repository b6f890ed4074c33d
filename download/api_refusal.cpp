#include "download/api_refusal.h"

#include <json-c/json.h>

#include <memory>

#include "base/codec.h"

namespace ak {
namespace {

constexpr long long kKeyRequired = 131;
constexpr long long kKeyInvalid = 104;
constexpr long long kKeyBlocked = 105;

struct JsonRelease {
  void operator()(json_object* value) const { json_object_put(value); }
};

bool IsQueryCharacter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == '~';
}

}  // namespace

std::optional<ApiRefusal> ApiRefusalOf(std::string_view utf8Answer) {
  // Refusals are short; a photo page is not looked at twice.
  if (utf8Answer.empty() || utf8Answer.size() > 64 * 1024) return std::nullopt;
  const std::string text(utf8Answer.substr(0, utf8Answer.find('\0')));
  const std::unique_ptr<json_object, JsonRelease> value(json_tokener_parse(text.c_str()));
  if (!value || json_object_get_type(value.get()) != json_type_object) return std::nullopt;
  json_object* code = nullptr;
  json_object* msg = nullptr;
  json_object* photos = nullptr;
  if (!json_object_object_get_ex(value.get(), "code", &code) ||
      !json_object_object_get_ex(value.get(), "msg", &msg) ||
      json_object_object_get_ex(value.get(), "photos", &photos)) {
    return std::nullopt;
  }
  ApiRefusal refusal;
  refusal.code = json_object_get_int64(code);
  refusal.message = Utf8ToGbk(json_object_get_string(msg));
  // "uri_not_found", "album_not_found": the API found nothing there, which is an album without
  // photos, not a refusal.
  if (refusal.message.find("not_found") != Text::npos) return std::nullopt;
  return refusal;
}

bool IsApiKeyRefusal(const ApiRefusal& refusal) {
  return refusal.code == kKeyRequired || refusal.code == kKeyInvalid ||
         refusal.code == kKeyBlocked || refusal.message == "invalid_apikey" ||
         refusal.message == "apikey_is_blocked";
}

Text ApiRefusalLine(const ApiRefusal& refusal) {
  Text line = AK_GBK("豆瓣的API拒绝了请求（") + std::to_string(refusal.code) + " " +
              refusal.message + AK_GBK("）：");
  if (refusal.code == kKeyRequired) {
    line += AK_GBK("API需要密钥，请在设置页的“API密钥”中填写（命令行：--api-key），或改用浏览模式");
  } else if (refusal.code == kKeyBlocked || refusal.message == "apikey_is_blocked") {
    line += AK_GBK(
        "这个API密钥已被封禁，请换一个密钥（设置页的“API密钥”或 --api-key），或改用浏览模式");
  } else if (refusal.code == kKeyInvalid || refusal.message == "invalid_apikey") {
    line += AK_GBK("这个API密钥无效，请检查设置页的“API密钥”（或 --api-key），或改用浏览模式");
  } else {
    line += AK_GBK("这个相册无法通过API下载，请改用浏览模式");
  }
  line += AK_GBK("。相册没有下载");
  if (IsApiKeyRefusal(refusal)) line += AK_GBK("，这次其余通过API下载的相册也不再请求");
  return line + "\r\n\r\n";
}

Text WithApiKey(const Text& url, std::string_view key) {
  if (key.empty()) return url;
  static constexpr char kHex[] = "0123456789ABCDEF";
  Text out = url;
  out += url.find('?') == Text::npos ? "?apikey=" : "&apikey=";
  for (const char ch : key) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsQueryCharacter(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

}  // namespace ak
