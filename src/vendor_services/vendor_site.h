#pragma once
// The vendor's web site: the address the web-site button opens, and the name in capitals that ends the
// main window's title and captions that button.

#include <string_view>

namespace qm {

inline constexpr std::wstring_view kVendorSiteAddress = L"http://www.qrxforex.example";
inline constexpr std::wstring_view kVendorSiteName = L"QRXFOREX.EXAMPLE";

}  // namespace qm
