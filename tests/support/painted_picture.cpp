#include "support/painted_picture.h"

#include <algorithm>

#include "platform/unique_handle.h"

namespace qm::test {

bool Picture::DrawnIn(int top, int bottom, COLORREF background) const {
  for (int y = std::max(top, 0); y < std::min(bottom, height); ++y) {
    for (int x = 0; x < width; ++x) {
      if (At(x, y) != background)
        return true;
    }
  }
  return false;
}

bool Picture::Has(COLORREF colour) const {
  return std::ranges::find(pixels, colour) != pixels.end();
}

Picture PaintedPicture(HWND control) {
  RECT client{};
  ::GetClientRect(control, &client);
  Picture picture{client.right, client.bottom, {}};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const UniqueDc dc(::CreateCompatibleDC(nullptr));
  HBITMAP bitmap = ::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr)
    return picture;
  {
    const ScopedSelection selected(dc.get(), bitmap);
    ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
  }
  const auto* bgrx = static_cast<const unsigned char*>(bits);
  for (int i = 0; i < picture.width * picture.height; ++i)
    picture.pixels.push_back(RGB(bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]));
  ::DeleteObject(bitmap);
  return picture;
}

}  // namespace qm::test
