#include "ui/window_building.h"

#include <commctrl.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace qm {
namespace {

// Where the panel's face is missing, in this order: Wine's own dialog face, the common sans-serif faces, and
// narrower ones that fit where those do not.
constexpr std::wstring_view kFallbackFaces[] = {
    L"Tahoma",    L"Microsoft Sans Serif",  L"Arial",        L"Liberation Sans",
    L"Noto Sans", L"DejaVu Sans Condensed", L"Arial Narrow", L"Liberation Sans Narrow",
};
// Font sizes in hundredths of a point.
constexpr int kStandardFontCentipoints = 825;
constexpr int kLargeFontCentipoints = 975;

// Whether the system draws `face` as itself (or as a face it was told to take for it), rather than putting
// another one in its place.
bool SystemHasFace(HDC dc, std::wstring_view face) {
  const UniqueFont font = MakeFont(FontKind::Standard, USER_DEFAULT_SCREEN_DPI, face);
  const HGDIOBJ previous = ::SelectObject(dc, font.get());
  wchar_t drawn[LF_FACESIZE] = {};
  ::GetTextFaceW(dc, LF_FACESIZE, drawn);
  ::SelectObject(dc, previous);
  const std::wstring name(face);
  return ::CompareStringOrdinal(drawn, -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// By how many pixels the captions of the main window overflow the room their controls give them at `dpi`,
// in `fonts`; 0 when every one fits. The room is what the standard controls leave their text: a label all of
// its width and height, wrapped like an edit control; a push button its width less 3 pixels a side and its
// height less 2 a side, wrapped; an option button one line beside its check mark (12 pixels at 96 DPI, plus
// one) and half a digit's width of gap; a frame one line in its width less 8 pixels a side.
int CaptionOverflow(HDC dc, const FontSet& fonts, UINT dpi) {
  int overflow = 0;
  for (const ControlLayout& control : MainLayout()) {
    if (control.kind == ControlKind::TextBox || control.caption.empty())
      continue;
    const RECT place = PixelRect(PlaceInWindow(control), dpi);
    int width = place.right - place.left;
    int height = place.bottom - place.top;
    UINT format = DT_CALCRECT | DT_NOPREFIX;
    const HGDIOBJ previous = ::SelectObject(dc, fonts[control.font]);
    switch (control.kind) {
      case ControlKind::Label:
        format |= DT_WORDBREAK | DT_EDITCONTROL;
        break;
      case ControlKind::CommandButton:
        format |= DT_WORDBREAK;
        width -= 6;
        height -= 4;
        break;
      case ControlKind::OptionButton: {
        INT digit = 0;
        ::GetCharWidth32W(dc, L'0', L'0', &digit);
        format |= DT_SINGLELINE;
        width -= ::MulDiv(12, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI) + 1 + digit / 2 + 2;
        height = std::numeric_limits<int>::max();
        break;
      }
      default:
        format |= DT_SINGLELINE;
        width -= 16;
        height = std::numeric_limits<int>::max();
        break;
    }
    RECT needed{0, 0, width, 0};
    const std::wstring caption(control.caption);
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &needed, format);
    ::SelectObject(dc, previous);
    overflow += std::max<LONG>(0, needed.right - width) + std::max<LONG>(0, needed.bottom - height);
  }
  return overflow;
}

// The first fallback face the system has in which every caption fits at `dpi`, else the one that cuts
// least; `otherwise` when the system has none of them.
std::wstring FallbackFace(HDC dc, UINT dpi, std::wstring_view otherwise) {
  std::wstring_view least = otherwise;
  int least_overflow = std::numeric_limits<int>::max();
  for (std::wstring_view face : kFallbackFaces) {
    if (!SystemHasFace(dc, face))
      continue;
    const int overflow = CaptionOverflow(dc, FontSet(dpi, face), dpi);
    if (overflow == 0)
      return std::wstring(face);
    if (overflow < least_overflow) {
      least = face;
      least_overflow = overflow;
    }
  }
  return std::wstring(least);
}

// Whether the system draws `face` at `dpi` from outlines; a bitmap font is drawn only at the sizes it
// stores.
bool IsScalable(HDC dc, std::wstring_view face, UINT dpi) {
  const UniqueFont font = MakeFont(FontKind::Standard, dpi, face);
  const HGDIOBJ previous = ::SelectObject(dc, font.get());
  TEXTMETRICW metrics{};
  const bool measured = ::GetTextMetricsW(dc, &metrics) != FALSE;
  ::SelectObject(dc, previous);
  return measured && (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0;
}

SystemFaces FacesIn(HDC dc, UINT dpi) {
  SystemFaces faces;
  faces.ms_sans_serif = SystemHasFace(dc, kPanelFace);
  faces.ms_sans_serif_scalable = faces.ms_sans_serif && IsScalable(dc, kPanelFace, dpi);
  faces.microsoft_sans_serif = SystemHasFace(dc, kScalablePanelFace);
  return faces;
}

}  // namespace

SystemFaces FacesOfSystem(UINT dpi) {
  const UniqueDc dc(::CreateCompatibleDC(nullptr));
  return dc ? FacesIn(dc.get(), dpi) : SystemFaces{};
}

std::wstring ChooseFontFace(std::wstring_view preferred, UINT dpi) {
  // A memory device context to measure text in.
  const UniqueDc dc(::CreateCompatibleDC(nullptr));
  if (!dc || SystemHasFace(dc.get(), preferred))
    return std::wstring(preferred);
  return FallbackFace(dc.get(), dpi, preferred);
}

std::wstring PanelFontFace(UINT dpi) {
  // One memory device context to ask the faces and measure the fallbacks in.
  const UniqueDc dc(::CreateCompatibleDC(nullptr));
  if (!dc)
    return std::wstring(kPanelFace);
  if (const std::optional<std::wstring_view> face = PreferredPanelFace(dpi, FacesIn(dc.get(), dpi)))
    return std::wstring(*face);
  return FallbackFace(dc.get(), dpi, kPanelFace);
}

int Pixels(int twips, UINT dpi) {
  return TwipsToPixels(twips, dpi);
}

RECT PixelRect(const TwipRect& place, UINT dpi) {
  const int left = Pixels(place.left, dpi);
  const int top = Pixels(place.top, dpi);
  return {left, top, left + Pixels(place.width, dpi), top + Pixels(place.height, dpi)};
}

UINT DpiOf(HWND window) {
  const UINT dpi = ::GetDpiForWindow(window);
  return dpi != 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

UniqueFont MakeFont(FontKind kind, UINT dpi, std::wstring_view face) {
  LOGFONTW font{};
  const int centipoints = kind == FontKind::LargeBold ? kLargeFontCentipoints : kStandardFontCentipoints;
  font.lfHeight = -::MulDiv(centipoints, static_cast<int>(dpi), 72 * 100);
  font.lfWeight = kind == FontKind::Standard ? FW_NORMAL : FW_BOLD;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return UniqueFont(::CreateFontIndirectW(&font));
}

FontSet::FontSet(UINT dpi) : FontSet(dpi, PanelFontFace(dpi)) {}

FontSet::FontSet(UINT dpi, std::wstring_view face)
    : fonts_{MakeFont(FontKind::Standard, dpi, face), MakeFont(FontKind::Bold, dpi, face),
             MakeFont(FontKind::LargeBold, dpi, face)} {}

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
      // Captions are plain text: no access keys, wrapped within the width, cut at the lower edge.
      return {WC_STATICW, kChild | WS_GROUP | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, 0};
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

std::unordered_map<int, HWND> CreateLayoutControls(HWND window, const FontSet& fonts, UINT dpi) {
  std::unordered_map<int, HWND> controls;
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

void PlaceClientArea(HWND window, const RECT& client, DWORD style, DWORD ex_style, UINT dpi) {
  RECT outer = client;
  ::AdjustWindowRectExForDpi(&outer, style, ::GetMenu(window) != nullptr, ex_style, dpi);
  ::SetWindowPos(window, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame the system draws can differ from the computed one (a menu bar that wraps, another theme):
  // correct by what the window reports, so that the client area itself has the size and place asked for.
  RECT actual{};
  ::GetClientRect(window, &actual);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  const int dx = client.left - origin.x;
  const int dy = client.top - origin.y;
  const int dw = (client.right - client.left) - actual.right;
  const int dh = (client.bottom - client.top) - actual.bottom;
  if (dx != 0 || dy != 0 || dw != 0 || dh != 0) {
    ::SetWindowPos(window, nullptr, outer.left + dx, outer.top + dy, outer.right - outer.left + dw,
                   outer.bottom - outer.top + dh, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

namespace {

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, RECT*, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (::GetMonitorInfoW(monitor, &info)) {
    auto& areas = *reinterpret_cast<std::vector<ScreenRect>*>(list);
    const RECT& work = info.rcWork;
    const ScreenRect area{work.left, work.top, work.right, work.bottom};
    if (info.dwFlags & MONITORINFOF_PRIMARY)
      areas.insert(areas.begin(), area);
    else
      areas.push_back(area);
  }
  return TRUE;
}

}  // namespace

void PlaceAtStart(HWND window, DWORD style, DWORD ex_style, UINT dpi) {
  const ScreenRect layout = LayoutClientArea(dpi);
  PlaceClientArea(window, {layout.left, layout.top, layout.right, layout.bottom}, style, ex_style, dpi);
  // The frame as the system drew it.
  RECT outer{};
  RECT client{};
  ::GetWindowRect(window, &outer);
  ::GetClientRect(window, &client);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const FrameEdges frame{client.left - outer.left, client.top - outer.top, outer.right - client.right,
                         outer.bottom - client.bottom};
  std::vector<ScreenRect> work_areas;
  ::EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&work_areas));
  const ScreenRect placed = StartPlacement(work_areas, dpi, frame);
  if (placed.left != outer.left || placed.top != outer.top)
    ::SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace qm
