#pragma once

#include <string>
#include <string_view>

#include "tools/fake_douban/fixture.h"

namespace ak::fake {

enum class PictureSize { kThumb, kMedium, kLarge, kCover, kRaw };

// Path of a picture on its picture host, for example "/view/photo/large/public/p123.jpg".
std::string PicturePath(PictureSize size, std::string_view id);
// Recognises a picture path; fills size and id (digits) when it is one.
bool ParsePicturePath(std::string_view path, PictureSize& size, std::string& id);
const char* PictureSizeName(PictureSize size);

// Today's picture paths (--today): "/view/photo/{s,m,l,raw}/public/pID.{jpg,webp}", the sizes
// thumb, medium, large and the original.
std::string TodayPicturePath(PictureSize size, std::string_view id, std::string_view extension);
bool ParseTodayPicturePath(std::string_view path, PictureSize& size, std::string& id);

std::string AlbumUrl(const Fixture& fixture, const Album& album);
std::string PersonUrl(const Fixture& fixture, const Person& person);
std::string PhotoPageUrl(const Fixture& fixture, const Photo& photo);
// "http://HOST/view/photo/..." on the photo's own picture host.
std::string PictureUrl(std::string_view scheme, std::string_view host, PictureSize size,
                       std::string_view id);
// The cover of an album is its first photo's id on the album's cover host; empty without cover.
std::string CoverUrl(const Album& album);

}  // namespace ak::fake
