#pragma once
// Watches a real main window the way the recording fake panel watches the actions: every text written to
// the status line and to the public-message label, as a reader gets it from the label right after, every
// message box, and the files written below a folder before each of them, in the order they happened; how
// often the status line has been painted, and how many results of the vendor work the window has taken.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/file_watch.h"

namespace qm::test {

class PanelRecorder {
 public:
  // Records what `window` writes to lblStatus and lblAds2 from now on, and the files written below `root`;
  // with no root, the texts alone, which spares the walk through the folder at every text.
  PanelRecorder(HWND window, const std::wstring& root);
  ~PanelRecorder();
  PanelRecorder(const PanelRecorder&) = delete;
  PanelRecorder& operator=(const PanelRecorder&) = delete;

  // "file <path below root>", "status <text>", "ads <text>", "message <text>" in the order they happened.
  std::vector<std::wstring> events;
  // How often the status line has been drawn so far.
  int status_paints = 0;
  // The vendor worker's results the window has taken so far: the worker posts each one as WM_APP+1.
  int vendor_results = 0;

  // The message-box stand-in: records the box instead of showing it.
  void MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption);
  HWND last_owner = nullptr;
  std::wstring last_caption;

  // Picks up files written since the last event (an action that ends without a status report).
  void Flush() { RecordWrites(); }

 private:
  static LRESULT CALLBACK LabelProcedure(HWND label, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                         DWORD_PTR self);
  void RecordWrites();

  HWND window_ = nullptr;
  HWND status_ = nullptr;
  HWND ads_ = nullptr;
  std::optional<FileWatch> watch_;
};

}  // namespace qm::test
