#pragma once
// Which face the panel draws in at a DPI, from what the system's fonts say of themselves. Plain values, no
// Win32 headers.

#include <optional>
#include <string_view>

namespace qm {

// The panel's face. On Windows, and under Wine with the fonts-wine files, it is a bitmap font: drawn at
// 96 DPI as designed, but above it only at the nearest size it stores, or stretched, with a synthetic bold.
inline constexpr std::wstring_view kPanelFace = L"MS Sans Serif";
// Its outline successor, with the same metrics, on every Windows.
inline constexpr std::wstring_view kScalablePanelFace = L"Microsoft Sans Serif";

// What the system has of the two faces.
struct SystemFaces {
  bool ms_sans_serif = false;           // drawn as itself, not as another face put in its place
  bool ms_sans_serif_scalable = false;  // an outline font (TrueType or vector), not bitmaps of fixed sizes
  bool microsoft_sans_serif = false;
};

// The face to draw in at `dpi`: "MS Sans Serif" up to 96 DPI and wherever it scales; where it is a bitmap
// font, "Microsoft Sans Serif" above 96 DPI. Nothing when neither serves: then a common face in which every
// caption fits takes their place.
std::optional<std::wstring_view> PreferredPanelFace(unsigned dpi, const SystemFaces& faces);

}  // namespace qm
