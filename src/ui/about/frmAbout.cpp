#include "ui/about/frmAbout.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/unique_handle.h"
#include "ui/application_title.h"
#include "ui/child_controls.h"
#include "ui/fonts.h"
#include "ui/resource.h"

namespace qm {
namespace {

// Marks a window as the About dialog, for FindAbout and the keyboard filter.
constexpr wchar_t kAboutMarker[] = L"Quenmarel.frmAbout";

constexpr wchar_t kDescription[] =
    L"Quenmarel trade panel for MetaTrader 4.\r\n"
    L"Support: support@quenmarel.example";
constexpr wchar_t kDisclaimer[] = L"Warning: Use at your own risk";

constexpr int kAboutWidthTwips = 5730;
constexpr int kAboutHeightTwips = 3555;

struct ControlRow {
  AboutControl id;
  ChildClass cls;
  TwipRect at;
  const wchar_t* text;
  FontKind font;
  ControlKind kind;  // what the caption's room is measured as when a face is chosen
};

// In tab order: the creation order is the tab order.
// clang-format off
constexpr std::array kControls{
    ControlRow{kCmdOK,          {L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, 0},                {4245, 2625, 1260, 345},
                L"OK", FontKind::Standard, ControlKind::CommandButton},
    ControlRow{kPicIcon,        {L"STATIC", SS_ICON | SS_CENTERIMAGE,      WS_EX_CLIENTEDGE}, {240, 240, 540, 540},
                L"", FontKind::Standard, ControlKind::Label},
    ControlRow{kCmdSysInfo,     {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON,    0},                {4260, 3075, 1245, 345},
                L"&System Info...", FontKind::Standard, ControlKind::CommandButton},
    ControlRow{kLblDescription, {L"STATIC", SS_LEFT | SS_NOPREFIX,         0},                {1050, 1125, 3885, 1170},
                kDescription, FontKind::Standard, ControlKind::Label},
    ControlRow{kLblDisclaimer,  {L"STATIC", SS_LEFT | SS_NOPREFIX,         0},                {255, 2625, 3870, 825},
                kDisclaimer, FontKind::Standard, ControlKind::Label},
    ControlRow{kLblTitle,       {L"STATIC", SS_LEFT | SS_NOPREFIX,         0},                {1050, 240, 3885, 480},
                L"", FontKind::Standard, ControlKind::Label},
    ControlRow{kLblVersion,     {L"STATIC", SS_LEFT | SS_NOPREFIX,         0},                {1080, 780, 3885, 225},
                L"", FontKind::Bold, ControlKind::Label},
};
// clang-format on

// The etched separator: a gray line with a white one of two pixels just below it.
struct LineSpec {
  int x1, x2, y;  // twips
  int thickness;  // pixels
  COLORREF color;
};
constexpr std::array kSeparator{
    LineSpec{90, 5654, 2445, 1, RGB(128, 128, 128)},
    LineSpec{105, 5654, 2460, 2, RGB(255, 255, 255)},
};

// What each control shows once the dialog has loaded: the captions its face must fit.
std::vector<CaptionRoom> AboutCaptions() {
  std::vector<CaptionRoom> captions;
  for (const ControlRow& row : kControls) {
    const std::wstring_view shown = row.id == kLblTitle     ? kAboutTitle
                                    : row.id == kLblVersion ? kAboutVersion
                                                            : row.text;
    if (!shown.empty())
      captions.push_back({shown, row.kind, row.at, row.font});
  }
  return captions;
}

bool IsAbout(HWND window) {
  return window != nullptr && ::GetPropW(window, kAboutMarker) != nullptr;
}

// Hands keyboard messages meant for an About dialog to the dialog manager (Enter, Esc, Tab, access keys)
// before the caller's message loop sees them, and leaves the loop an empty message in their place.
LRESULT CALLBACK FilterAboutKeys(int code, WPARAM removal, LPARAM message) {
  if (code == HC_ACTION && removal == PM_REMOVE) {
    MSG* msg = reinterpret_cast<MSG*>(message);
    if (msg->hwnd != nullptr && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
      HWND root = ::GetAncestor(msg->hwnd, GA_ROOT);
      if (IsAbout(root) && ::IsDialogMessageW(root, msg)) {
        msg->message = WM_NULL;
        msg->wParam = 0;
        msg->lParam = 0;
      }
    }
  }
  return ::CallNextHookEx(nullptr, code, removal, message);
}

// What one open dialog holds. ShowAbout makes it; the dialog takes it over when it starts (WM_INITDIALOG)
// and frees it when it goes (WM_NCDESTROY).
struct AboutState {
  HWND owner = nullptr;
  HINSTANCE instance = nullptr;
  FontSet fonts;
  UniqueHook key_filter{::SetWindowsHookExW(WH_GETMESSAGE, FilterAboutKeys, nullptr, ::GetCurrentThreadId())};
};

AboutState* StateOf(HWND dialog) {
  return reinterpret_cast<AboutState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
}

HICON ApplicationIcon(HINSTANCE instance) {
  HICON icon = static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUENMAREL), IMAGE_ICON, 32, 32, LR_SHARED));
  return icon != nullptr ? icon : ::LoadIconW(nullptr, IDI_APPLICATION);
}

