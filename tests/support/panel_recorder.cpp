#include "support/panel_recorder.h"

#include <commctrl.h>

#include "ui/main_layout.h"

namespace qm::test {
namespace {

constexpr UINT_PTR kStatusLine = 1;
constexpr UINT_PTR kPublicMessage = 2;

}  // namespace

PanelRecorder::PanelRecorder(HWND window, const std::wstring& root)
    : status_(::GetDlgItem(window, ControlId(L"lblStatus"))),
      ads_(::GetDlgItem(window, ControlId(L"lblAds2"))) {
  if (!root.empty())
    watch_.emplace(root);
  ::SetWindowSubclass(status_, &PanelRecorder::LabelProcedure, kStatusLine,
                      reinterpret_cast<DWORD_PTR>(this));
  ::SetWindowSubclass(ads_, &PanelRecorder::LabelProcedure, kPublicMessage,
                      reinterpret_cast<DWORD_PTR>(this));
}

PanelRecorder::~PanelRecorder() {
  if (::IsWindow(status_))
    ::RemoveWindowSubclass(status_, &PanelRecorder::LabelProcedure, kStatusLine);
  if (::IsWindow(ads_))
    ::RemoveWindowSubclass(ads_, &PanelRecorder::LabelProcedure, kPublicMessage);
}

void PanelRecorder::MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption) {
  RecordWrites();
  events.push_back(L"message " + text);
  last_owner = owner;
  last_caption = caption;
}

void PanelRecorder::RecordWrites() {
  if (!watch_)
    return;
  for (const std::wstring& file : watch_->Changes())
    events.push_back(L"file " + file);
}

LRESULT CALLBACK PanelRecorder::LabelProcedure(HWND label, UINT message, WPARAM wparam, LPARAM lparam,
                                               UINT_PTR id, DWORD_PTR self) {
  if (message == WM_SETTEXT) {
    auto* recorder = reinterpret_cast<PanelRecorder*>(self);
    recorder->RecordWrites();
    const wchar_t* text = reinterpret_cast<const wchar_t*>(lparam);
    recorder->events.push_back((id == kStatusLine ? L"status " : L"ads ") + std::wstring(text ? text : L""));
  }
  return ::DefSubclassProc(label, message, wparam, lparam);
}

}  // namespace qm::test
