#include "ui/child_controls.h"

#include <commctrl.h>

namespace qm {

std::wstring WindowText(HWND control) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

RECT PixelRect(const TwipRect& place, UINT dpi) {
  const int left = TwipsToPixels(place.left, dpi);
  const int top = TwipsToPixels(place.top, dpi);
  return {left, top, left + TwipsToPixels(place.width, dpi), top + TwipsToPixels(place.height, dpi)};
}

UINT DpiOf(HWND window) {
  const UINT dpi = ::GetDpiForWindow(window);
  return dpi != 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

HWND CreateChild(HWND parent, const ChildClass& cls, std::wstring_view text, int id, const RECT& place,
                 HFONT font) {
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  HWND child =
      ::CreateWindowExW(cls.ex_style, cls.name, std::wstring(text).c_str(), WS_CHILD | WS_VISIBLE | cls.style,
                        place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (child != nullptr)
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

// A control's painting is clipped by the siblings above it, so that of two overlapping controls the upper
// one is seen whole.
ChildClass ClassOf(ControlKind kind) {
  constexpr DWORD kChild = WS_CLIPSIBLINGS;
  switch (kind) {
    case ControlKind::Label:
      // Captions are plain text: no access keys, wrapped within the width, cut at the lower edge
      // (DrawLabel).
      return {WC_STATICW, kChild | WS_GROUP | SS_OWNERDRAW | SS_NOPREFIX | SS_EDITCONTROL, 0};
    case ControlKind::TextBox:
      return {WC_EDITW, kChild | WS_GROUP | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::CommandButton:
      return {WC_BUTTONW, kChild | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
    case ControlKind::OptionButton:
      // Not an automatic radio button: the window decides when the selection changes, so that the option
      // change runs once per change however the selection was made.
      return {WC_BUTTONW, kChild | BS_RADIOBUTTON, 0};
    case ControlKind::Frame:
      return {WC_BUTTONW, kChild | WS_GROUP | BS_GROUPBOX, 0};
  }
  return {WC_STATICW, kChild, 0};
}

ControlMap CreateLayoutControls(HWND window, const FontSet& fonts, UINT dpi) {
  ControlMap controls;
  const ControlLayout* previous = nullptr;
  for (const ControlLayout* control : CreationOrder()) {
    ChildClass cls = ClassOf(control->kind);
    // The first option of a frame starts its group and is the group's tab stop until one is selected.
    const bool first_option = control->kind == ControlKind::OptionButton &&
                              !(previous != nullptr && previous->kind == ControlKind::OptionButton &&
                                previous->container == control->container);
    if (first_option)
      cls.style |= WS_GROUP | WS_TABSTOP;
    // Children go below the siblings created before them: creation order is stacking order. Each is made in
    // its place and given its font while the window is hidden: under Wine every later move or font change of
    // a control is a round trip to the window server and a redraw.
    const int id = ControlId(control->name);
    HWND created = CreateChild(window, cls, control->caption, id, PixelRect(PlaceInWindow(*control), dpi),
                               fonts[control->font]);
    if (created == nullptr)
      return {};
    controls[id] = created;
    if (control->kind == ControlKind::TextBox)
      ::SendMessageW(created, EM_SETLIMITTEXT, 0, 0);  // no limit on what a box holds
    previous = control;
  }
  return controls;
}

void LayOutControls(const ControlMap& controls, const FontSet& fonts, UINT dpi) {
  for (const ControlLayout& control : MainLayout()) {
    const RECT place = PixelRect(PlaceInWindow(control), dpi);
    HWND child = controls.at(ControlId(control.name));
    ::SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[control.font]), TRUE);
  }
}

void DrawLabel(const DRAWITEMSTRUCT& item, COLORREF colour) {
  const std::wstring text = WindowText(item.hwndItem);
  const int saved = ::SaveDC(item.hDC);
  ::IntersectClipRect(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom);
  ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
  ::SelectObject(item.hDC, reinterpret_cast<HFONT>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  ::SetTextColor(item.hDC, colour);
  ::SetBkMode(item.hDC, TRANSPARENT);
  // The edit control's wrapping leaves out a line that does not fit whole: with room for one line more, the
  // line that is partly within the label is drawn, and the clip cuts it at the label's edge.
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(item.hDC, &metrics);
  RECT room = item.rcItem;
  room.bottom += metrics.tmHeight;
  ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &room,
              DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  ::RestoreDC(item.hDC, saved);
}

HWND CreateTooltipWindow(HWND owner) {
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  return ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                           instance, nullptr);
}

bool AddTooltip(HWND tooltip, HWND control, std::wstring_view text) {
  std::wstring shown(text);
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the common controls
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = ::GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = shown.data();
  return ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

}  // namespace qm
