#include "ui/frmMain.h"

#include <commctrl.h>

#include <new>
#include <system_error>
#include <utility>

#include "platform/failure.h"
#include "platform/open_dialog.h"
#include "ui/resource.h"

namespace qm {
namespace {

constexpr wchar_t kWindowClass[] = L"QuenmarelMainWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW;

[[noreturn]] void ThrowLastError(const char* what) {
  throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
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
  cls.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUENMAREL), IMAGE_ICON,
                                              ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                              LR_SHARED));
  cls.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUENMAREL), IMAGE_ICON,
                                                ::GetSystemMetrics(SM_CXSMICON),
                                                ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  if (!::RegisterClassExW(&cls) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    ThrowLastError("RegisterClassExW");
}

}  // namespace

void ShowOkMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption) {
  ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK);
}

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
    fonts_ = FontSet(dpi);
    CreateControls(dpi);
    CreateTooltip();
    PlaceWindow();
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

void frmMain::CreateControls(UINT dpi) {
  controls_ = CreateLayoutControls(hwnd(), fonts_, dpi);
  if (controls_.empty())
    ThrowLastError("CreateWindowExW");
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

void frmMain::ApplyLayout(UINT dpi, const RECT& window_rect) {
  FontSet fonts(dpi);
  for (const ControlLayout& control : MainLayout()) {
    const RECT place = PixelRect(PlaceInWindow(control), dpi);
    HWND child = Control(control.name);
    ::SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[control.font]), TRUE);
  }
  std::swap(fonts_, fonts);  // the fonts of the previous DPI go only now that no control uses them
  ::SetWindowPos(hwnd(), nullptr, window_rect.left, window_rect.top, window_rect.right - window_rect.left,
                 window_rect.bottom - window_rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMain::PlaceWindow() {
  // A move onto a monitor of another DPI rescales the window on the spot (WM_DPICHANGED), after which the
  // place and the frame measured at the old DPI no longer hold: place it again at the new one. The bound
  // only stops two monitors that keep handing the window back and forth.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const UINT dpi = DpiOf(hwnd());
    PlaceAtStart(hwnd(), kWindowStyle, kWindowExStyle, dpi);
    if (DpiOf(hwnd()) == dpi)
      return;
  }
}

HWND frmMain::Control(std::wstring_view name) const {
  // Kept from creation: under Wine, looking a child up by its identifier asks the window server each time.
  const auto found = controls_.find(ControlId(name));
  return found == controls_.end() ? nullptr : found->second;
}

