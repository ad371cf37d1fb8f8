#pragma once
// What a control paints, as pixels: it is asked to paint its client area into a bitmap of that size
// (WM_PRINTCLIENT), the way it paints itself on the screen.

#include <windows.h>

#include <vector>

namespace qm::test {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // rows from the top, each from the left

  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
  // Whether any pixel of rows [top, bottom) differs from `background`.
  bool DrawnIn(int top, int bottom, COLORREF background) const;
  // Whether any pixel has `colour`.
  bool Has(COLORREF colour) const;
};

Picture PaintedPicture(HWND control);

}  // namespace qm::test
