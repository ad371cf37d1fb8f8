#pragma once
// Reading one registry value as text, for finding System Information. Keys are opened for reading only:
// the machine-wide keys read here are not writable for a normal user, and asking for more than reading
// would be refused.

#include <string>

namespace qm {

enum class RegistryRoot { LocalMachine, CurrentUser };

// Reads `value_name` under `root`\`sub_key` into `text` (decoded as RegistryValueText says) and returns true.
// A missing key or value, a refused open or a value larger than kRegistryValueCharacters characters sets
// `text` to "" and returns false. A value of a type other than string or 32-bit number counts as read and
// leaves `text` as it was passed. The key is always closed before returning.
bool GetKeyValue(RegistryRoot root, const std::wstring& sub_key, const std::wstring& value_name,
                 std::wstring& text);

}  // namespace qm
