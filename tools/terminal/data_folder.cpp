#include "terminal/data_folder.h"

#include <windows.h>
#include <bcrypt.h>
#include <shlobj.h>

#include <array>

namespace qm::terminal {
namespace {

class HashAlgorithm {
 public:
  explicit HashAlgorithm(const wchar_t* name) {
    if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&handle_, name, nullptr, 0)))
      handle_ = nullptr;
  }
  HashAlgorithm(const HashAlgorithm&) = delete;
  HashAlgorithm& operator=(const HashAlgorithm&) = delete;
  ~HashAlgorithm() {
    if (handle_)
      ::BCryptCloseAlgorithmProvider(handle_, 0);
  }
  BCRYPT_ALG_HANDLE get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
};

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::wstring DataFolderId(std::wstring_view installation_folder) {
  std::wstring upper(installation_folder);
  if (!upper.empty()) {
    ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, upper.data(), static_cast<int>(upper.size()),
                    upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0);
  }
  std::string bytes;
  for (wchar_t c : upper)
    bytes.append({static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)});

  const HashAlgorithm md5(BCRYPT_MD5_ALGORITHM);
  std::array<unsigned char, 16> digest{};
  if (!md5.get() ||
      !BCRYPT_SUCCESS(::BCryptHash(md5.get(), nullptr, 0, reinterpret_cast<PUCHAR>(bytes.data()),
                                   static_cast<ULONG>(bytes.size()), digest.data(),
                                   static_cast<ULONG>(digest.size())))) {
    return L"";
  }
  constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring id;
  for (unsigned char byte : digest) {
    id += kDigits[byte >> 4];
    id += kDigits[byte & 0xF];
  }
  return id;
}

std::wstring DataFolderOf(const std::wstring& own_folder, bool portable) {
  if (portable || IsFolder(own_folder + L"\\MQL4"))
    return own_folder;
  wchar_t application_data[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, application_data)))
    return own_folder;
  return std::wstring(application_data) + L"\\MetaQuotes\\Terminal\\" + DataFolderId(own_folder);
}

}  // namespace qm::terminal
