#include "ui/start_placement.h"

#include <algorithm>

#include "ui/main_layout.h"

namespace qm {
namespace {

// The start of a span of `size` between `low` and `high`, as near `wanted` as it can be.
int PlaceSpan(int wanted, int size, int low, int high) {
  if (size > high - low)
    return low;
  return std::clamp(wanted, low, high - size);
}

long long Overlap(const ScreenRect& a, const ScreenRect& b) {
  const long long width = std::max(0, std::min(a.right, b.right) - std::max(a.left, b.left));
  const long long height = std::max(0, std::min(a.bottom, b.bottom) - std::max(a.top, b.top));
  return width * height;
}

}  // namespace

ScreenRect LayoutClientArea(unsigned dpi) {
  return {TwipsToPixels(kClientLeftTwips, dpi), TwipsToPixels(kClientTopTwips, dpi),
          TwipsToPixels(kClientLeftTwips + kClientWidthTwips, dpi),
          TwipsToPixels(kClientTopTwips + kClientHeightTwips, dpi)};
}

ScreenRect StartPlacement(std::span<const ScreenRect> work_areas, unsigned dpi, const FrameEdges& frame) {
  const ScreenRect client = LayoutClientArea(dpi);
  const ScreenRect wanted{client.left - frame.left, client.top - frame.top, client.right + frame.right,
                          client.bottom + frame.bottom};
  if (work_areas.empty())
    return wanted;
  const ScreenRect* chosen = &work_areas.front();
  for (const ScreenRect& area : work_areas) {
    if (Overlap(area, wanted) > Overlap(*chosen, wanted))
      chosen = &area;
  }
  const ScreenRect& work_area = *chosen;
  const int width = wanted.right - wanted.left;
  const int height = wanted.bottom - wanted.top;
  const int left = PlaceSpan(wanted.left, width, work_area.left, work_area.right);
  const int top = PlaceSpan(wanted.top, height, work_area.top, work_area.bottom);
  return {left, top, left + width, top + height};
}

}  // namespace qm
