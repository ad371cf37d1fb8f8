#pragma once
// What the floors that show the panel's own controls share: each control made from its row of the panel's
// layout table with its system class and caption, in its place and font, and nothing of the panel's own
// behaviour (no colours, tooltips or subclassing).

#include <windows.h>

#include <string>

#include "ui/main_layout.h"
#include "ui/fonts.h"

namespace qm::bench {

struct FloorClass {
  const wchar_t* name;
  DWORD style;
  DWORD ex_style;
};

inline FloorClass FloorClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return {L"Static", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::TextBox:
      return {L"Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::CommandButton:
      return {L"Button", WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
    case ControlKind::OptionButton:
      return {L"Button", BS_RADIOBUTTON, 0};
    case ControlKind::Frame:
      return {L"Button", BS_GROUPBOX, 0};
  }
  return {L"Static", 0, 0};
}

// The control of `row`, visible, in its place and font inside `window`; null when it cannot be made.
inline HWND CreateFloorControl(HINSTANCE instance, HWND window, const ControlLayout& row,
                               const FontSet& fonts, UINT dpi) {
  const FloorClass kind = FloorClassOf(row.kind);
  const TwipRect place = PlaceInWindow(row);
  HWND created = ::CreateWindowExW(
      kind.ex_style, kind.name, std::wstring(row.caption).c_str(), WS_CHILD | WS_VISIBLE | kind.style,
      TwipsToPixels(place.left, dpi), TwipsToPixels(place.top, dpi), TwipsToPixels(place.width, dpi),
      TwipsToPixels(place.height, dpi), window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(row.name))), instance, nullptr);
  if (created != nullptr)
    ::SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[row.font]), FALSE);
  return created;
}

// Gives `window` the panel's client size, below its menu bar if it has one, and start position.
inline void PlaceLikeThePanel(HWND window, UINT dpi) {
  RECT outer{0, 0, TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)};
  ::AdjustWindowRectExForDpi(&outer, WS_OVERLAPPEDWINDOW, ::GetMenu(window) != nullptr, 0, dpi);
  ::SetWindowPos(window, nullptr, TwipsToPixels(kClientLeftTwips, dpi), TwipsToPixels(kClientTopTwips, dpi),
                 outer.right - outer.left, outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace qm::bench
