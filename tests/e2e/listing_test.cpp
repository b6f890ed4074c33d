// `albumkeeper list`: the rows of a person's albums, or of one album, on standard output.

#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace ak::e2e {
namespace {

class ListingTest : public EndToEndTest {};

TEST_F(ListingTest, PrintsOneRowPerAlbumWithNumberNameAndAddress) {
  StartDouble();
  struct Case {
    const char* address;
    const char* rows;
  } cases[] = {
      {kPersonAddress,
       "1\t花园\thttp://www.douban.com/photos/album/1710000001/\n"
       "2\t不下载\thttp://www.douban.com/photos/album/1710000002/\n"
       "3\t海边日落\thttp://www.douban.com/photos/album/1710000003/\n"
       "4\t雪山\thttp://www.douban.com/photos/album/1710000004/\n"},
      // One album's own address lists that album alone.
      {"http://www.douban.com/photos/album/1710000003/",
       "1\t海边日落\thttp://www.douban.com/photos/album/1710000003/\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    douban().ClearRequests();
    const ProgramResult result = Run({"list", c.address});
    ASSERT_EQ(result.exitStatus, 0) << Describe(result);
    // The rows alone on standard output, so that a script can read them; the log went to
    // standard error.
    EXPECT_EQ(result.out, c.rows) << Describe(result);
    EXPECT_NE(result.err.find("正努力获取相册列表"), std::string::npos) << Describe(result);
    // Without --covers no picture is fetched, and a listing saves nothing.
    for (const test::LoggedRequest& request : douban().Requests()) {
      EXPECT_EQ(request.target.find("/view/photo/"), std::string::npos) << request.target;
    }
    EXPECT_TRUE(EntriesUnder(saveFolder()).empty());
  }
}

TEST_F(ListingTest, CoversAreFetchedOnlyWhenAskedFor) {
  StartDouble();
  const ProgramResult result = Run({"list", kPersonAddress, "--covers"});
  ASSERT_EQ(result.exitStatus, 0) << Describe(result);
  int covers = 0;
  for (const test::LoggedRequest& request : douban().Requests()) {
    if (request.target.starts_with("/view/photo/albumcover/")) ++covers;
  }
  EXPECT_EQ(covers, 4);
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 4) << Describe(result);
}

}  // namespace
}  // namespace ak::e2e
