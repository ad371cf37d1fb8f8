// Holds one file open without sharing, as another program that has the file open exclusively does, until it
// is told to let go.
//
//   file_holder <path> <held-event> <release-event>
//
// Exit code 0 after releasing, 2 when the arguments or events are wrong, 4 when the file cannot be opened.

#include <windows.h>

#include "platform/unique_handle.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4)
    return 2;
  qm::UniqueHandle held(::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]));
  qm::UniqueHandle release(::OpenEventW(SYNCHRONIZE, FALSE, argv[3]));
  if (!held || !release)
    return 2;
  qm::UniqueHandle file(
      ::CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return 4;
  ::SetEvent(held.get());
  // The guard only ends a holder whose test died without releasing it.
  ::WaitForSingleObject(release.get(), 10 * 60 * 1000);
  return 0;
}
