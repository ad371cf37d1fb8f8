#pragma once
// A caption and the room its control gives it: what a face must fit for a window to draw in it. The main
// window's layout and the About dialog each make a list of them. No Win32 headers.

#include <string_view>

#include "ui/layout_units.h"

namespace qm {

struct CaptionRoom {
  std::wstring_view text;
  ControlKind kind;
  TwipRect place;
  FontKind font;
};

}  // namespace qm
