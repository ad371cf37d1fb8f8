#pragma once
// Whether a control's caption fits the room the control gives it, measured in the control's own font and,
// where the control can tell, by the control itself (BCM_GETIDEALSIZE). Used in the test process and, through
// the caption probe, inside a running panel.

#include <windows.h>

#include <optional>
#include <string>

namespace qm::test {

struct CaptionFit {
  std::wstring caption;
  std::wstring face;  // the face the system draws the control's font in
  SIZE needed;        // pixels; a height of 0 for a caption kept to one line
  SIZE room;

  bool fits() const { return needed.cx <= room.cx && needed.cy <= room.cy; }
};

// Nothing for a control without a caption to fit: a text box, an empty caption.
std::optional<CaptionFit> MeasureCaption(HWND control);

}  // namespace qm::test
