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

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
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
  // A procedure of the window's own in front of the label's, not a common-controls subclass: that one
  // looks itself up in the label's properties, a round trip to the window server under Wine, on every
  // message.
  HWND status = Control(L"lblStatus");
  ::SetWindowLongPtrW(status, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  status_line_procedure_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&frmMain::StatusLineProcedure)));
  if (status_line_procedure_ == nullptr)
    ThrowLastError("SetWindowLongPtrW");
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
  HWND window = Control(control);
  // The public message mostly comes back unchanged from one refresh to the next; given the same text
  // again, the label would only be painted again.
  if (control == L"lblAds2" && WindowText(window) == text)
    return;
  ::SetWindowTextW(window, text.c_str());
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
  // A handler reports on the status line many times (every writer, then the action), and only its last
  // report is meant to be seen. While handlers run, the label holds the texts it is given
  // (StatusLineProcedure) and takes the last one, painting it once, when the outermost handler has ended,
  // however it ended. Giving a label a text asks the window server even while the label is not drawn, and
  // a label's redraw turned off and on again asks it twice more and paints once more. (The public message
  // changes only when a vendor result arrives, between handlers.)
  struct Running {
    frmMain& window;
    HWND status;
    ~Running() {
      if (--window.handlers_running_ > 0 || !window.held_status_)
        return;
      const std::wstring last = std::move(*window.held_status_);
      window.held_status_.reset();
      // Straight to the label's own procedure: the text was given to the label, and anyone watching its
      // messages has seen it then.
      if (::IsWindow(status))  // else the handler closed the window
        ::CallWindowProcW(window.status_line_procedure_, status, WM_SETTEXT, 0,
                          reinterpret_cast<LPARAM>(last.c_str()));
    }
  };
  ++handlers_running_;
  const Running running{*this, Control(L"lblStatus")};
  try {
    work();
  } catch (const std::bad_alloc&) {
    SetStatus(StatusReport(RuntimeFailure(err::kOutOfMemory)));
  }
}

LRESULT CALLBACK frmMain::StatusLineProcedure(HWND label, UINT message, WPARAM wparam, LPARAM lparam) {
  frmMain& self = *reinterpret_cast<frmMain*>(::GetWindowLongPtrW(label, GWLP_USERDATA));
  if (self.handlers_running_ == 0)
    return ::CallWindowProcW(self.status_line_procedure_, label, message, wparam, lparam);
  // Whoever reads the label in the meantime gets the text it was last given.
  switch (message) {
    case WM_SETTEXT:
      try {
        self.held_status_ = lparam != 0 ? reinterpret_cast<const wchar_t*>(lparam) : L"";
        return TRUE;
      } catch (const std::bad_alloc&) {
        // The label takes this text itself, and no older text may replace it when the handler ends.
        self.held_status_.reset();
      }
      break;
    case WM_GETTEXTLENGTH:
      if (self.held_status_)
        return static_cast<LRESULT>(self.held_status_->size());
      break;
    case WM_GETTEXT:
      if (self.held_status_) {
        const size_t room = static_cast<size_t>(wparam);
        if (room == 0 || lparam == 0)
          return 0;
        const size_t copied = self.held_status_->copy(reinterpret_cast<wchar_t*>(lparam), room - 1);
        reinterpret_cast<wchar_t*>(lparam)[copied] = L'\0';
        return static_cast<LRESULT>(copied);
      }
      break;
    default:
      break;
  }
  return ::CallWindowProcW(self.status_line_procedure_, label, message, wparam, lparam);
}

// --- Panel -----------------------------------------------------------------------------------------------

std::wstring frmMain::Text(Field field) const {
  const ControlLayout* box = FindControl(field);
  return box == nullptr ? std::wstring() : WindowText(Control(box->name));
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
