// Fuzzes the decoding of one registry value's data into text: any type, any bytes (odd lengths, embedded
// and trailing NULs, more data than a value may hold). Besides crashes and undefined behaviour it checks
// the result against a model of the rule written from its description:
//  - types other than string (1) and 32-bit number (4) leave the caller's text as it was;
//  - no data reads as the empty text;
//  - a string is the data's whole UTF-16 units, less one trailing NUL unit;
//  - a number is "&h" and the bytes, less one trailing zero byte, last to first, two upper-case hex digits
//    each.
// A broken check prints the input and aborts, which libFuzzer records as a crash.

#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "platform/registry_value.h"

namespace {

std::wstring Model(unsigned long type, const std::vector<uint8_t>& data, const std::wstring& text) {
  if (type != 1 && type != 4)
    return text;
  std::wstring out;
  if (type == 1) {
    for (size_t i = 0; i + 1 < data.size(); i += 2)
      out += static_cast<wchar_t>(data[i] + 256 * data[i + 1]);
    if (!out.empty() && out.back() == L'\0')
      out.pop_back();
    return out;
  }
  if (data.empty())
    return out;
  size_t count = data.size();
  if (data[count - 1] == 0)
    --count;
  out = L"&h";
  const wchar_t* digits = L"0123456789ABCDEF";
  while (count > 0) {
    const uint8_t byte = data[--count];
    out += digits[byte / 16];
    out += digits[byte % 16];
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qm::fuzz::Input input(data, size);
  // Mostly the two types that decode, sometimes any 32-bit type.
  const uint8_t selector = input.Byte();
  unsigned long type = selector % 4 == 0 ? 1 : selector % 4 == 1 ? 4 : selector;
  if (selector == 0xFF) {
    for (int i = 0; i < 4; ++i)
      type = type << 8 | input.Byte();
  }
  const std::wstring text = input.Text();
  std::vector<uint8_t> bytes;
  while (!input.empty())
    bytes.push_back(input.Byte());

  const std::wstring decoded = qm::RegistryValueText(type, std::span<const uint8_t>(bytes), text);
  const std::wstring expected = Model(type, bytes, text);
  if (decoded != expected) {
    std::fprintf(stderr,
                 "FINDING: the registry value decodes otherwise than the rule\n  type %lu, %zu bytes\n"
                 "  got \"%s\"\n  expected \"%s\"\n",
                 type, bytes.size(), qm::fuzz::Printable(decoded).c_str(),
                 qm::fuzz::Printable(expected).c_str());
    std::abort();
  }
  return 0;
}
