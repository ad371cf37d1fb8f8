#pragma once
// The status line, lblStatus, and the one way to write it. A handler reports there many times (every writer,
// then the action) and only its last report is meant to be seen. While handlers run, their reports are kept
// here and the label keeps the text it had, which is what a reader gets; when the outermost handler has
// ended, however it ended, the label is given the last report, painting once. Giving a label a text asks the
// window server every time, even while it is not drawn, so the reports in between never reach it.

#include <windows.h>

#include <optional>
#include <string>

namespace qm {

class StatusLine {
 public:
  explicit StatusLine(HWND label) : label_(label) {}
  StatusLine(const StatusLine&) = delete;
  StatusLine& operator=(const StatusLine&) = delete;

  // A report: the label shows it at once outside handlers (the vendor worker's reports), else when they
  // have ended, unless a later report replaces it first.
  void Show(const std::wstring& text);

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
  void HandlerEnded();
  void Paint(const std::wstring& text) const;

  HWND label_;
  int handlers_ = 0;
  std::optional<std::wstring> last_;  // the last report made while handlers run, until they have ended
};

}  // namespace qm
