#include "ui/frmMain.h"

#include <commctrl.h>

#include <new>
#include <system_error>
#include <utility>

#include "actions/actions.h"
#include "actions/expert_advisor_selection.h"
#include "actions/web_site.h"
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

int Pixels(int twips, UINT dpi) {
  return ::MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

UniqueFont MakeFont(FontKind kind, UINT dpi) {
  LOGFONTW font{};
  const int centipoints = kind == FontKind::LargeBold ? kLargeFontCentipoints : kStandardFontCentipoints;
  font.lfHeight = -::MulDiv(centipoints, static_cast<int>(dpi), 72 * 100);
  font.lfWeight = kind == FontKind::Standard ? FW_NORMAL : FW_BOLD;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  kFontFace.copy(font.lfFaceName, LF_FACESIZE - 1);
  return UniqueFont(::CreateFontIndirectW(&font));
}

std::array<UniqueFont, 3> MakeFonts(UINT dpi) {
  return {MakeFont(FontKind::Standard, dpi), MakeFont(FontKind::Bold, dpi),
          MakeFont(FontKind::LargeBold, dpi)};
}

RECT PixelPlace(const ControlLayout& control, UINT dpi) {
  const TwipRect place = PlaceInWindow(control);
  const int left = Pixels(place.left, dpi);
  const int top = Pixels(place.top, dpi);
  return {left, top, left + Pixels(place.width, dpi), top + Pixels(place.height, dpi)};
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

// Window class and styles of each kind of control. A control's painting is clipped by the siblings above it,
// so that of two overlapping controls the upper one is seen whole.
struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD ex_style;
};

ControlClass ClassOf(ControlKind kind) {
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
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

struct OptionControl {
  Option option;
  std::wstring_view name;
  Option partner;  // the other option of the same frame
};

constexpr OptionControl kOptionControls[] = {
    {Option::BackTest, L"optBackTest", Option::RealTime},
    {Option::RealTime, L"optRealTime", Option::BackTest},
    {Option::FourDigit, L"optFourDigit", Option::FiveDigit},
    {Option::FiveDigit, L"optFiveDigit", Option::FourDigit},
};

const OptionControl& OptionControlOf(Option option) {
  for (const OptionControl& control : kOptionControls) {
    if (control.option == option)
      return control;
  }
  return kOptionControls[0];
}

}  // namespace

void ShowOkMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption) {
  ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK);
}

const frmMain::CommandRoute frmMain::kCommandRoutes[] = {
    {L"mnuAbout", &frmMain::mnuAbout_Click},
    {L"mnuExit", &frmMain::mnuExit_Click},
    {L"cmdFileLocation", &frmMain::cmdFileLocation_Click},
    {L"cmdVisit_QRX", &frmMain::cmdVisit_QRX_Click},
    {L"cmdSendParameters", &frmMain::cmdSendParameters_Click},
    {L"optBackTest", &frmMain::OptionPressed<Option::BackTest>},
    {L"optRealTime", &frmMain::OptionPressed<Option::RealTime>},
    {L"optFourDigit", &frmMain::OptionPressed<Option::FourDigit>},
    {L"optFiveDigit", &frmMain::OptionPressed<Option::FiveDigit>},
    {L"cmdBuy", &frmMain::cmdBuy_Click},
    {L"cmdSell", &frmMain::cmdSell_Click},
    {L"cmdHedge", &frmMain::cmdHedge_Click},
    {L"cmdBuyStop", &frmMain::cmdBuyStop_Click},
    {L"cmdSellStop", &frmMain::cmdSellStop_Click},
    {L"cmdBuyLimit", &frmMain::cmdBuyLimit_Click},
    {L"cmdSellLimit", &frmMain::cmdSellLimit_Click},
    {L"cmdCloseAll", &frmMain::cmdCloseAll_Click},
    {L"cmdCloseBuy", &frmMain::cmdCloseBuy_Click},
    {L"cmdCloseSell", &frmMain::cmdCloseSell_Click},
    {L"cmdDeleteBuyStop", &frmMain::cmdDeleteBuyStop_Click},
    {L"cmdDeleteSellStop", &frmMain::cmdDeleteSellStop_Click},
    {L"cmdDeleteBuyLimit", &frmMain::cmdDeleteBuyLimit_Click},
    {L"cmdDeleteSellLimit", &frmMain::cmdDeleteSellLimit_Click},
};

