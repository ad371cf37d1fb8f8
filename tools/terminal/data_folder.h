#pragma once
// Where the stand-in terminal keeps its data, found as the terminal finds it: its own folder when it runs
// portable (an MQL4 folder beside it, or /portable on its command line), otherwise the data folder of its
// installation folder below the user's application data, %APPDATA%\MetaQuotes\Terminal\<id>.

#include <string>
#include <string_view>

namespace qm::terminal {

// The <id> of an installation folder's data folder: 32 upper-case hexadecimal digits, the MD5 of the
// folder's path in upper case as UTF-16 LE. Empty when the system cannot hash.
std::wstring DataFolderId(std::wstring_view installation_folder);

// The data folder of a terminal installed in `own_folder` (no trailing backslash), started with `portable`
// or not.
std::wstring DataFolderOf(const std::wstring& own_folder, bool portable);

}  // namespace qm::terminal
