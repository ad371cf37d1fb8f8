#pragma once
// Where the main window opens. Its layout puts the client area at a fixed place on the screen, scaled with
// the DPI; on a laptop at 125-175 % that place lies partly below the screen or under the taskbar, where the
// trader would never see the status line. Plain values, no Win32 headers.

#include <span>

#include "ui/layout_units.h"

namespace qm {

// Screen pixels: left and top inside, right and bottom just outside.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// How far the window's outer edges lie from its client area's, in pixels at its DPI: border, title bar and
// menu bar.
struct FrameEdges {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The client area where the layout puts it at `dpi`.
ScreenRect LayoutClientArea(unsigned dpi);

// The window's outer rectangle at start, for the monitors whose `work_areas` (the primary's first) are
// given. The window opens on the monitor whose work area the layout's place overlaps most (the primary
// when it overlaps none). It keeps that place whenever the whole window fits in that work area; otherwise
// it is moved the least distance that brings it inside, so that the title bar and the status line are
// seen. Along an axis where the window is larger than the work area, it starts at the work area's left or
// top edge, which keeps the title bar on the screen. Its size never changes.
ScreenRect StartPlacement(std::span<const ScreenRect> work_areas, unsigned dpi, const FrameEdges& frame);

}  // namespace qm
