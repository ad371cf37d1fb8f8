#pragma once
// The status line, lblStatus, while handlers run. A handler reports there many times (every writer, then the
// action) and only its last report is meant to be seen. While handlers run, the label holds the texts it is
// given instead of taking them: whoever reads it then gets the text it was last given, and it takes that
// text, painting once, when the outermost handler has ended, however it ended. The texts in between never
// reach the label: giving a label a text asks the window server every time, even while it is not drawn.

#include <windows.h>

#include <optional>
#include <string>

namespace qm {

class StatusLine {
 public:
  // Stands in front of `label`'s own window procedure for as long as both live.
  explicit StatusLine(HWND label);
  ~StatusLine();
  StatusLine(const StatusLine&) = delete;
  StatusLine& operator=(const StatusLine&) = delete;

  // A handler that runs, from its start to its end; handlers may nest.
  class Handling {
   public:
    explicit Handling(StatusLine& line) : line_(line) { ++line_.handlers_; }
    ~Handling() { line_.HandlerEnded(); }
    Handling(const Handling&) = delete;
    Handling& operator=(const Handling&) = delete;

   private:
    StatusLine& line_;
  };

 private:
  static LRESULT CALLBACK Procedure(HWND label, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Hold(UINT message, WPARAM wparam, LPARAM lparam);
  void HandlerEnded();

  HWND label_;
  WNDPROC own_ = nullptr;  // the label's own procedure
  int handlers_ = 0;
  std::optional<std::wstring> held_;  // the last text given while handlers run, until they have ended
};

}  // namespace qm