frmMain::frmMain(HINSTANCE instance, MainWindowSettings settings)
    : instance_(instance),
      message_box_(std::move(settings.message_box)),
      vendor_(std::move(settings.vendor_connection_string)) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  RegisterWindowClass(instance, &frmMain::WindowProcedure);
  for (const CommandRoute& route : kCommandRoutes)
    handlers_[ControlId(route.control)] = route.handler;

  if (!::CreateWindowExW(kWindowExStyle, kWindowClass, MainWindowTitle().c_str(), kWindowStyle, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this)) {
    ThrowLastError("CreateWindowExW");
  }
  try {
    CreateMenuBar();
    const UINT dpi = ::GetDpiForWindow(hwnd());
    fonts_ = MakeFonts(dpi);
    CreateControls(dpi);
    CreateTooltip();
    PlaceWindow(dpi);
  } catch (...) {
    quit_on_destroy_ = false;
    ::DestroyWindow(hwnd());
    throw;
  }
  last_focus_ = Control(L"txtPair");
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
  const std::vector<const ControlLayout*> order = CreationOrder();
  const ControlLayout* previous = nullptr;
  for (const ControlLayout* control : order) {
    ControlClass cls = ClassOf(control->kind);
    // The first option of a frame starts its group and is the group's tab stop until one is selected.
    const bool first_option = control->kind == ControlKind::OptionButton &&
                              !(previous != nullptr && previous->kind == ControlKind::OptionButton &&
                                previous->container == control->container);
    if (first_option)
      cls.style |= WS_GROUP | WS_TABSTOP;
    // Children go below the siblings created before them: creation order is stacking order. Each is made in
    // its place and given its font while the window is hidden: under Wine every later move or font change of
    // a control is a round trip to the window server and a redraw.
    const RECT place = PixelPlace(*control, dpi);
    HWND created = ::CreateWindowExW(
        cls.ex_style, cls.name, std::wstring(control->caption).c_str(), cls.style, place.left, place.top,
        place.right - place.left, place.bottom - place.top, hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(control->name))), instance_, nullptr);
    if (created == nullptr)
      ThrowLastError("CreateWindowExW");
    controls_[ControlId(control->name)] = created;
    ::SendMessageW(created, WM_SETFONT,
                   reinterpret_cast<WPARAM>(fonts_[static_cast<size_t>(control->font)].get()), FALSE);
    if (control->kind == ControlKind::TextBox)
      ::SendMessageW(created, EM_SETLIMITTEXT, 0, 0);  // no limit on what a box holds
    previous = control;
  }
}

void frmMain::CreateTooltip() {
  for (const ControlLayout& control : MainLayout()) {
    if (control.tooltip.empty())
      continue;
    if (tooltip_ == nullptr) {
      tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, instance_, nullptr);
      if (tooltip_ == nullptr)
        ThrowLastError("CreateWindowExW tooltip");
    }
    std::wstring text(control.tooltip);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the common controls
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(Control(control.name));
    tool.lpszText = text.data();
    if (!::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
      ThrowLastError("TTM_ADDTOOLW");
  }
}