void PlaceOverOwner(HWND dialog, HWND owner, UINT dpi) {
  RECT frame{0, 0, TwipsToPixels(kAboutWidthTwips, dpi), TwipsToPixels(kAboutHeightTwips, dpi)};
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE));
  ::AdjustWindowRectExForDpi(&frame, style, FALSE, ex_style, dpi);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;

  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : dialog, MONITOR_DEFAULTTONEAREST),
                    &monitor);
  RECT around = monitor.rcWork;
  if (owner != nullptr && ::IsWindowVisible(owner))
    ::GetWindowRect(owner, &around);
  int left = around.left + (around.right - around.left - width) / 2;
  int top = around.top + (around.bottom - around.top - height) / 2;
  left = std::max<int>(monitor.rcWork.left, std::min<int>(left, monitor.rcWork.right - width));
  top = std::max<int>(monitor.rcWork.top, std::min<int>(top, monitor.rcWork.bottom - height));
  ::SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CreateControls(HWND dialog, const AboutState& state, UINT dpi) {
  for (const ControlRow& row : kControls) {
    const RECT place = PixelRect(row.at, dpi);
    HWND control = CreateChild(dialog, row.cls, row.text, row.id, place, state.fonts[row.font]);
    if (control == nullptr || row.id != kPicIcon)
      continue;
    ::SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(ApplicationIcon(state.instance)), 0);
    // Placed again once the icon is set: an icon control sizes itself to its icon.
    ::SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Form_Load(HWND dialog) {
  ::SetWindowTextW(dialog, kAboutCaption);
  ::SetDlgItemTextW(dialog, kLblVersion, kAboutVersion);
  ::SetDlgItemTextW(dialog, kLblTitle, kAboutTitle);
}

void PaintSeparator(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(dialog, &paint);
  const UINT dpi = DpiOf(dialog);
  for (const LineSpec& line : kSeparator) {
    const int y = TwipsToPixels(line.y, dpi);
    const RECT rect{TwipsToPixels(line.x1, dpi), y, TwipsToPixels(line.x2, dpi), y + line.thickness};
    ::SetDCBrushColor(dc, line.color);
    ::FillRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
  }
  ::EndPaint(dialog, &paint);
}

void cmdOK_Click(HWND dialog) {
  HWND owner = StateOf(dialog)->owner;
  ::DestroyWindow(dialog);
  if (owner != nullptr)
    ::ShowWindow(owner, SW_SHOW);
}

void cmdSysInfo_Click(HWND dialog) {
  StartSysInfo(SystemSysInfoServices(dialog));
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      AboutState* state = reinterpret_cast<std::unique_ptr<AboutState>*>(lparam)->release();
      ::SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
      ::SetPropW(dialog, kAboutMarker, dialog);
      const UINT dpi = DpiOf(dialog);
      state->fonts = FontSet(dpi, AboutCaptions());
      CreateControls(dialog, *state, dpi);
      ::SendMessageW(dialog, DM_SETDEFID, kCmdOK, 0);
      Form_Load(dialog);
      PlaceOverOwner(dialog, state->owner, dpi);
      ::SetFocus(::GetDlgItem(dialog, kCmdOK));
      return FALSE;
    }
    case WM_COMMAND:
      if (HIWORD(wparam) != BN_CLICKED)
        break;
      switch (LOWORD(wparam)) {
        case IDOK:
        case IDCANCEL:
          cmdOK_Click(dialog);
          return TRUE;
        case kCmdSysInfo:
          cmdSysInfo_Click(dialog);
          return TRUE;
      }
      break;
    case WM_PAINT:
      PaintSeparator(dialog);
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      ::SetTextColor(dc, RGB(0, 0, 0));
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DESTROY:
      ::RemovePropW(dialog, kAboutMarker);
      break;
    case WM_NCDESTROY: {
      const std::unique_ptr<AboutState> state(StateOf(dialog));
      ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
      break;
    }
  }
  return FALSE;
}

// The About dialog open on this thread, or null.
HWND FindAbout() {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM out) -> BOOL {
        if (!IsAbout(window))
          return TRUE;
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

HWND ShowAbout(HWND owner, HINSTANCE instance) {
  HWND dialog = FindAbout();
  if (dialog == nullptr) {
    // A dialog template with no controls: they are placed in twips at the window's DPI when it loads.
    alignas(4) std::array<WORD, 12> empty_template{};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    empty_template[0] = LOWORD(style);
    empty_template[1] = HIWORD(style);

    // A dialog that never starts leaves the state here, to go with this function.
    auto state = std::make_unique<AboutState>();
    state->owner = owner;
    state->instance = instance;
    dialog =
        ::CreateDialogIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(empty_template.data()),
                                     owner, AboutProc, reinterpret_cast<LPARAM>(&state));
    if (dialog == nullptr)
      return nullptr;
  }
  ::ShowWindow(dialog, SW_SHOW);
  ::SetForegroundWindow(dialog);
  return dialog;
}

SysInfoServices SystemSysInfoServices(HWND owner) {
  return {
      [](RegistryRoot root, const std::wstring& key, const std::wstring& value, std::wstring& text) {
        return GetKeyValue(root, key, value, text);
      },
      [](const std::wstring& path) { return IsOrdinaryFile(path); },
      [](const std::wstring& path) { return StartProgram(path, L"", WindowMode::NormalWithFocus); },
      [owner](const std::wstring& text) { ::MessageBoxW(owner, text.c_str(), kApplicationTitle, MB_OK); },
  };
}

}  // namespace qm
