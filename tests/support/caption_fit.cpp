#include "support/caption_fit.h"

#include <commctrl.h>

#include "platform/unique_handle.h"
#include "support/window_driver.h"

namespace qm::test {

std::optional<CaptionFit> MeasureCaption(HWND control) {
  const std::wstring kind = ClassOf(control);
  const LONG style = ::GetWindowLongW(control, GWL_STYLE);
  const bool button = ::CompareStringOrdinal(kind.c_str(), -1, WC_BUTTONW, -1, TRUE) == CSTR_EQUAL;
  const bool label = ::CompareStringOrdinal(kind.c_str(), -1, WC_STATICW, -1, TRUE) == CSTR_EQUAL;
  CaptionFit fit{TextOf(control), L"", {0, 0}, {0, 0}};
  if ((!button && !label) || fit.caption.empty())
    return std::nullopt;

  RECT client{};
  ::GetClientRect(control, &client);
  // Measured in a memory device context, as the panel measures its captions when it chooses a face.
  const UniqueDc memory(::CreateCompatibleDC(nullptr));
  const HDC dc = memory.get();
  const ScopedSelection font(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  wchar_t face[LF_FACESIZE] = {};
  ::GetTextFaceW(dc, LF_FACESIZE, face);
  fit.face = face;
  const UINT type = static_cast<UINT>(style) & BS_TYPEMASK;
  if (label) {
    // Wrapped as the label wraps it, within its width; a line below its lower edge is cut off.
    RECT needed{0, 0, client.right, 0};
    UINT format = DT_CALCRECT | DT_WORDBREAK;
    format |= (style & SS_EDITCONTROL) ? DT_EDITCONTROL : 0;
    format |= (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    ::DrawTextW(dc, fit.caption.c_str(), static_cast<int>(fit.caption.size()), &needed, format);
    fit.needed = {needed.right, needed.bottom};
    fit.room = {client.right, client.bottom};
  } else if (type == BS_GROUPBOX) {
    // A frame draws its caption on one line, 7 pixels in from each side, with a pixel of margin.
    ::GetTextExtentPoint32W(dc, fit.caption.c_str(), static_cast<int>(fit.caption.size()), &fit.needed);
    fit.needed.cy = 0;
    fit.room = {client.right - 16, 0};
  } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
    // A push button draws its text 2 pixels in from its edge; asked for the size its text needs within that
    // width, it answers with the text wrapped as it wraps it.
    SIZE ideal{client.right - 4, 0};
    ::SendMessageW(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    fit.needed = ideal;
    fit.room = {client.right - 4, client.bottom - 4};
  } else {
    // An option button knows the width of its check mark, the gap and its caption on one line.
    SIZE ideal{0, 0};
    ::SendMessageW(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    fit.needed = {ideal.cx, 0};
    fit.room = {client.right, 0};
  }
  return fit;
}

}  // namespace qm::test