void frmMain::ApplyLayout(UINT dpi, const RECT& window_rect) {
  std::array<UniqueFont, 3> fonts = MakeFonts(dpi);
  for (const ControlLayout& control : MainLayout()) {
    const RECT place = PixelPlace(control, dpi);
    HWND child = Control(control.name);
    ::SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(child, WM_SETFONT,
                   reinterpret_cast<WPARAM>(fonts[static_cast<size_t>(control.font)].get()), TRUE);
  }
  fonts_.swap(fonts);  // the fonts of the previous DPI go only now that no control uses them
  ::SetWindowPos(hwnd(), nullptr, window_rect.left, window_rect.top, window_rect.right - window_rect.left,
                 window_rect.bottom - window_rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMain::PlaceWindow(UINT dpi) {
  const RECT client{Pixels(kClientLeftTwips, dpi), Pixels(kClientTopTwips, dpi),
                    Pixels(kClientLeftTwips + kClientWidthTwips, dpi),
                    Pixels(kClientTopTwips + kClientHeightTwips, dpi)};
  RECT outer = client;
  ::AdjustWindowRectExForDpi(&outer, kWindowStyle, TRUE, kWindowExStyle, dpi);
  ::SetWindowPos(hwnd(), nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame the system draws can differ from the computed one (a menu bar that wraps, another theme):
  // correct by what the window reports, so that the client area itself has the size and place asked for.
  RECT actual{};
  ::GetClientRect(hwnd(), &actual);
  POINT origin{0, 0};
  ::ClientToScreen(hwnd(), &origin);
  const int dx = client.left - origin.x;
  const int dy = client.top - origin.y;
  const int dw = (client.right - client.left) - actual.right;
  const int dh = (client.bottom - client.top) - actual.bottom;
  if (dx != 0 || dy != 0 || dw != 0 || dh != 0) {
    ::SetWindowPos(hwnd(), nullptr, outer.left + dx, outer.top + dy, outer.right - outer.left + dw,
                   outer.bottom - outer.top + dh, SWP_NOZORDER | SWP_NOACTIVATE);
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
    default:
      break;
  }
  return ::DefWindowProcW(hwnd(), message, wparam, lparam);
}

void frmMain::OnCommand(int id) {
  if (const auto route = handlers_.find(id); route != handlers_.end())
    RunTrapped(route->second);
}

LRESULT frmMain::OnControlColour(HDC dc, HWND control) {
  const int id = ::GetDlgCtrlID(control);
  for (const ControlLayout& layout : MainLayout()) {
    if (!layout.colour || ControlId(layout.name) != id)
      continue;
    ::SetTextColor(dc, RGB(layout.colour->red, layout.colour->green, layout.colour->blue));
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
    RunTrapped(&frmMain::SelectFocusedOption);
  return handled;
}

void frmMain::SelectStartOptions() {
  Select(Option::FourDigit);
  Select(Option::BackTest);
}

void frmMain::SelectFocusedOption() {
  HWND focus = ::GetFocus();
  for (const OptionControl& option : kOptionControls) {
    if (Control(option.name) == focus)
      Select(option.option);
  }
}

void frmMain::RunTrapped(void (frmMain::*handler)()) {
  // A handler reports on the status line many times (every writer, the refresh, the action), and a label
  // repaints itself at once on each new text. Only the last text is meant to be seen, so the two report
  // labels are painted once, after the handler.
  HWND labels[] = {Control(L"lblStatus"), Control(L"lblAds2")};
  for (HWND label : labels)
    ::SendMessageW(label, WM_SETREDRAW, FALSE, 0);
  try {
    (this->*handler)();
  } catch (const std::bad_alloc&) {
    SetStatus(StatusReport(RuntimeFailure(err::kOutOfMemory)));
  }
  for (HWND label : labels) {
    if (!::IsWindow(label))
      continue;  // the handler closed the window
    ::SendMessageW(label, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(label, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
}

// --- Panel -----------------------------------------------------------------------------------------------

std::wstring frmMain::Text(Field field) const {
  static constexpr std::pair<Field, std::wstring_view> kBoxes[] = {
      {Field::FileLocation, L"txtFileLocation"},
      {Field::Pair, L"txtPair"},
      {Field::Lotsize, L"txtLotsize"},
      {Field::TakeProfit, L"txtTakeProfit"},
      {Field::StopLoss, L"txtStopLoss"},
      {Field::MagicNo, L"txtMagicNo"},
      {Field::Closeall, L"txtCloseall"},
      {Field::BuyStopPrice, L"txtbuystop_price"},
      {Field::SellStopPrice, L"txtsellstop_price"},
      {Field::BuyLimitPrice, L"txtbuylimit_price"},
      {Field::SellLimitPrice, L"txtselllimit_price"},
  };
  for (const auto& [box_field, name] : kBoxes) {
    if (box_field != field)
      continue;
    HWND box = Control(name);
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  return {};
}

bool frmMain::IsSelected(Option option) const {
  return ::SendMessageW(Control(OptionControlOf(option).name), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void frmMain::SetStatus(const std::wstring& text) {
  SetCaption(L"lblStatus", text);
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

void frmMain::RefreshPublicMessage() {
  PublicMessageRefresh refresh = vendor_.RefreshPublicMessage();
  if (refresh.message)
    SetCaption(L"lblAds2", *refresh.message);
  SetStatus(VendorStatusReport(refresh.failure));
}

void frmMain::ConnectVendorDatabase() {
  SetStatus(VendorStatusReport(vendor_.ConnectVendorDatabase()));
}

// --- Selection of options ----------------------------------------------------------------------------------

// A click, an arrow key or code: the option change runs once, after the selection has changed. A click on
// the option that is already selected changes nothing and so runs nothing.
void frmMain::Select(Option option) {
  if (IsSelected(option))
    return;
  const OptionControl& chosen = OptionControlOf(option);
  HWND on = Control(chosen.name);
  HWND off = Control(OptionControlOf(chosen.partner).name);
  ::SendMessageW(off, BM_SETCHECK, BST_UNCHECKED, 0);
  ::SendMessageW(on, BM_SETCHECK, BST_CHECKED, 0);
  // Tab reaches a group through its selected option.
  ::SetWindowLongPtrW(off, GWL_STYLE,
                      ::GetWindowLongPtrW(off, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP));
  ::SetWindowLongPtrW(on, GWL_STYLE, ::GetWindowLongPtrW(on, GWL_STYLE) | WS_TABSTOP);

  static constexpr std::pair<Option, void (frmMain::*)()> kClickHandlers[] = {
      {Option::BackTest, &frmMain::optBackTest_Click},
      {Option::RealTime, &frmMain::optRealTime_Click},
      {Option::FourDigit, &frmMain::optFourDigit_Click},
      {Option::FiveDigit, &frmMain::optFiveDigit_Click},
  };
  for (const auto& [handled, handler] : kClickHandlers) {
    if (handled == option)
      (this->*handler)();
  }
}

// --- Load and unload ---------------------------------------------------------------------------------------

void frmMain::Form_Load() {
  try {
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::SetFocus(Control(L"txtPair"));
    // The option changes report like any handler: the status line is painted once, with the last report.
    RunTrapped(&frmMain::SelectStartOptions);
    // Paint the panel before a slow or absent server is waited for: the trader sees it at once.
    ::UpdateWindow(hwnd());
    ConnectVendorDatabase();
  } catch (const std::bad_alloc&) {
    SetStatus(VendorStatusReport(RuntimeFailure(err::kOutOfMemory)));
  }
}

void frmMain::Form_Unload() {
  // Closing the main window ends the program; nothing is saved.
  if (quit_on_destroy_)
    ::PostQuitMessage(0);
}

// --- Menu and buttons --------------------------------------------------------------------------------------

void frmMain::mnuExit_Click() {
  ::DestroyWindow(hwnd());
}

// The About dialog is modeless and owned by this window, so it closes with it; a second About brings the
// open one forward.
void frmMain::mnuAbout_Click() {
  ShowAbout(hwnd(), instance_);
}

void frmMain::cmdFileLocation_Click() {
  qm::cmdFileLocation_Click(*this);
}

void frmMain::cmdVisit_QRX_Click() {
  qm::cmdVisit_QRX_Click(*this);
}

void frmMain::cmdSendParameters_Click() {
  SendParameters(*this);
}

void frmMain::optBackTest_Click() {
  OptionChanged(*this);
}
void frmMain::optRealTime_Click() {
  OptionChanged(*this);
}
void frmMain::optFourDigit_Click() {
  OptionChanged(*this);
}
void frmMain::optFiveDigit_Click() {
  OptionChanged(*this);
}

void frmMain::cmdBuy_Click() {
  OpenOrder(*this, OrderAction::Buy);
}
void frmMain::cmdSell_Click() {
  OpenOrder(*this, OrderAction::Sell);
}
void frmMain::cmdHedge_Click() {
  OpenOrder(*this, OrderAction::Hedge);
}
void frmMain::cmdBuyStop_Click() {
  OpenOrder(*this, OrderAction::BuyStop);
}
void frmMain::cmdSellStop_Click() {
  OpenOrder(*this, OrderAction::SellStop);
}
void frmMain::cmdBuyLimit_Click() {
  OpenOrder(*this, OrderAction::BuyLimit);
}
void frmMain::cmdSellLimit_Click() {
  OpenOrder(*this, OrderAction::SellLimit);
}

void frmMain::cmdCloseAll_Click() {
  CloseOrDelete(*this, CloseAction::CloseAll);
}
void frmMain::cmdCloseBuy_Click() {
  CloseOrDelete(*this, CloseAction::CloseBuy);
}
void frmMain::cmdCloseSell_Click() {
  CloseOrDelete(*this, CloseAction::CloseSell);
}
void frmMain::cmdDeleteBuyStop_Click() {
  CloseOrDelete(*this, CloseAction::DeleteBuyStop);
}
void frmMain::cmdDeleteSellStop_Click() {
  CloseOrDelete(*this, CloseAction::DeleteSellStop);
}
void frmMain::cmdDeleteBuyLimit_Click() {
  CloseOrDelete(*this, CloseAction::DeleteBuyLimit);
}
void frmMain::cmdDeleteSellLimit_Click() {
  CloseOrDelete(*this, CloseAction::DeleteSellLimit);
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
