#include "albums/address_kind.h"

#include "base/text_ops.h"

namespace ak {
namespace {

Text AfterLastSlash(std::string_view address) {
  const int slash = FindLast(address, "/");
  return slash < 0 ? Text(address) : Text(address.substr(static_cast<std::size_t>(slash)));
}

Text IdAfter(std::string_view address, std::string_view marker) {
  Text id = TextBetween(address, marker, "/");
  return id.empty() ? AfterLastSlash(address) : id;
}

}  // namespace

Text ServiceDomain(std::string_view webHost) {
  const std::size_t dot = webHost.find('.');
  return dot == std::string_view::npos ? Text(webHost) : Text(webHost.substr(dot + 1));
}

ClassifiedAddress ClassifyAddress(std::string_view typed, std::string_view webHost) {
  ClassifiedAddress result;
  if (typed.empty()) return result;
  result.address = Trim(typed);
  const Text domain = ServiceDomain(webHost);
  if (Find(result.address, domain + "/people/") > 0) {
    result.kind = AddressKind::kPerson;
    result.id = IdAfter(result.address, "/people/");
  } else if (const Text albumMarker = domain + "/photos/album/";
             Find(result.address, albumMarker) > 0) {
    result.kind = AddressKind::kAlbum;
    result.id = IdAfter(result.address, albumMarker);
  } else {
    result.kind = AddressKind::kUnknown;
  }
  return result;
}

}  // namespace ak
