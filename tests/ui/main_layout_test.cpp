#include "ui/main_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace qm {
namespace {

bool Inside(const TwipRect& inner, const TwipRect& outer) {
  return inner.left >= 0 && inner.top >= 0 && inner.left + inner.width <= outer.width &&
         inner.top + inner.height <= outer.height;
}

bool Overlap(const TwipRect& a, const TwipRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

TEST(MainLayout, NamesAreUniqueAndTheTabColumnCountsFromZeroWithoutGaps) {
  std::set<std::wstring_view> names;
  std::vector<int> tabs;
  for (const ControlLayout& c : MainLayout()) {
    EXPECT_TRUE(names.insert(c.name).second) << "twice: " << std::wstring(c.name).c_str();
    tabs.push_back(c.tab);
  }
  std::ranges::sort(tabs);
  for (size_t i = 0; i < tabs.size(); ++i)
    EXPECT_EQ(tabs[i], static_cast<int>(i));
  EXPECT_EQ(MainLayout().size(), 49u);
}

TEST(MainLayout, EveryControlLiesInsideItsContainer) {
  const TwipRect client{0, 0, kClientWidthTwips, kClientHeightTwips};
  for (const ControlLayout& c : MainLayout()) {
    const ControlLayout* frame = FindControl(c.container);
    if (!c.container.empty()) {
      ASSERT_NE(frame, nullptr) << std::wstring(c.name).c_str();
      EXPECT_EQ(frame->kind, ControlKind::Frame) << std::wstring(c.name).c_str();
    }
    EXPECT_TRUE(Inside(c.place, frame ? frame->place : client)) << std::wstring(c.name).c_str();
  }
}

struct PlaceCase {
  std::wstring_view name;
  TwipRect in_window;
  int depth;
};

// Worked out by hand from the containers' corners.
const PlaceCase kPlaces[] = {
    {L"lblStatus", {240, 5640, 13215, 495}, 0},
    {L"Frame1", {240, 600, 5175, 3375}, 0},
    {L"txtPair", {240 + 1320, 600 + 240, 1335, 285}, 1},
    {L"cmdSendParameters", {240 + 2880, 600 + 2500, 2055, 615}, 1},
    {L"optFourDigit", {240 + 240 + 240, 600 + 2400 + 360, 975, 195}, 2},
    {L"optRealTime", {240 + 240 + 1320, 600 + 1560 + 360, 2175, 195}, 2},
    {L"cmdVisit_QRX", {5640 + 4440, 600 + 2880, 2175, 375}, 1},
};

TEST(MainLayout, FrameContentsArePlacedFromTheFramesCornerAndNestedFramesAddUp) {
  for (const PlaceCase& expected : kPlaces) {
    const ControlLayout* c = FindControl(expected.name);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(PlaceInWindow(*c), expected.in_window) << std::wstring(expected.name).c_str();
    EXPECT_EQ(FrameDepth(*c), expected.depth) << std::wstring(expected.name).c_str();
  }
}

// The captions that are easiest to get wrong, as the trader sees them.
const std::pair<std::wstring_view, std::wstring_view> kCaptions[] = {
    {L"cmdFileLocation", L"(1)  Kelvarinth EA Location"},
    {L"cmdDeleteSellLimit", L"Delete SELLIMIT"},
    {L"cmdSellLimit", L"SELLLIMIT"},
    {L"Label8", L"Please register your forex account under our affiliate if you find this "},
    {L"cmdVisit_QRX", L"QRXFOREX.EXAMPLE"},
    {L"lblAds2", L"Status:"},
    {L"txtFileLocation", L""},
};

TEST(MainLayout, CaptionsKeepTheirBlanksAndSpelling) {
  for (const auto& [name, caption] : kCaptions) {
    ASSERT_NE(FindControl(name), nullptr);
    EXPECT_EQ(FindControl(name)->caption, caption) << std::wstring(name).c_str();
  }
}

TEST(MainLayout, TitleEndsWithTheSiteNameThatCaptionsTheWebSiteButton) {
  EXPECT_EQ(MainWindowTitle(), L"Quenmarel: MetaTrader 4 Interface  V1.0a from QRXFOREX.EXAMPLE");
  EXPECT_TRUE(MainWindowTitle().ends_with(FindControl(L"cmdVisit_QRX")->caption));
}

TEST(MainLayout, IdentifiersAreDistinctAndNeverTheDialogManagersOkOrCancel) {
  std::set<int> ids;
  for (const ControlLayout& c : MainLayout())
    ids.insert(ControlId(c.name));
  for (const MenuCommand& m : MainMenu())
    ids.insert(ControlId(m.name));
  EXPECT_EQ(ids.size(), MainLayout().size() + MainMenu().size());
  EXPECT_FALSE(ids.contains(0));
  EXPECT_FALSE(ids.contains(1));  // IDOK
  EXPECT_FALSE(ids.contains(2));  // IDCANCEL
  EXPECT_EQ(ControlId(L"CommonDialog1"), 0);
  EXPECT_EQ(FindControl(L"nothing"), nullptr);
}

TEST(MainLayout, CreationOrderPutsTheFocusableControlsFirstInTabOrder) {
  const std::vector<std::wstring_view> expected = {L"txtPair",           L"txtLotsize",
                                                   L"txtTakeProfit",     L"txtStopLoss",
                                                   L"txtMagicNo",        L"optFourDigit",
                                                   L"optFiveDigit",      L"optBackTest",
                                                   L"optRealTime",       L"cmdBuy",
                                                   L"cmdSell",           L"cmdBuyStop",
                                                   L"cmdSellStop",       L"cmdBuyLimit",
                                                   L"cmdSellLimit",      L"cmdCloseAll",
                                                   L"cmdCloseBuy",       L"cmdCloseSell",
                                                   L"txtFileLocation",   L"cmdFileLocation",
                                                   L"txtbuystop_price",  L"txtsellstop_price",
                                                   L"txtbuylimit_price", L"txtselllimit_price",
                                                   L"cmdDeleteBuyStop",  L"cmdDeleteSellStop",
                                                   L"cmdDeleteBuyLimit", L"cmdDeleteSellLimit",
                                                   L"cmdVisit_QRX",      L"cmdHedge",
                                                   L"cmdSendParameters", L"txtCloseall"};
  std::vector<std::wstring_view> focusable;
  for (const ControlLayout* c : CreationOrder()) {
    if (TakesFocus(c->kind))
      focusable.push_back(c->name);
  }
  EXPECT_EQ(focusable, expected);
  // ...and nothing that can take the focus comes after a label or a frame.
  const auto order = CreationOrder();
  const auto first_other =
      std::ranges::find_if(order, [](const ControlLayout* c) { return !TakesFocus(c->kind); });
  EXPECT_TRUE(
      std::all_of(first_other, order.end(), [](const ControlLayout* c) { return !TakesFocus(c->kind); }));
}

// Stacking: a control created earlier lies above one created later.
TEST(MainLayout, ButtonsLieAboveTheLabelsTheyOverlapAndEverythingAboveItsFrame) {
  const auto order = CreationOrder();
  const auto rank = [&](const ControlLayout* c) { return std::ranges::find(order, c) - order.begin(); };
  std::set<std::pair<std::wstring_view, std::wstring_view>> overlaps;
  for (const ControlLayout* upper : order) {
    for (const ControlLayout* lower : order) {
      if (upper == lower)
        continue;
      const bool label_under_control =
          lower->kind == ControlKind::Label && upper->kind != ControlKind::Label &&
          upper->kind != ControlKind::Frame && Overlap(PlaceInWindow(*upper), PlaceInWindow(*lower));
      if (label_under_control) {
        overlaps.insert({upper->name, lower->name});
        EXPECT_LT(rank(upper), rank(lower))
            << std::wstring(upper->name).c_str() << " over " << std::wstring(lower->name).c_str();
      }
      if (upper->container == lower->name) {
        EXPECT_LT(rank(upper), rank(lower))
            << std::wstring(upper->name).c_str() << " in " << std::wstring(lower->name).c_str();
      }
    }
  }
  // The overlaps the panel's design shows; the loop above has checked them along with every other.
  EXPECT_TRUE(overlaps.contains({L"cmdSendParameters", L"Label9"}));
  EXPECT_TRUE(overlaps.contains({L"cmdVisit_QRX", L"lblAds1"}));
  EXPECT_TRUE(overlaps.contains({L"cmdVisit_QRX", L"Label8"}));
}

}  // namespace
}  // namespace qm
