// Where the main window opens: work areas (the screen less a taskbar of 40 pixels at 100 %, scaled), the DPI,
// and Windows 10's frame (resize border 8, title bar 23, menu bar 20 pixels at 100 %, scaled). The layout's
// client area is 795, 4770 twips from the screen's corner, 13710 x 6165 twips large.
#include "ui/start_placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace qm {
namespace {

const struct {
  const char* name;
  std::vector<ScreenRect> work_areas;  // the primary monitor's first
  unsigned dpi;
  FrameEdges frame;
  ScreenRect placed;
} kPlacements[] = {
    {"1920x1080 at 100 %: as laid out", {{0, 0, 1920, 1040}}, 96, {8, 51, 8, 8}, {45, 267, 975, 737}},
    {"1366x768 at 100 %", {{0, 0, 1366, 728}}, 96, {8, 51, 8, 8}, {45, 258, 975, 728}},
    {"1366x768 at 125 %", {{0, 0, 1366, 718}}, 120, {10, 64, 10, 10}, {56, 131, 1219, 718}},
    {"1920x1080 at 150 %", {{0, 0, 1920, 1020}}, 144, {12, 76, 12, 12}, {68, 315, 1463, 1020}},
    {"1920x1080 at 175 %", {{0, 0, 1920, 1010}}, 168, {14, 89, 14, 14}, {79, 188, 1706, 1010}},
    {"2560x1440 at 200 %", {{0, 0, 2560, 1360}}, 192, {16, 102, 16, 16}, {90, 420, 1950, 1360}},
    {"1366x768 at 175 %: too large", {{0, 0, 1366, 698}}, 168, {14, 89, 14, 14}, {0, 0, 1627, 822}},
    {"1920x1080 at 150 %, a second monitor left of it",
     {{-1920, 0, 0, 1020}, {0, 0, 1920, 1020}},
     144,
     {12, 76, 12, 12},
     {68, 315, 1463, 1020}},
};

TEST(StartPlacement, KeepsTheLayoutsPlaceWhereTheWindowFitsAndOtherwiseMovesItIntoTheWorkArea) {
  for (const auto& c : kPlacements) {
    const ScreenRect placed = StartPlacement(c.work_areas, c.dpi, c.frame);
    EXPECT_TRUE(placed == c.placed) << c.name << ": " << placed.left << "," << placed.top << " to "
                                    << placed.right << "," << placed.bottom;
  }
}

}  // namespace
}  // namespace qm
