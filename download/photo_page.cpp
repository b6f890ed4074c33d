#include "download/photo_page.h"

#include "albums/page_text.h"
#include "download/photo_request.h"

namespace ak {
namespace {

constexpr std::string_view kViewPhoto = "/view/photo/";
constexpr std::string_view kPublic = "/public/p";

Text SizedAddress(std::string_view hostPart, std::string_view size, std::string_view id,
                  std::string_view extension) {
  Text host(hostPart);
  // A protocol-relative address takes the scheme the service's pictures are served on.
  if (host.starts_with("//")) host = "http:" + host;
  return host + Text(kViewPhoto) + Text(size) + Text(kPublic) + Text(id) + "." + Text(extension);
}

}  // namespace

std::string_view LaterPhotoPattern() {
  return R"re(<a\b(?:[^>]*?\btitle="([^"]*)")?[^>]*>\s*<img\b[^>]*?\bsrc="((?:https?:)?//img\d+\.doubanio\.com)/view/photo/(s|m|l)/public/p(\d+)\.(jpg|webp)(?:\?[^"]*)?")re";
}

std::vector<ScrapedPhoto> ReadPhotoPage(RegexMatcher& matcher, const Text& userPattern,
                                        std::string_view pageText) {
  std::vector<ScrapedPhoto> photos;
  matcher.RunPattern(userPattern.empty() ? BuiltInPhotoPattern() : std::string_view(userPattern),
                     pageText);
  for (int match = 1; match <= matcher.MatchCount(); ++match) {
    ScrapedPhoto photo;
    photo.id = ScrapedText(matcher.SubMatchText(match, 3));
    photo.description = ScrapedText(matcher.SubMatchText(match, 1));
    const Text hostPart = ScrapedText(matcher.SubMatchText(match, 2));
    photo.mediumAddress = MediumPictureAddress(hostPart, photo.id);
    photo.largeAddress = LargePictureAddress(hostPart, photo.id);
    photo.originalAddress = SizedAddress(hostPart, "raw", photo.id, "jpg");
    photos.push_back(std::move(photo));
  }
  if (!photos.empty() || !userPattern.empty()) return photos;

  matcher.RunPattern(LaterPhotoPattern(), pageText);
  for (int match = 1; match <= matcher.MatchCount(); ++match) {
    ScrapedPhoto photo;
    photo.id = ScrapedText(matcher.SubMatchText(match, 4));
    photo.description = ScrapedText(matcher.SubMatchText(match, 1));
    const Text hostPart = ScrapedText(matcher.SubMatchText(match, 2));
    const Text extension = ScrapedText(matcher.SubMatchText(match, 5));
    photo.mediumAddress = SizedAddress(hostPart, "m", photo.id, extension);
    photo.largeAddress = SizedAddress(hostPart, "l", photo.id, extension);
    photo.originalAddress = SizedAddress(hostPart, "raw", photo.id, "jpg");
    photos.push_back(std::move(photo));
  }
  return photos;
}

Text OriginalPictureAddress(std::string_view address) {
  const std::size_t view = address.find(kViewPhoto);
  if (view == std::string_view::npos) return {};
  const std::size_t sizeStart = view + kViewPhoto.size();
  const std::size_t publicAt = address.find(kPublic, sizeStart);
  if (publicAt == std::string_view::npos || address.find('/', sizeStart) != publicAt) return {};
  const std::size_t idStart = publicAt + kPublic.size();
  const std::size_t dot = address.find('.', idStart);
  if (dot == std::string_view::npos || dot == idStart) return {};
  return Text(address.substr(0, sizeStart)) + "raw" + Text(kPublic) +
         Text(address.substr(idStart, dot - idStart)) + ".jpg";
}

}  // namespace ak
