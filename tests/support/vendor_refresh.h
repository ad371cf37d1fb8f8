#pragma once
// A refresh of the public message as the vendor worker runs one on its thread: a new connection, and once
// it is open, the read on it.

#include <optional>
#include <string>
#include <variant>

#include "vendor_services/vendor_database.h"

namespace qm::test {

struct Refresh {
  std::optional<std::wstring> message;  // the new text of lblAds2; nothing leaves the label as it is
  Outcome failure;                      // what the vendor report shows
};

inline Refresh RefreshPublicMessage(VendorDatabase& vendor) {
  if (Outcome failure = vendor.ConnectVendorDatabase())
    return {std::nullopt, failure};
  PublicMessageRead read = vendor.ReadPublicMessage();
  if (auto* failure = std::get_if<Failure>(&read))
    return {std::nullopt, *failure};
  return {std::get<std::optional<std::wstring>>(read), std::nullopt};
}

}  // namespace qm::test
