#include "ui/status_line.h"

#include <new>

namespace qm {

// A procedure of its own in front of the label's, not a common-controls subclass: that one looks itself up
// in the label's properties, a round trip to the window server under Wine, on every message.
StatusLine::StatusLine(HWND label) : label_(label) {
  ::SetWindowLongPtrW(label_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  own_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(label_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StatusLine::Procedure)));
}

StatusLine::~StatusLine() {
  if (own_ != nullptr && ::IsWindow(label_)) {
    ::SetWindowLongPtrW(label_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own_));
    ::SetWindowLongPtrW(label_, GWLP_USERDATA, 0);
  }
}

LRESULT CALLBACK StatusLine::Procedure(HWND label, UINT message, WPARAM wparam, LPARAM lparam) {
  StatusLine& line = *reinterpret_cast<StatusLine*>(::GetWindowLongPtrW(label, GWLP_USERDATA));
  if (line.handlers_ > 0)
    return line.Hold(message, wparam, lparam);
  return ::CallWindowProcW(line.own_, label, message, wparam, lparam);
}

LRESULT StatusLine::Hold(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SETTEXT:
      try {
        held_ = lparam != 0 ? reinterpret_cast<const wchar_t*>(lparam) : L"";
        return TRUE;
      } catch (const std::bad_alloc&) {
        // The label takes this text itself, and no older text may replace it when the handler ends.
        held_.reset();
      }
      break;
    case WM_GETTEXTLENGTH:
      if (held_)
        return static_cast<LRESULT>(held_->size());
      break;
    case WM_GETTEXT:
      if (held_) {
        const size_t room = static_cast<size_t>(wparam);
        if (room == 0 || lparam == 0)
          return 0;
        const size_t copied = held_->copy(reinterpret_cast<wchar_t*>(lparam), room - 1);
        reinterpret_cast<wchar_t*>(lparam)[copied] = L'\0';
        return static_cast<LRESULT>(copied);
      }
      break;
    default:
      break;
  }
  return ::CallWindowProcW(own_, label_, message, wparam, lparam);
}

void StatusLine::HandlerEnded() {
  if (--handlers_ > 0 || !held_)
    return;
  const std::wstring last = std::move(*held_);
  held_.reset();
  // Straight to the label's own procedure: the text was given to the label, and anyone watching its
  // messages has seen it then.
  if (::IsWindow(label_))  // else the handler closed the window
    ::CallWindowProcW(own_, label_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(last.c_str()));
}

}  // namespace qm
