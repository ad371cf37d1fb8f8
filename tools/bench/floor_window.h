#pragma once
// What the floors share: the top-level window of a program that ends when its window is closed, with the
// panel's icon from the resources every floor is built with, and its message loop. Nothing more than the
// least a Win32 program does, so that the floors stay floors.

#include <windows.h>

#include "ui/resource.h"

namespace qm::bench {

inline LRESULT CALLBACK FloorProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

// Registers `class_name` and creates its hidden window, `width` by `height` or the system's default size
// when CW_USEDEFAULT, run by `procedure`, which hands on what it does not take to FloorProcedure; null when
// either fails.
inline HWND CreateFloorWindow(HINSTANCE instance, const wchar_t* class_name, const wchar_t* title,
                              int width = CW_USEDEFAULT, int height = CW_USEDEFAULT,
                              WNDPROC procedure = FloorProcedure) {
  const auto icon = [&](int size_metric) {
    const int size = ::GetSystemMetrics(size_metric);
    return static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUENMAREL), IMAGE_ICON, size, size, LR_SHARED));
  };
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = procedure;
  cls.hInstance = instance;
  cls.hIcon = icon(SM_CXICON);
  cls.hIconSm = icon(SM_CXSMICON);
  cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = class_name;
  if (!::RegisterClassExW(&cls))
    return nullptr;
  return ::CreateWindowExW(0, class_name, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, width,
                           height, nullptr, nullptr, instance, nullptr);
}

// Runs the messages until the window is closed.
inline int RunFloorMessages() {
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace qm::bench
