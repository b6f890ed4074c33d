#include "albums/address_kind.h"

#include <gtest/gtest.h>

#include "base/codec.h"

namespace ak::test {
namespace {

struct AddressCase {
  const char* typed;  // UTF-8
  AddressKind kind;
  const char* address;
  const char* id;
};

class ClassifyAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(ClassifyAddressTest, KindTrimmedAddressAndId) {
  const AddressCase& c = GetParam();
  const ClassifiedAddress got = ClassifyAddress(Utf8ToGbk(c.typed), "www.douban.com");
  EXPECT_EQ(got.kind, c.kind) << c.typed;
  EXPECT_EQ(got.address, Utf8ToGbk(c.address)) << c.typed;
  EXPECT_EQ(got.id, Utf8ToGbk(c.id)) << c.typed;
}

INSTANTIATE_TEST_SUITE_P(
    Typed, ClassifyAddressTest,
    ::testing::Values(
        AddressCase{"", AddressKind::kEmpty, "", ""},
        // Spaces of both widths around, a path after the name: the name alone is the id.
        AddressCase{"  　http://www.douban.com/people/abc/photos　 ", AddressKind::kPerson,
                    "http://www.douban.com/people/abc/photos", "abc"},
        AddressCase{"http://www.douban.com/people/abc", AddressKind::kPerson,
                    "http://www.douban.com/people/abc", "abc"},
        AddressCase{"https://douban.com/people/abc/", AddressKind::kPerson,
                    "https://douban.com/people/abc/", "abc"},
        AddressCase{"http://www.douban.com/photos/album/12345", AddressKind::kAlbum,
                    "http://www.douban.com/photos/album/12345", "12345"},
        AddressCase{"http://www.douban.com/photos/album/12345/?start=18", AddressKind::kAlbum,
                    "http://www.douban.com/photos/album/12345/?start=18", "12345"},
        // A query without a slash after the number stays part of the id, as the rule says.
        AddressCase{"http://www.douban.com/photos/album/12345?from=x", AddressKind::kAlbum,
                    "http://www.douban.com/photos/album/12345?from=x", "12345?from=x"},
        // Both forms: the home page wins.
        AddressCase{"http://www.douban.com/photos/album/9/?u=douban.com/people/abc/",
                    AddressKind::kPerson,
                    "http://www.douban.com/photos/album/9/?u=douban.com/people/abc/", "abc"},
        // Letter case counts.
        AddressCase{"http://www.douban.com/People/abc/", AddressKind::kUnknown,
                    "http://www.douban.com/People/abc/", ""},
        AddressCase{"http://www.DOUBAN.com/people/abc/", AddressKind::kUnknown,
                    "http://www.DOUBAN.com/people/abc/", ""},
        // Another domain, or only blanks.
        AddressCase{"http://www.example.com/people/abc/", AddressKind::kUnknown,
                    "http://www.example.com/people/abc/", ""},
        AddressCase{" 　 ", AddressKind::kUnknown, "", ""},
        // A tab is not a blank: it stays, and the form is still found inside.
        AddressCase{"\thttp://www.douban.com/people/abc/", AddressKind::kPerson,
                    "\thttp://www.douban.com/people/abc/", "abc"}));

TEST(ServiceDomainTest, FirstLabelDropped) {
  EXPECT_EQ(ServiceDomain("www.douban.com"), "douban.com");
  EXPECT_EQ(ServiceDomain("douban.com"), "com");
  EXPECT_EQ(ServiceDomain("localhost"), "localhost");
}

}  // namespace
}  // namespace ak::test
