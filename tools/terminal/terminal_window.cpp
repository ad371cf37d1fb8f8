#include "terminal/terminal_window.h"

#include <memory>
#include <string_view>

#include "terminal/command_consumer.h"

namespace qm::terminal {
namespace {

constexpr int kLabelId = 1;
constexpr int kJournalId = 2;
constexpr int kTimerId = 1;
constexpr int kMargin = 8;
constexpr int kLabelHeight = 58;
// The window keeps the latest lines only; the journal file keeps them all.
constexpr LRESULT kMaxShownLines = 5000;

class FontOwner {
 public:
  explicit FontOwner(HFONT font) : font_(font) {}
  FontOwner(const FontOwner&) = delete;
  FontOwner& operator=(const FontOwner&) = delete;
  ~FontOwner() {
    if (font_)
      ::DeleteObject(font_);
  }
  HFONT get() const { return font_; }

 private:
  HFONT font_;
};

class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_)
      ::ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

struct WindowState {
  explicit WindowState(const std::wstring& data_folder)
      : consumer(data_folder),
        journal_font(::CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   FIXED_PITCH | FF_MODERN, L"Courier New")) {}

  CommandConsumer consumer;
  FontOwner journal_font;
  HWND label = nullptr;
  HWND journal = nullptr;
  long taken = 0;
  int widest = 0;
  std::wstring shown_status;
};

bool FolderExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring StatusText(const WindowState& state, const std::wstring& problem) {
  const std::wstring& root = state.consumer.data_folder();
  std::wstring text = L"Data folder: " + root + L"\nWatching MQL4\\files";
  if (!FolderExists(root + L"\\MQL4\\files"))
    text += L" (missing)";
  text += L" and tester\\files";
  if (!FolderExists(root + L"\\tester\\files"))
    text += L" (missing)";
  text += L" every " + std::to_wstring(kPollMilliseconds) + L" ms. Journal: " + state.consumer.JournalPath() +
          L". Commands taken: " + std::to_wstring(state.taken) + L".\n" + problem;
  return text;
}

void ShowStatus(WindowState& state, const std::wstring& problem) {
  std::wstring text = StatusText(state, problem);
  if (text == state.shown_status)
    return;  // unchanged: spare the label a repaint on every poll
  ::SetWindowTextW(state.label, text.c_str());
  state.shown_status = std::move(text);
}

void AddJournalLine(WindowState& state, const std::string& line) {
  const std::wstring text(line.begin(), line.end());  // journal lines are plain ASCII
  if (::SendMessageW(state.journal, LB_GETCOUNT, 0, 0) >= kMaxShownLines) {
    ::SendMessageW(state.journal, LB_DELETESTRING, 0, 0);
  }
  const LRESULT index =
      ::SendMessageW(state.journal, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index >= 0)
    ::SendMessageW(state.journal, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);

  // A list box scrolls sideways only as far as it is told.
  const WindowDc dc(state.journal);
  if (!dc.get())
    return;
  const HGDIOBJ previous = ::SelectObject(dc.get(), state.journal_font.get());
  SIZE extent{};
  if (::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent) &&
      extent.cx + kMargin > state.widest) {
    state.widest = extent.cx + kMargin;
    ::SendMessageW(state.journal, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(state.widest), 0);
  }
  ::SelectObject(dc.get(), previous);
}

void Poll(WindowState& state) {
  const CommandConsumer::PollResult result = state.consumer.Poll();
  for (const std::string& line : result.lines)
    AddJournalLine(state, line);
  state.taken += static_cast<long>(result.lines.size());
  ShowStatus(state, result.problem);
}

void Layout(const WindowState& state, HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  const int width = client.right - 2 * kMargin;
  ::MoveWindow(state.label, kMargin, kMargin, width, kLabelHeight, TRUE);
  const int top = 2 * kMargin + kLabelHeight;
  ::MoveWindow(state.journal, kMargin, top, width, client.bottom - top - kMargin, TRUE);
}

bool CreateChildren(WindowState& state, HWND window) {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE));
  state.label =
      ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabelId)), instance, nullptr);
  state.journal = ::CreateWindowExW(
      WS_EX_CLIENTEDGE, L"LISTBOX", L"",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS, 0,
      0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kJournalId)), instance, nullptr);
  if (!state.label || !state.journal)
    return false;
  ::SendMessageW(state.label, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  const HFONT journal_font = state.journal_font.get() ? state.journal_font.get()
                                                      : static_cast<HFONT>(::GetStockObject(ANSI_FIXED_FONT));
  ::SendMessageW(state.journal, WM_SETFONT, reinterpret_cast<WPARAM>(journal_font), FALSE);
  Layout(state, window);
  return true;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* state = reinterpret_cast<WindowState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!state)
    return ::DefWindowProcW(window, message, wparam, lparam);

  switch (message) {
    case WM_CREATE:
      if (!CreateChildren(*state, window))
        return -1;
      ShowStatus(*state, L"");
      ::SetTimer(window, kTimerId, kPollMilliseconds, nullptr);
      return 0;
    case WM_SIZE:
      Layout(*state, window);
      return 0;
    case WM_TIMER:
      if (wparam == kTimerId)
        Poll(*state);
      return 0;
    case WM_DESTROY:
      ::KillTimer(window, kTimerId);
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

std::wstring WindowTitle(const std::wstring& data_folder) {
  return L"Stand-in terminal - " + data_folder;
}

int RunTerminalWindow(HINSTANCE instance, const std::wstring& data_folder, int show) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  if (!::RegisterClassExW(&window_class))
    return 1;

  const auto state = std::make_unique<WindowState>(data_folder);
  const HWND window =
      ::CreateWindowExW(0, kWindowClass, WindowTitle(data_folder).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 920, 400, nullptr, nullptr, instance, state.get());
  if (!window)
    return 1;
  ::ShowWindow(window, show);
  ::UpdateWindow(window);

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  // The window is gone by now; the state it pointed to may go too.
  return static_cast<int>(message.wParam);
}

}  // namespace qm::terminal
