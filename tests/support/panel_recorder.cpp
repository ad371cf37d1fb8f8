#include "support/panel_recorder.h"

#include <commctrl.h>

#include "support/window_driver.h"
#include "ui/main_layout.h"

namespace qm::test {
namespace {

constexpr UINT_PTR kStatusLine = 1;
constexpr UINT_PTR kPublicMessage = 2;
constexpr UINT_PTR kWindow = 3;

}  // namespace

PanelRecorder::PanelRecorder(HWND window, const std::wstring& root)
    : window_(window),
      status_(::GetDlgItem(window, ControlId(L"lblStatus"))),
      ads_(::GetDlgItem(window, ControlId(L"lblAds2"))) {
  if (!root.empty())
    watch_.emplace(root);
  ::SetWindowSubclass(status_, &PanelRecorder::LabelProcedure, kStatusLine,
                      reinterpret_cast<DWORD_PTR>(this));
  ::SetWindowSubclass(ads_, &PanelRecorder::LabelProcedure, kPublicMessage,
                      reinterpret_cast<DWORD_PTR>(this));
  // The labels are drawn by the window (WM_DRAWITEM), on the spot or when they are painted.
  ::SetWindowSubclass(window_, &PanelRecorder::LabelProcedure, kWindow, reinterpret_cast<DWORD_PTR>(this));
}

PanelRecorder::~PanelRecorder() {
  if (::IsWindow(status_))
    ::RemoveWindowSubclass(status_, &PanelRecorder::LabelProcedure, kStatusLine);
  if (::IsWindow(ads_))
    ::RemoveWindowSubclass(ads_, &PanelRecorder::LabelProcedure, kPublicMessage);
  if (::IsWindow(window_))
    ::RemoveWindowSubclass(window_, &PanelRecorder::LabelProcedure, kWindow);
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
  auto* recorder = reinterpret_cast<PanelRecorder*>(self);
  if (id == kWindow) {
    if (message == WM_DRAWITEM &&
        reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)->hwndItem == recorder->status_)
      ++recorder->status_paints;
    if (message == WM_APP + 1)
      ++recorder->vendor_results;
    return ::DefSubclassProc(label, message, wparam, lparam);
  }
  if (message != WM_SETTEXT)
    return ::DefSubclassProc(label, message, wparam, lparam);
  recorder->RecordWrites();
  const LRESULT result = ::DefSubclassProc(label, message, wparam, lparam);
  recorder->events.push_back((id == kStatusLine ? L"status " : L"ads ") + TextOf(label));
  return result;
}

}  // namespace qm::test
