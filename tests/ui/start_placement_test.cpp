// Where the main window opens, on the desktops traders use: the work area of each monitor (the screen less
// the taskbar, 40 pixels at 100 % and scaled with it), the DPI, and the frame Windows 10 draws around the
// client area (8 pixels of resize border a side at 100 %, title bar 23 and menu bar 20, all scaled). The
// layout puts the client area at 795, 4770 twips, 13710 x 6165 twips large.

#include "ui/start_placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace qm {
namespace {

constexpr FrameEdges kFrame96{8, 51, 8, 8};
constexpr FrameEdges kFrame120{10, 64, 10, 10};
constexpr FrameEdges kFrame144{12, 76, 12, 12};
constexpr FrameEdges kFrame168{14, 89, 14, 14};
constexpr FrameEdges kFrame192{16, 102, 16, 16};

struct PlacementCase {
  const char* name;
  std::vector<ScreenRect> work_areas;  // the primary monitor's first
  unsigned dpi;
  FrameEdges frame;
  ScreenRect placed;
};

const PlacementCase kPlacements[] = {
    // Where the layout puts it: client area 53, 318 to 967, 729.
    {"the test screen, 1600x1200 at 100 %", {{0, 0, 1600, 1160}}, 96, kFrame96, {45, 267, 975, 737}},
    {"1920x1080 at 100 %", {{0, 0, 1920, 1040}}, 96, kFrame96, {45, 267, 975, 737}},
    // Its lower border would lie under the taskbar.
    {"1366x768 at 100 %", {{0, 0, 1366, 728}}, 96, kFrame96, {45, 258, 975, 728}},
    // The layout's place, 56, 334 to 1219, 921, runs 203 pixels past the work area.
    {"1366x768 at 125 %", {{0, 0, 1366, 718}}, 120, kFrame120, {56, 131, 1219, 718}},
    {"1920x1080 at 150 %", {{0, 0, 1920, 1020}}, 144, kFrame144, {68, 315, 1463, 1020}},
    {"1920x1080 at 150 %, taskbar at the top", {{0, 60, 1920, 1080}}, 144, kFrame144, {68, 375, 1463, 1080}},
    {"1920x1080 at 175 %", {{0, 0, 1920, 1010}}, 168, kFrame168, {79, 188, 1706, 1010}},
    {"2560x1440 at 200 %", {{0, 0, 2560, 1360}}, 192, kFrame192, {90, 420, 1950, 1360}},
    // Larger than the work area (1627x822 on 1366x698): its top-left corner at the work area's.
    {"1366x768 at 175 %", {{0, 0, 1366, 698}}, 168, kFrame168, {0, 0, 1627, 822}},
    // A second monitor does not take the window from the one its place lies on, larger or not.
    {"1920x1080 at 150 % with a second monitor left of it",
     {{0, 0, 1920, 1020}, {-1920, 0, 0, 1020}},
     144,
     kFrame144,
     {68, 315, 1463, 1020}},
    {"1366x768 at 125 % with a larger second monitor left of it and higher up",
     {{0, 0, 1366, 718}, {-2560, -360, 0, 1040}},
     120,
     kFrame120,
     {56, 131, 1219, 718}},
    // The primary listed second: the window opens where its place lies.
    {"1920x1080 at 100 % listed after a second monitor left of it",
     {{-1920, 0, 0, 1040}, {0, 0, 1920, 1040}},
     96,
     kFrame96,
     {45, 267, 975, 737}},
};

TEST(StartPlacement, KeepsTheLayoutsPlaceWhereTheWindowFitsAndOtherwiseMovesItIntoTheWorkArea) {
  for (const PlacementCase& c : kPlacements) {
    SCOPED_TRACE(c.name);
    const ScreenRect placed = StartPlacement(c.work_areas, c.dpi, c.frame);
    EXPECT_EQ(placed.left, c.placed.left);
    EXPECT_EQ(placed.top, c.placed.top);
    EXPECT_EQ(placed.right, c.placed.right);
    EXPECT_EQ(placed.bottom, c.placed.bottom);
  }
}

}  // namespace
}  // namespace qm
