// The start-up floor: the least a Win32 program does to show one window. It registers a class, creates and
// shows an empty window and runs its messages until the window is closed, built and linked exactly as the
// panel is, so that the ratio of the two leaves Wine's own process start out of the comparison.

#include <windows.h>

namespace {

LRESULT CALLBACK FloorProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = FloorProcedure;
  cls.hInstance = instance;
  cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = L"QuenmarelBenchFloor";
  if (!::RegisterClassExW(&cls))
    return 1;
  HWND window =
      ::CreateWindowExW(0, cls.lpszClassName, L"Quenmarel benchmark floor", WS_OVERLAPPEDWINDOW,
                        CW_USEDEFAULT, CW_USEDEFAULT, 640, 320, nullptr, nullptr, instance, nullptr);
  if (window == nullptr)
    return 1;
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::UpdateWindow(window);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
