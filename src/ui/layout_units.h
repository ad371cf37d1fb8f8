#pragma once
// What a window layout is written in: places in twips (1440 an inch, 15 a pixel at 96 DPI), the kind of
// control and the kind of font a control uses. No Win32 headers: layouts are plain values.

namespace qm {

inline constexpr int kTwipsPerInch = 1440;

// Twips to pixels at `dpi`, rounded to the nearest pixel, halves away from zero (as the system's MulDiv).
constexpr int TwipsToPixels(int twips, unsigned dpi) {
  const long long product = static_cast<long long>(twips) * dpi;
  constexpr long long kHalf = kTwipsPerInch / 2;
  return static_cast<int>((product >= 0 ? product + kHalf : product - kHalf) / kTwipsPerInch);
}

// Outer left, top, width and height in twips, inside the client area of the container.
struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

enum class ControlKind { Label, TextBox, CommandButton, OptionButton, Frame };

// "MS Sans Serif" 8.25 pt, the same bold, and 9.75 pt bold.
enum class FontKind { Standard, Bold, LargeBold };

}  // namespace qm
