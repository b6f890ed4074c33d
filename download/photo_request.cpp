#include "download/photo_request.h"

#include "base/text_ops.h"
#include "net/service_config.h"

namespace ak {
namespace {

constexpr std::string_view kTemplatePhotoId = "2155058360";

}  // namespace

Text PhotoHeaderTemplate() {
  Text block;
  block.reserve(320);
  block +=
      "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64; rv:43.0) Gecko/20100101 Firefox/43.0\r\n";
  block += "Accept: image/png,image/*;q=0.8,*/*;q=0.5\r\n";
  block += "Accept-Language: zh-CN,zh;q=0.8,en-US;q=0.5,en;q=0.3\r\n";
  block += "Accept-Encoding: gzip, deflate\r\n";
  block += "DNT: 1\r\n";
  block += "Referer: http://";
  block += WebHost();
  block += "/photos/photo/";
  block += kTemplatePhotoId;
  block += "/large\r\n";
  return block;
}

Text PhotoHeaderBlock(std::string_view photoId) {
  return Replace(PhotoHeaderTemplate(), kTemplatePhotoId, photoId, 1, -1, true);
}

std::string_view BuiltInPhotoPattern() {
  return R"re(lass="photolst_photo" title="([\s\S]*?)">[\s\S]*?<img src="(.*?)/view/photo/thumb/public/p(.*?).jpg" />)re";
}

Text MediumPictureAddress(std::string_view hostPart, std::string_view photoId) {
  return Text(hostPart) + "/view/photo/photo/public/p" + Text(photoId) + ".jpg";
}

Text LargePictureAddress(std::string_view hostPart, std::string_view photoId) {
  return Text(hostPart) + "/view/photo/large/public/p" + Text(photoId) + ".jpg";
}

}  // namespace ak
