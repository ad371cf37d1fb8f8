// Checks a running panel's captions against their controls from inside the panel, where its fonts are: a
// message hook loads caption_probe_hook.dll (beside this program) into the panel's window thread, which
// measures each caption in its control's font and reports back. Prints one line a control and the face the
// fonts are drawn in; exits with 0 when every caption of the window fits, 1 when one does not, 2 when there
// is no panel or no answer.
//   caption_probe.exe

#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "platform/unique_handle.h"
#include "support/window_driver.h"
#include "ui/main_layout.h"

namespace {

constexpr wchar_t kProbeMessage[] = L"QuenmarelCaptionProbe";

struct Answer {
  std::wstring report;
  bool received = false;
};

LRESULT CALLBACK ReplyProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COPYDATA) {
    auto* answer = reinterpret_cast<Answer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
    answer->report.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
    answer->report.resize(answer->report.find(L'\0') == std::wstring::npos ? answer->report.size()
                                                                           : answer->report.find(L'\0'));
    answer->received = true;
    return TRUE;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

std::wstring NameOf(int id) {
  const qm::ControlLayout* control = qm::FindControl(id);
  return control ? std::wstring(control->name) : L"control " + std::to_wstring(id);
}

}  // namespace

int wmain() {
  HWND panel = nullptr;
  if (!qm::test::WaitUntil(
          [&] { return (panel = ::FindWindowW(nullptr, qm::MainWindowTitle().c_str())) != nullptr; })) {
    std::fwprintf(stderr, L"caption probe: no panel window\n");
    return 2;
  }
  const HMODULE hook_module = ::LoadLibraryW(qm::test::SiblingProgram(L"caption_probe_hook.dll").c_str());
  const auto hook_proc = hook_module ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                                           ::GetProcAddress(hook_module, "CaptionProbeHook")))
                                     : nullptr;
  const qm::UniqueHook hook(hook_proc ? ::SetWindowsHookExW(WH_GETMESSAGE, hook_proc, hook_module,
                                                            ::GetWindowThreadProcessId(panel, nullptr))
                                      : nullptr);
  if (!hook) {
    std::fwprintf(stderr, L"caption probe: no hook on the panel's thread (error %lu)\n", ::GetLastError());
    return 2;
  }

  Answer answer;
  WNDCLASSW reply_class{};
  reply_class.lpfnWndProc = ReplyProc;
  reply_class.hInstance = ::GetModuleHandleW(nullptr);
  reply_class.lpszClassName = L"QuenmarelCaptionProbeReply";
  ::RegisterClassW(&reply_class);
  const qm::UniqueWindow reply(::CreateWindowExW(0, reply_class.lpszClassName, L"", 0, 0, 0, 0, 0,
                                                 HWND_MESSAGE, nullptr, reply_class.hInstance, nullptr));
  ::SetWindowLongPtrW(reply.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&answer));
  ::PostMessageW(panel, ::RegisterWindowMessageW(kProbeMessage), reinterpret_cast<WPARAM>(reply.get()), 0);
  if (!qm::test::PumpUntil([&] { return answer.received; })) {
    std::fwprintf(stderr, L"caption probe: no answer from the panel\n");
    return 2;
  }

  // Each line: id, fits, needed cx, cy, room cx, cy, face, caption.
  int measured = 0, cut = 0;
  std::wistringstream lines(answer.report);
  for (std::wstring line; std::getline(lines, line);) {
    std::wistringstream fields(line);
    std::wstring id, fits, needed_cx, needed_cy, room_cx, room_cy, face, caption;
    std::getline(fields, id, L'\t');
    std::getline(fields, fits, L'\t');
    std::getline(fields, needed_cx, L'\t');
    std::getline(fields, needed_cy, L'\t');
    std::getline(fields, room_cx, L'\t');
    std::getline(fields, room_cy, L'\t');
    std::getline(fields, face, L'\t');
    std::getline(fields, caption);
    ++measured;
    cut += fits == L"1" ? 0 : 1;
    std::wprintf(L"%ls \"%ls\" in %ls needs %lsx%ls of %lsx%ls pixels: %ls\n", NameOf(std::stoi(id)).c_str(),
                 caption.c_str(), face.c_str(), needed_cx.c_str(), needed_cy.c_str(), room_cx.c_str(),
                 room_cy.c_str(), fits == L"1" ? L"fits" : L"CUT");
  }
  std::wprintf(L"%d captions measured, %d cut\n", measured, cut);
  return measured > 0 && cut == 0 ? 0 : 1;
}
