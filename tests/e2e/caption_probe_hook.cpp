// Loaded into a running panel by caption_probe.exe through a message hook on the panel's window thread: on
// the probe's message it measures every caption of the window in the control's own font, where the fonts
// live, and sends the report back to the probe's window. One line a control:
//   <control id> TAB <fits 1/0> TAB <needed cx> TAB <needed cy> TAB <room cx> TAB <room cy> TAB <face> TAB
//   <caption>

#include <windows.h>

#include <string>

#include "support/caption_fit.h"

namespace {

constexpr wchar_t kProbeMessage[] = L"QuenmarelCaptionProbe";

BOOL CALLBACK MeasureChild(HWND control, LPARAM lparam) {
  const std::optional<qm::test::CaptionFit> fit = qm::test::MeasureCaption(control);
  if (!fit)
    return TRUE;
  auto& report = *reinterpret_cast<std::wstring*>(lparam);
  for (const long value : {static_cast<long>(::GetDlgCtrlID(control)), fit->fits() ? 1L : 0L, fit->needed.cx,
                           fit->needed.cy, fit->room.cx, fit->room.cy}) {
    report += std::to_wstring(value) + L'\t';
  }
  report += fit->face + L'\t' + fit->caption + L'\n';
  return TRUE;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK CaptionProbeHook(int code, WPARAM removed, LPARAM lparam) {
  static const UINT probe_message = ::RegisterWindowMessageW(kProbeMessage);
  const MSG* message = reinterpret_cast<const MSG*>(lparam);
  if (code == HC_ACTION && removed == PM_REMOVE && message->message == probe_message) {
    std::wstring report;
    ::EnumChildWindows(message->hwnd, MeasureChild, reinterpret_cast<LPARAM>(&report));
    COPYDATASTRUCT data{0, static_cast<DWORD>((report.size() + 1) * sizeof(wchar_t)), report.data()};
    ::SendMessageW(reinterpret_cast<HWND>(message->wParam), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  }
  return ::CallNextHookEx(nullptr, code, removed, lparam);
}
