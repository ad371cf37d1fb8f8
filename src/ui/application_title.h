#pragma once
// The application's title: the caption of every message box the panel shows, from the main window and the
// About dialog alike.

namespace qm {

inline constexpr wchar_t kApplicationTitle[] = L"Quenmarel";

}  // namespace qm
