#include "tools/fake_douban/fixture.h"

namespace ak::fake {

// People, albums and photos that exercise the program's scraping and naming rules: owner names
// with spaces of both widths, a home page without feed link, more than one album-list page,
// album names with full-width punctuation, "&", slashes, names that clean to nothing, albums of
// 17, 18, 19, 36 and 250 photos (page edges of 18 and 100), descriptions with quotes, line
// breaks, HTML-special characters, more than 240 bytes, and characters whose GBK trail byte is
// 0x5C (運, 誠) or 0x7C (質, 縷); a missing large picture, a null description and API addresses
// written with "http", "https" and "HTTPS".
std::string_view DefaultFixtureJson() {
  return R"json({
  "web_host": "www.douban.com",
  "api_host": "api.douban.com",
  "update_version": "2.0",
  "people": [
    {
      "name": "ahua",
      "display_name": "阿华 Hua　小站",
      "feed_link": true,
      "albums": [
        {
          "id": "1620000001",
          "title": "旅行/2015 夏天",
          "cover_host": "img3.doubanio.com",
          "photos": [
            {"id": "2155058361", "host": "img3.doubanio.com", "desc": "他说：\"你好\"，然后走了"},
            {"id": "2155058362", "host": "img1.doubanio.com", "desc": "第一行\n第二行\r\n第三行"},
            {"id": "2155058363", "host": "img3.doubanio.com",
             "desc": "这是一段很长的描述，用来检查文件名的长度限制。这是一段很长的描述，用来检查文件名的长度限制。这是一段很长的描述，用来检查文件名的长度限制。这是一段很长的描述，用来检查文件名的长度限制。这是一段很长的描述，用来检查文件名的长度限制。这是一段很长的描述，用来检查文件名的长度限制。"},
            {"id": "2155058364", "host": "img1.doubanio.com", "desc": "好運連連 誠意十足 質量上乘 千絲萬縷"},
            {"id": "2155058365", "host": "img3.doubanio.com", "desc": null, "large": false,
             "api_scheme": "http"},
            {"id": "2155058366", "host": "img1.doubanio.com", "desc": "A&B <b>粗体</b> 50% / 斜杠\\反斜杠",
             "api_scheme": "HTTPS"}
          ],
          "generated_photos": 14
        },
        {"id": "1620000002", "title": "春天（上）：樱花！", "generated_photos": 36},
        {"id": "1620000003", "title": "？？？", "generated_photos": 3},
        {"id": "1620000004", "title": "A&B", "generated_photos": 250},
        {"id": "1620000005", "title": "无封面相册", "cover": false, "generated_photos": 2},
        {"id": "1620000006", "title": "運動會、誠品·質感", "generated_photos": 1},
        {"id": "1620000007", "title": "十七张", "generated_photos": 17},
        {"id": "1620000008", "title": "十八张", "generated_photos": 18},
        {"id": "1620000009", "title": "十九张", "generated_photos": 19},
        {"id": "1620000010", "title": "相册 10", "generated_photos": 1},
        {"id": "1620000011", "title": "相册 11", "generated_photos": 1},
        {"id": "1620000012", "title": "相册 12", "generated_photos": 1},
        {"id": "1620000013", "title": "相册 13", "generated_photos": 1},
        {"id": "1620000014", "title": "相册 14", "generated_photos": 1},
        {"id": "1620000015", "title": "相册 15", "generated_photos": 1},
        {"id": "1620000016", "title": "相册 16", "generated_photos": 1},
        {"id": "1620000017", "title": "第二页的相册 17", "generated_photos": 1},
        {"id": "1620000018", "title": "第二页的相册 18", "generated_photos": 1},
        {"id": "1620000019", "title": "第二页的相册 19", "generated_photos": 1},
        {"id": "1620000020", "title": "第二页的相册 20", "generated_photos": 1}
      ]
    },
    {
      "name": "xiaoming",
      "display_name": "小明 的 主页",
      "feed_link": false,
      "albums": [
        {"id": "1630000001", "title": "日常", "generated_photos": 3},
        {"id": "1630000002", "title": "：/ ？。", "cover_host": "img3.doubanio.com", "generated_photos": 2}
      ]
    },
    {
      "name": "empty",
      "display_name": "空空",
      "albums": []
    }
  ]
})json";
}

}  // namespace ak::fake