void frmMain::SetCaption(std::wstring_view control, const std::wstring& text) {
  ::SetWindowTextW(Control(control), text.c_str());
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
    case WM_CTLCOLORSTATIC:
      return OnControlColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(hwnd(), focus))
          last_focus_ = focus;
      }
      break;  // activation puts the focus on the window, which hands it on below
    case WM_SETFOCUS:
      if (last_focus_ != nullptr && ::IsWindow(last_focus_))
        ::SetFocus(last_focus_);
      return 0;
    case WM_NEXTDLGCTL:
      OnNextControl(wparam, lparam);
      return 0;
    case WM_DPICHANGED:
      ApplyLayout(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
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

void frmMain::OnCommand(int id) {
  // A click on an option button selects it; its handler runs only when that changes the selection.
  if (const ControlLayout* control = FindControl(id); control != nullptr && control->role.option) {
    RunTrapped([this, option = *control->role.option] { Select(option); });
    return;
  }
  if (const Handler handler = ClickHandler(id); handler != Handler::None)
    RunTrapped([this, handler] { Run(handler); });
}

LRESULT frmMain::OnControlColour(HDC dc, HWND control) {
  const ControlLayout* layout = FindControl(::GetDlgCtrlID(control));
  if (layout != nullptr && layout->colour) {
    ::SetTextColor(dc, RGB(layout->colour->red, layout->colour->green, layout->colour->blue));
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
  }
  return ::DefWindowProcW(hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
}

// The dialog manager asks for the next control this way on some systems; a plain window must answer itself.
void frmMain::OnNextControl(WPARAM wparam, LPARAM lparam) {
  HWND next = LOWORD(lparam) != 0 ? reinterpret_cast<HWND>(wparam)
                                  : ::GetNextDlgTabItem(hwnd(), ::GetFocus(), wparam != 0);
  if (next == nullptr)
    return;
  ::SetFocus(next);
  if (::SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    ::SendMessageW(next, EM_SETSEL, 0, -1);
}

bool frmMain::PreTranslateMessage(MSG& message) {
  HWND window = hwnd();
  if (window == nullptr || (message.hwnd != window && !::IsChild(window, message.hwnd)))
    return false;
  // No default and no cancel button: Enter and Escape press nothing, whichever control has the focus.
  const bool key = message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
  if (key && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE))
    return true;
  const bool arrow =
      message.message == WM_KEYDOWN && (message.wParam == VK_LEFT || message.wParam == VK_RIGHT ||
                                        message.wParam == VK_UP || message.wParam == VK_DOWN);
  const bool handled = ::IsDialogMessageW(window, &message) != FALSE;
  // An arrow key moves the focus within an option group, and the selection follows it. Some systems' option
  // buttons also report a click when they get the focus, others do not; selecting the selected option
  // changes nothing, so the option change runs once either way.
  if (arrow && hwnd() != nullptr)
    RunTrapped([this] { SelectFocusedOption(); });
  return handled;
}

void frmMain::SelectFocusedOption() {
  HWND focus = ::GetFocus();
  const ControlLayout* focused = FindControl(::GetDlgCtrlID(focus));
  if (focused != nullptr && focused->role.option && Control(focused->name) == focus)
    Select(*focused->role.option);
}

void frmMain::RunTrapped(const std::function<void()>& work) {
  // A handler reports on the status line many times (every writer, then the action), and a label repaints
  // itself at once on each new text. Only the last text is meant to be seen, so the status line is painted
  // once, after the handler. (The public message changes only when a vendor result arrives, between
  // handlers.)
  HWND status = Control(L"lblStatus");
  ::SendMessageW(status, WM_SETREDRAW, FALSE, 0);
  try {
    work();
  } catch (const std::bad_alloc&) {
    SetStatus(StatusReport(RuntimeFailure(err::kOutOfMemory)));
  }
  if (!::IsWindow(status))
    return;  // the handler closed the window
  ::SendMessageW(status, WM_SETREDRAW, TRUE, 0);
  ::RedrawWindow(status, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// --- Panel -----------------------------------------------------------------------------------------------

std::wstring frmMain::Text(Field field) const {
  const ControlLayout* box = FindControl(field);
  if (box == nullptr)
    return {};
  HWND control = Control(box->name);
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool frmMain::IsSelected(Option option) const {
  const ControlLayout* button = FindControl(option);
  return button != nullptr && ::SendMessageW(Control(button->name), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Only the click sequences report through here; a connect report asked for earlier is no longer shown.
void frmMain::SetStatus(const std::wstring& text) {
  SetCaption(L"lblStatus", text);
  if (vendor_)
    vendor_->NoteActionReport();
}

void frmMain::SetFileLocation(const std::wstring& text) {
  SetCaption(L"txtFileLocation", text);
}

void frmMain::ShowMessage(const std::wstring& text) {
  message_box_(hwnd(), text, std::wstring(kApplicationTitle));
}

OpenDialogResult frmMain::AskForFile() {
  return ShowOpenDialog(hwnd());
}

// --- Selection of options ----------------------------------------------------------------------------------

// A click, an arrow key or code: the option change runs once, after the selection has changed. A click on
// the option that is already selected changes nothing and so runs nothing.
void frmMain::Select(Option option) {
  if (IsSelected(option))
    return;
  const ControlLayout* chosen = FindControl(option);
  const ControlLayout* partner = chosen != nullptr ? PartnerOf(*chosen) : nullptr;
  if (partner == nullptr)
    return;
  HWND on = Control(chosen->name);
  HWND off = Control(partner->name);
  ::SendMessageW(off, BM_SETCHECK, BST_UNCHECKED, 0);
  ::SendMessageW(on, BM_SETCHECK, BST_CHECKED, 0);
  // Tab reaches a group through its selected option.
  ::SetWindowLongPtrW(off, GWL_STYLE,
                      ::GetWindowLongPtrW(off, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP));
  ::SetWindowLongPtrW(on, GWL_STYLE, ::GetWindowLongPtrW(on, GWL_STYLE) | WS_TABSTOP);
  Run(chosen->role.click);
}

// --- Message loop ------------------------------------------------------------------------------------------

int RunMessageLoop(frmMain& window) {
  MSG message;
  for (;;) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0)
      return static_cast<int>(message.wParam);
    if (got == -1)
      return 1;
    if (window.PreTranslateMessage(message))
      continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace qm
