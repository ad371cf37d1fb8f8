#include "ui/status_line.h"

#include <new>
#include <utility>

namespace qm {

void StatusLine::Show(const std::wstring& text) {
  if (handlers_ > 0) {
    try {
      last_ = text;
      return;
    } catch (const std::bad_alloc&) {
      // The label takes this report at once, and no older one may replace it when the handlers end.
      last_.reset();
    }
  }
  Paint(text);
}

void StatusLine::HandlerEnded() {
  if (--handlers_ > 0 || !last_)
    return;
  const std::wstring last = std::move(*last_);
  last_.reset();
  if (::IsWindow(label_))  // else the handler closed the window
    Paint(last);
}

void StatusLine::Paint(const std::wstring& text) const {
  ::SetWindowTextW(label_, text.c_str());
}

}  // namespace qm
