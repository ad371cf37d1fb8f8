#pragma once
// File operations the bridge and the dialogs need, each reporting the failure it met.

#include <optional>
#include <string>
#include <string_view>

#include "platform/failure.h"

namespace qm {

// Replaces the whole content of `path` with `bytes` so that a reader sees the old content or the new one,
// never an empty or partial file: the bytes go to a temporary file in the same folder, which then replaces
// the target in one rename. On any failure the target is left byte-for-byte as it was, no temporary file
// remains, and no folder is created.
Outcome ReplaceFileAtomically(const std::wstring& path, std::string_view bytes);

// True when `path` names an existing ordinary file: folders, hidden and system files do not count.
bool IsOrdinaryFile(const std::wstring& path);

// True when `path` names an existing folder.
bool IsFolder(const std::wstring& path);

// The whole content of a small file; nothing when it cannot be read or holds more than `limit` bytes.
std::optional<std::string> ReadSmallFile(const std::wstring& path, size_t limit);

}  // namespace qm
