#pragma once

#include <string_view>

#include "base/types.h"

namespace ak {

enum class AddressKind {
  kEmpty,    // nothing typed
  kPerson,   // a person's home page (or a page below it)
  kAlbum,    // one album's page
  kUnknown,  // neither form
};

struct ClassifiedAddress {
  AddressKind kind = AddressKind::kEmpty;
  // The typed address with half- and full-width spaces trimmed at both ends.
  Text address;
  // The person's page name or the album number; empty for kEmpty and kUnknown.
  Text id;
};

// The service's domain: the web host without its first label ("www.douban.com" gives
// "douban.com"); a host of one label is its own domain.
Text ServiceDomain(std::string_view webHost);

// Classifies what the user typed into the address box. The home-page form (the domain followed
// by "/people/") is tested first, then the album form (the domain followed by "/photos/album/"),
// both case-sensitively. The id is the text after the form's marker up to the next "/", or when
// no "/" follows, everything after the last "/".
ClassifiedAddress ClassifyAddress(std::string_view typed, std::string_view webHost);

}  // namespace ak
