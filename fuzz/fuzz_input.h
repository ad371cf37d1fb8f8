#pragma once
// Turns fuzzer bytes into the UTF-16 text the panel works with. Bytes below 0xC0 stand for the character of
// that value, so that short inputs reach digits, signs and separators quickly; a byte from 0xC0 up takes the
// next two bytes as one UTF-16 unit (little-endian), so that every unit, surrogates and NUL included, is
// reachable. wchar_t is 32 bits here, 16 on Windows: units never exceed 0xFFFF, as there.

#include <cstddef>
#include <cstdint>
#include <string>

namespace qm::fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool empty() const { return pos_ >= size_; }

  uint8_t Byte() { return empty() ? 0 : data_[pos_++]; }

  // Text up to the next 0xBF byte (or the end), one field of a multi-field input; or, with no separator,
  // all the bytes that are left.
  std::wstring Text(bool separated = true) {
    std::wstring text;
    while (!empty()) {
      const uint8_t b = Byte();
      if (separated && b == 0xBF)
        break;
      if (b < 0xC0) {
        text += static_cast<wchar_t>(b);
      } else {
        const unsigned low = Byte();
        const unsigned high = Byte();
        text += static_cast<wchar_t>(low | high << 8);
      }
    }
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// A readable form of a text for a finding's message: ASCII as is, everything else as \uXXXX.
inline std::string Printable(const std::wstring& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const wchar_t c : text) {
    const auto u = static_cast<unsigned>(c);
    if (u >= 0x20 && u < 0x7F) {
      out += static_cast<char>(u);
    } else {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(u >> shift) & 0xF];
    }
  }
  return out;
}

}  // namespace qm::fuzz
