#include "ui/frmMain.h"

#include <commctrl.h>

#include <optional>
#include <system_error>
#include <utility>

#include "ui/main_layout.h"
#include "ui/resource.h"
#include "ui/window_placement.h"

namespace qm {
namespace {

constexpr wchar_t kWindowClass[] = L"QuenmarelMainWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW;

[[noreturn]] void ThrowLastError(const char* what) {
  throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
}

HICON ApplicationIcon(HINSTANCE instance, int size_metric) {
  const int size = ::GetSystemMetrics(size_metric);
  return static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUENMAREL), IMAGE_ICON, size, size, LR_SHARED));
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW cls{};
  if (::GetClassInfoExW(instance, kWindowClass, &cls))
    return;
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = procedure;
  cls.hInstance = instance;
  cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = kWindowClass;
  // A program without the icon resource gets the system's default icon.
  cls.hIcon = ApplicationIcon(instance, SM_CXICON);
  cls.hIconSm = ApplicationIcon(instance, SM_CXSMICON);
  if (!::RegisterClassExW(&cls) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    ThrowLastError("RegisterClassExW");
}

}  // namespace

frmMain::frmMain(HINSTANCE instance, MainWindowSettings settings)
    : instance_(instance),
      message_box_(std::move(settings.message_box)),
      vendor_connection_string_(std::move(settings.vendor_connection_string)) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  RegisterWindowClass(instance, &frmMain::WindowProcedure);

  if (!::CreateWindowExW(kWindowExStyle, kWindowClass, MainWindowTitle().c_str(), kWindowStyle, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this)) {
    ThrowLastError("CreateWindowExW");
  }
  try {
    CreateMenuBar();
    const UINT dpi = ::GetDpiForWindow(hwnd());
    fonts_ = FontSet(dpi, MainCaptions());
    controls_ = CreateLayoutControls(hwnd(), fonts_, dpi);
    if (controls_.empty())
      ThrowLastError("CreateWindowExW");
    status_line_ = std::make_unique<StatusLine>(Control(L"lblStatus"));
    CreateTooltip();
    PlaceAtStart(hwnd(), kWindowStyle, kWindowExStyle);
  } catch (...) {
    quit_on_destroy_ = false;
    ::DestroyWindow(hwnd());
    throw;
  }
  last_focus_ = Control(L"txtPair");
  // Cannot fail the window: a worker that cannot be made is the start-up connect's report.
  StartVendorWorker();
}

frmMain::~frmMain() {
  // Letting go of the window object is not the user closing the program.
  quit_on_destroy_ = false;
  if (HWND window = hwnd())
    ::DestroyWindow(window);
}

void frmMain::CreateMenuBar() {
  UniqueMenu menu(::CreateMenu());
  if (!menu)
    ThrowLastError("CreateMenu");
  for (const MenuCommand& command : MainMenu()) {
    if (!::AppendMenuW(menu.get(), MF_STRING, static_cast<UINT_PTR>(ControlId(command.name)),
                       std::wstring(command.caption).c_str())) {
      ThrowLastError("AppendMenuW");
    }
  }
  if (!::SetMenu(hwnd(), menu.get()))
    ThrowLastError("SetMenu");
  menu.release();  // the window destroys its menu bar
}

void frmMain::CreateTooltip() {
  for (const ControlLayout& control : MainLayout()) {
    if (control.tooltip.empty())
      continue;
    if (tooltip_ == nullptr && (tooltip_ = CreateTooltipWindow(hwnd())) == nullptr)
      ThrowLastError("CreateWindowExW tooltip");
    if (!AddTooltip(tooltip_, Control(control.name), control.tooltip))
      ThrowLastError("TTM_ADDTOOLW");
  }
}

void frmMain::OnDpiChanged(UINT dpi, const RECT& window_rect) {
  FontSet fonts(dpi, MainCaptions());
  LayOutControls(controls_, fonts, dpi);
  std::swap(fonts_, fonts);  // the fonts of the previous DPI go only now that no control uses them
  ::SetWindowPos(hwnd(), nullptr, window_rect.left, window_rect.top, window_rect.right - window_rect.left,
                 window_rect.bottom - window_rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND frmMain::Control(std::wstring_view name) const {
  // Kept from creation: under Wine, looking a child up by its identifier asks the window server each time.
  const auto found = controls_.find(ControlId(name));
  return found == controls_.end() ? nullptr : found->second;
}

LRESULT CALLBACK frmMain::WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<frmMain*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    created->window_.reset(window);
  }
  auto* self = reinterpret_cast<frmMain*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr)
    return ::DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_.release();  // the system has destroyed it
    self->tooltip_ = nullptr;
    self->last_focus_ = nullptr;
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    // The handlers trap their own failures; whatever still escapes must not unwind through the system.
    return 0;
  }
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED)
        OnCommand(LOWORD(wparam));
      return 0;
    case WM_DRAWITEM:
      if (const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam); item.CtlType == ODT_STATIC) {
        OnDrawLabel(item);
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(hwnd(), focus))
          last_focus_ = focus;
      }
      break;  // activation puts the focus on the window, which hands it on below
    case WM_SETFOCUS:
      // Giving the focus back chooses nothing. An option button that gets the focus unchecked reports a
      // click for it (Windows does, and Wine 10; Wine 8 does not), which is not the trader's.
      if (last_focus_ != nullptr && ::IsWindow(last_focus_)) {
        giving_focus_back_ = true;
        ::SetFocus(last_focus_);
        giving_focus_back_ = false;
      }
      return 0;
    case WM_NEXTDLGCTL:
      OnNextControl(wparam, lparam);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_DESTROY:
      Form_Unload();
      return 0;
    case kVendorResultsMessage:
      OnVendorResults();
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd(), message, wparam, lparam);
}

// The labels are drawn by the window, each in the colour its row names, else the system's text colour.
void frmMain::OnDrawLabel(const DRAWITEMSTRUCT& item) {
  const ControlLayout* layout = FindControl(static_cast<int>(item.CtlID));
  const std::optional<Colour> colour = layout != nullptr ? layout->colour : std::nullopt;
  DrawLabel(item, colour ? RGB(colour->red, colour->green, colour->blue) : ::GetSysColor(COLOR_WINDOWTEXT));
}

}  // namespace qm
