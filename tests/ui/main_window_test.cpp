#include "ui/frmMain.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <ostream>
#include <functional>
#include <new>
#include <stdexcept>
#include <thread>

#include "support/action_files.h"
#include "support/main_window_fixture.h"
#include "support/painted_picture.h"
#include "support/temp_folder.h"
#include "support/text.h"
#include "support/window_driver.h"
#include "support/system_support.h"
#include "vendor_services/vendor_database.h"

namespace qm {
namespace {

using test::ClassOf;
using test::MainWindowTest;
using test::Narrow;
using test::ReadBytes;
using test::TempFolder;
using test::TextOf;
using Events = std::vector<std::wstring>;

constexpr wchar_t kOk[] = L"status Status: OK.";
constexpr wchar_t kServerDown[] = L"status SQL Server is down.";
constexpr wchar_t kRealTime[] = L"MT4\\MQL4\\files\\";
constexpr wchar_t kBackTest[] = L"MT4\\tester\\files\\";

// --- The window as built -----------------------------------------------------------------------------------

TEST_F(MainWindowTest, WindowHasItsTitleBorderClientAreaPlaceAndMenuBar) {
  HWND main = window->hwnd();
  ASSERT_EQ(::GetDpiForWindow(main), 96u) << "the expected pixels below are for 96 DPI";
  EXPECT_EQ(TextOf(main), L"Quenmarel: MetaTrader 4 Interface  V1.0a from QRXFOREX.EXAMPLE");
  const LONG_PTR style = ::GetWindowLongPtrW(main, GWL_STYLE);
  for (LONG_PTR bit : {WS_CAPTION, WS_SYSMENU, WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX})
    EXPECT_EQ(style & bit, bit);
  EXPECT_FALSE(::IsWindowVisible(main)) << "shown by the load step, not before";

  RECT client{};
  ::GetClientRect(main, &client);
  EXPECT_EQ(client.right, 914);   // 13710 twips
  EXPECT_EQ(client.bottom, 411);  // 6165 twips
  POINT origin{0, 0};
  ::ClientToScreen(main, &origin);
  EXPECT_EQ(origin.x, 53);   // 795 twips
  EXPECT_EQ(origin.y, 318);  // 4770 twips

  HMENU bar = ::GetMenu(main);
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(::GetMenuItemCount(bar), 2);
  const wchar_t* captions[] = {L"About", L"Exit"};
  const wchar_t* names[] = {L"mnuAbout", L"mnuExit"};
  for (int i = 0; i < 2; ++i) {
    wchar_t text[32] = {};
    ::GetMenuStringW(bar, static_cast<UINT>(i), text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, captions[i]);
    EXPECT_EQ(::GetSubMenu(bar, i), nullptr) << "a command on the bar, not a drop-down";
    EXPECT_EQ(static_cast<int>(::GetMenuItemID(bar, i)), ControlId(names[i]));
  }

  window->Form_Load();
  EXPECT_TRUE(::IsWindowVisible(main));
  EXPECT_FALSE(::IsIconic(main));
  EXPECT_FALSE(::IsZoomed(main));
}

struct KindExpectation {
  std::wstring_view window_class;
  LONG_PTR button_type;  // BS_TYPEMASK part for buttons
};

// What a control is, told by the prefix of its name (cmd buttons, txt text boxes, opt option buttons, Frame
// frames, lbl and Label labels).
KindExpectation ExpectedFor(std::wstring_view name) {
  const std::pair<std::wstring_view, KindExpectation> prefixes[] = {
      {L"cmd", {L"Button", BS_PUSHBUTTON}},
      {L"opt", {L"Button", BS_RADIOBUTTON}},
      {L"Frame", {L"Button", BS_GROUPBOX}},
      {L"txt", {L"Edit", 0}},
      {L"lbl", {L"Static", 0}},
      {L"Label", {L"Static", 0}},
  };
  for (const auto& [prefix, expected] : prefixes) {
    if (name.starts_with(prefix))
      return expected;
  }
  return {L"<no such prefix>", 0};
}

TEST_F(MainWindowTest, EveryControlIsAVisibleEnabledChildOfTheClassOfItsKind) {
  for (const ControlLayout& c : MainLayout()) {
    SCOPED_TRACE(Narrow(c.name));
    HWND control = Control(c.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(::GetParent(control), window->hwnd());
    const KindExpectation expected = ExpectedFor(c.name);
    EXPECT_EQ(ClassOf(control), expected.window_class);
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    if (expected.window_class == L"Button") {
      EXPECT_EQ(style & BS_TYPEMASK, expected.button_type) << "never a default button either";
    }
    if (expected.window_class == L"Static") {
      EXPECT_EQ(style & SS_NOPREFIX, SS_NOPREFIX) << "outside text is shown as plain text";
    }
    if (expected.window_class == L"Edit") {
      EXPECT_GE(static_cast<DWORD>(::SendMessageW(control, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu)
          << "no limit";
    }
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_TRUE(::IsWindowEnabled(control));
  }
}

// Left, top, width and height in the client area, in pixels.
using Pixels = std::array<LONG, 4>;

Pixels PlaceOf(HWND control) {
  RECT actual{};
  ::GetWindowRect(control, &actual);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&actual), 2);
  return {actual.left, actual.top, actual.right - actual.left, actual.bottom - actual.top};
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

// Controls of every kind, frame depth and font as the trader sees them, at 96 and at 144 DPI: the layout's
// twips over 15 and over 10, rounded.
struct FontLook {
  LONG weight;
  LONG height96;
  LONG height144;
};

// "MS Sans Serif" 8.25 pt is 11 pixels high at 96 DPI and 17 at 144; 9.75 pt is 13 and 20.
constexpr FontLook kStandard{FW_NORMAL, -11, -17};
constexpr FontLook kBold{FW_BOLD, -11, -17};
constexpr FontLook kLargeBold{FW_BOLD, -13, -20};

struct BuiltControl {
  const wchar_t* name;
  const wchar_t* caption;
  Pixels at96;
  Pixels at144;
  FontLook font;
};

const BuiltControl kBuilt[] = {
    {L"Label6", L"Kelvarinth EA Location:", {16, 8, 129, 17}, {24, 12, 194, 26}, kStandard},
    {L"txtFileLocation", L"", {144, 8, 529, 19}, {216, 12, 794, 29}, kStandard},
    {L"cmdFileLocation", L"(1)  Kelvarinth EA Location", {688, 8, 201, 25}, {1032, 12, 302, 38}, kBold},
    {L"Frame4", L"(3) Select Account Type", {32, 144, 249, 49}, {48, 216, 374, 74}, kBold},
    {L"optRealTime", L"RealTime (Demo or Real)", {120, 168, 145, 13}, {180, 252, 218, 20}, kStandard},
    {L"cmdSendParameters", L"Send Parameters to MT4", {208, 207, 137, 41}, {312, 310, 206, 62}, kStandard},
    {L"lblAds2", L"Status:", {16, 280, 873, 89}, {24, 420, 1310, 134}, kBold},
    {L"Label8",
     L"Please register your forex account under our affiliate if you find this ",
     {392, 216, 481, 17},
     {588, 324, 722, 26},
     kLargeBold},
    // The boxes with their initial texts.
    {L"txtPair", L"GBPUSD", {104, 56, 89, 19}, {156, 84, 134, 29}, kStandard},
    {L"txtLotsize", L"0.01", {256, 56, 81, 19}, {384, 84, 122, 29}, kStandard},
    {L"txtTakeProfit", L"0", {120, 88, 49, 19}, {180, 132, 74, 29}, kStandard},
    {L"txtCloseall", L"9999999", {256, 88, 81, 19}, {384, 132, 122, 29}, kStandard},
    {L"txtStopLoss", L"0", {120, 112, 49, 19}, {180, 168, 74, 29}, kStandard},
    {L"txtMagicNo", L"6819", {256, 112, 81, 19}, {384, 168, 122, 29}, kStandard},
    {L"txtbuystop_price", L"1.6349", {560, 88, 57, 19}, {840, 132, 86, 29}, kStandard},
    {L"txtsellstop_price", L"1.6349", {560, 120, 57, 19}, {840, 180, 86, 29}, kStandard},
    {L"txtbuylimit_price", L"1.6349", {560, 152, 57, 19}, {840, 228, 86, 29}, kStandard},
    {L"txtselllimit_price", L"1.6349", {560, 184, 57, 19}, {840, 276, 86, 29}, kStandard},
    {L"cmdDeleteSellLimit", L"Delete SELLIMIT", {752, 184, 105, 21}, {1128, 276, 158, 32}, kStandard},
    {L"cmdVisit_QRX", L"QRXFOREX.EXAMPLE", {672, 232, 145, 25}, {1008, 348, 218, 38}, kStandard},
};

TEST_F(MainWindowTest, ControlsHaveTheirCaptionPlaceSizeAndFont) {
  for (const BuiltControl& c : kBuilt) {
    SCOPED_TRACE(Narrow(c.name));
    HWND control = Control(c.name);
    EXPECT_EQ(TextOf(control), c.caption);
    EXPECT_EQ(PlaceOf(control), c.at96);
    const LOGFONTW font = FontOf(control);
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(font.lfHeight, c.font.height96);
    EXPECT_EQ(font.lfWeight, c.font.weight);
  }
}

struct FontExpectation {
  LONG height;
  LONG weight;
};

TEST_F(MainWindowTest, EveryControlHasItsFontAndTheNamedLabelsTheirColour) {
  const std::map<std::wstring_view, COLORREF> colours = {
      {L"lblAds2", RGB(192, 0, 192)},
      {L"Label8", RGB(0, 0, 255)},
      {L"lblAds1", RGB(0, 0, 255)},
  };
  // 8.25 pt at 96 DPI, bold for the controls named here; 9.75 pt bold for the two lines of the affiliate
  // note.
  const std::map<std::wstring_view, FontExpectation> fonts = {
      {L"cmdFileLocation", {-11, FW_BOLD}}, {L"Frame1", {-11, FW_BOLD}}, {L"Frame2", {-11, FW_BOLD}},
      {L"Frame3", {-11, FW_BOLD}},          {L"Frame4", {-11, FW_BOLD}}, {L"lblAds2", {-11, FW_BOLD}},
      {L"Label9", {-11, FW_BOLD}},          {L"Label8", {-13, FW_BOLD}}, {L"lblAds1", {-13, FW_BOLD}},
  };
  const FontExpectation standard{-11, FW_NORMAL};
  for (const ControlLayout& c : MainLayout()) {
    SCOPED_TRACE(Narrow(c.name));
    HWND control = Control(c.name);
    LOGFONTW font{};
    ASSERT_TRUE(
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font));
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    const auto named_font = fonts.find(c.name);
    const FontExpectation expected = named_font != fonts.end() ? named_font->second : standard;
    EXPECT_EQ(font.lfHeight, expected.height);
    EXPECT_EQ(font.lfWeight, expected.weight);

    if (ExpectedFor(c.name).window_class != L"Static")
      continue;
    // The label's text as it paints it, on the dialog face.
    const test::Picture painted = test::PaintedPicture(control);
    const auto named = colours.find(c.name);
    EXPECT_TRUE(painted.Has(named != colours.end() ? named->second : ::GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_EQ(painted.At(painted.width - 1, painted.height - 1), ::GetSysColor(COLOR_BTNFACE));
  }
}

TEST_F(MainWindowTest, OnlyTheWebSiteButtonHasATooltip) {
  std::vector<HWND> tooltips;
  for (HWND w = ::GetTopWindow(nullptr); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) {
    if (::GetWindow(w, GW_OWNER) == window->hwnd() && ClassOf(w) == TOOLTIPS_CLASSW)
      tooltips.push_back(w);
  }
  ASSERT_EQ(tooltips.size(), 1u);
  ASSERT_EQ(::SendMessageW(tooltips[0], TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t text[256] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.lpszText = text;
  ASSERT_TRUE(::SendMessageW(tooltips[0], TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_EQ(reinterpret_cast<HWND>(tool.uId), Control(L"cmdVisit_QRX"));
  EXPECT_STREQ(text, L"Exchange service and Forex Software Developement");
}

TEST_F(MainWindowTest, ButtonsCoverTheLabelsTheyOverlap) {
  std::map<HWND, int> stacking;  // 0 on top
  int rank = 0;
  for (HWND w = ::GetWindow(window->hwnd(), GW_CHILD); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT))
    stacking[w] = rank++;
  const std::pair<const wchar_t*, const wchar_t*> over[] = {
      {L"cmdSendParameters", L"Label9"}, {L"cmdVisit_QRX", L"lblAds1"}, {L"cmdVisit_QRX", L"Label8"},
      {L"optFourDigit", L"Frame3"},      {L"Frame3", L"Frame1"},        {L"cmdBuy", L"Frame2"}};
  for (const auto& [upper, lower] : over) {
    EXPECT_LT(stacking.at(Control(upper)), stacking.at(Control(lower)))
        << Narrow(upper) << " over " << Narrow(lower);
    EXPECT_TRUE(::GetWindowLongPtrW(Control(lower), GWL_STYLE) & WS_CLIPSIBLINGS);
  }
}

// --- Start-up ----------------------------------------------------------------------------------------------

// The option changes of the load step write nothing (4-Digit comes before any account type, Backtest meets
// the empty path) and their reports ("5 : Invalid procedure call or argument" last) are not shown: the status
// line is given a blank, then the vendor connection's report.
TEST_F(MainWindowTest, FreshStartWritesNothingAndShowsABlankStatusLineThenTheVendorReport) {
  Load();
  EXPECT_EQ(Recorded(), (Events{L"status ", kServerDown}));
  EXPECT_EQ(TextOf(Control(L"lblStatus")), L"SQL Server is down.");
  EXPECT_EQ(TextOf(Control(L"lblAds2")), L"Status:");
  EXPECT_TRUE(window->IsSelected(Option::FourDigit));
  EXPECT_TRUE(window->IsSelected(Option::BackTest));
  EXPECT_FALSE(window->IsSelected(Option::FiveDigit));
  EXPECT_FALSE(window->IsSelected(Option::RealTime));
  EXPECT_EQ(::GetFocus(), Control(L"txtPair"));
  EXPECT_TRUE(temp.ListFiles().empty());
}

TEST_F(MainWindowTest, TabVisitsTheControlsInTabOrderWithEachOptionGroupAsOneStop) {
  Load();
  Forget();
  const std::vector<std::wstring> expected = {L"txtLotsize",
                                              L"txtTakeProfit",
                                              L"txtStopLoss",
                                              L"txtMagicNo",
                                              L"optFourDigit",
                                              L"optBackTest",
                                              L"cmdBuy",
                                              L"cmdSell",
                                              L"cmdBuyStop",
                                              L"cmdSellStop",
                                              L"cmdBuyLimit",
                                              L"cmdSellLimit",
                                              L"cmdCloseAll",
                                              L"cmdCloseBuy",
                                              L"cmdCloseSell",
                                              L"txtFileLocation",
                                              L"cmdFileLocation",
                                              L"txtbuystop_price",
                                              L"txtsellstop_price",
                                              L"txtbuylimit_price",
                                              L"txtselllimit_price",
                                              L"cmdDeleteBuyStop",
                                              L"cmdDeleteSellStop",
                                              L"cmdDeleteBuyLimit",
                                              L"cmdDeleteSellLimit",
                                              L"cmdVisit_QRX",
                                              L"cmdHedge",
                                              L"cmdSendParameters",
                                              L"txtCloseall",
                                              L"txtPair"};
  ASSERT_EQ(::GetFocus(), Control(L"txtPair"));
  std::vector<std::wstring> visited;
  for (size_t i = 0; i < expected.size(); ++i) {
    Press(VK_TAB);
    visited.push_back(NameOf(::GetFocus()));
  }
  EXPECT_EQ(visited, expected);
  EXPECT_TRUE(Recorded().empty()) << "moving the focus onto a selected option changes nothing";
}

// --- Option groups -----------------------------------------------------------------------------------------

struct OptionCase {
  const char* name;
  enum class By { Click, Key, Space } by;
  std::wstring_view control;  // clicked, selected from code, or holding the focus when the key is pressed
  WPARAM key;
  std::vector<Option> selected_after;
  const wchar_t* folder;    // where the option change writes; none when nothing may run
  const char* take_profit;  // mytakeprofit.txt after the change: 25 pips, scaled for 5 digits
};

Option OptionNamed(std::wstring_view name) {
  const std::pair<std::wstring_view, Option> options[] = {{L"optBackTest", Option::BackTest},
                                                          {L"optRealTime", Option::RealTime},
                                                          {L"optFourDigit", Option::FourDigit},
                                                          {L"optFiveDigit", Option::FiveDigit}};
  for (const auto& [n, option] : options) {
    if (n == name)
      return option;
  }
  throw std::invalid_argument("not an option button");
}

using By = OptionCase::By;

void PrintTo(const OptionCase& c, std::ostream* out) {
  *out << c.name;
}

// Every case starts from the state after start-up: Backtest and 4-Digit selected.
using enum Option;
const OptionCase kOptionCases[] = {
    {"ClickRealTime", By::Click, L"optRealTime", 0, {RealTime, FourDigit}, kRealTime, "25\r\n"},
    {"ClickFiveDigit", By::Click, L"optFiveDigit", 0, {BackTest, FiveDigit}, kBackTest, "250\r\n"},
    {"ClickSelectedBackTest", By::Click, L"optBackTest", 0, {BackTest, FourDigit}, nullptr, nullptr},
    {"ClickSelectedFourDigit", By::Click, L"optFourDigit", 0, {BackTest, FourDigit}, nullptr, nullptr},
    {"RightArrowToFiveDigit",
     By::Key,
     L"optFourDigit",
     VK_RIGHT,
     {BackTest, FiveDigit},
     kBackTest,
     "250\r\n"},
    {"DownArrowToRealTime", By::Key, L"optBackTest", VK_DOWN, {RealTime, FourDigit}, kRealTime, "25\r\n"},
    {"LeftArrowWrapsToRealTime",
     By::Key,
     L"optBackTest",
     VK_LEFT,
     {RealTime, FourDigit},
     kRealTime,
     "25\r\n"},
    {"SpaceSelectsRealTime", By::Space, L"optRealTime", VK_SPACE, {RealTime, FourDigit}, kRealTime, "25\r\n"},
    {"SpaceSelectsFiveDigit",
     By::Space,
     L"optFiveDigit",
     VK_SPACE,
     {BackTest, FiveDigit},
     kBackTest,
     "250\r\n"},
    {"SpaceOnSelectedBackTest", By::Space, L"optBackTest", VK_SPACE, {BackTest, FourDigit}, nullptr, nullptr},
};

// The focus on an option that is not selected, as a trader gets it there without choosing it: the mouse
// pressed on it and released outside. Given the focus any other way, an option that is not selected reports
// a click (Windows, Wine 10), and the trader's arrow keys select what they reach.
void PressWithoutChoosing(HWND option) {
  ::SendMessageW(option, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ::SendMessageW(option, WM_LBUTTONUP, 0, MAKELPARAM(-20, -20));
}

class OptionTest : public MainWindowTest, public testing::WithParamInterface<OptionCase> {};

TEST_P(OptionTest, SelectingAnOptionRunsTheOptionChangeOnceAfterTheSelectionChanged) {
  const OptionCase& c = GetParam();
  StartWithExpertAdvisor();
  SetText(L"txtTakeProfit", L"25");
  switch (c.by) {
    case By::Click:
      Click(c.control);
      break;
    case By::Key:
      ::SetFocus(Control(c.control));
      ASSERT_EQ(::GetFocus(), Control(c.control));
      ASSERT_TRUE(Recorded().empty()) << "the focus alone on a selected option changes nothing";
      Press(c.key);
      break;
    case By::Space:
      if (window->IsSelected(OptionNamed(c.control)))
        ::SetFocus(Control(c.control));
      else
        PressWithoutChoosing(Control(c.control));
      ASSERT_TRUE(Recorded().empty()) << "the focus alone changes nothing";
      Press(c.key);
      break;
  }
  // The writers saw the new selection: the files went to the new account type's folder, in 4 or 5 digits.
  const test::ActionFiles& change = test::ActionNamed("OptionChanged");
  if (c.folder) {
    EXPECT_EQ(Recorded(), test::WindowEvents(c.folder, change));
    EXPECT_EQ(ReadBytes(temp / (std::wstring(c.folder) + L"mytakeprofit.txt")), c.take_profit);
  } else {
    EXPECT_EQ(Recorded(), Events{});
  }
  for (Option option : {Option::BackTest, Option::RealTime, Option::FourDigit, Option::FiveDigit}) {
    const bool expected = std::ranges::find(c.selected_after, option) != c.selected_after.end();
    EXPECT_EQ(window->IsSelected(option), expected) << static_cast<int>(option);
  }
  if (c.by == By::Key) {
    HWND focus = ::GetFocus();
    EXPECT_TRUE(window->IsSelected(OptionNamed(NameOf(focus)))) << "the focus moved onto the new selection";
  }
}

INSTANTIATE_TEST_SUITE_P(Options, OptionTest, testing::ValuesIn(kOptionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, TabReachesAGroupThroughItsSelectedOption) {
  StartWithExpertAdvisor();
  Click(L"optFiveDigit");
  ::SetFocus(Control(L"txtMagicNo"));
  Press(VK_TAB);
  EXPECT_EQ(::GetFocus(), Control(L"optFiveDigit"));
  Press(VK_TAB);
  EXPECT_EQ(::GetFocus(), Control(L"optBackTest"));
}

// --- Buttons -----------------------------------------------------------------------------------------------

// One window for every button of the layout that writes files: each press stands alone, reading the panel
// afresh. Each button's files tell which action it ran; a button without its row in the action table fails.
TEST_F(MainWindowTest, EveryButtonOfTheLayoutWritesItsFilesAndReportsLast) {
  StartWithExpertAdvisor();
  Click(L"optRealTime");
  SetText(L"txtPair", L"EURJPY");
  for (std::wstring_view button : test::ActionButtons()) {
    SCOPED_TRACE(Narrow(button));
    const auto c = std::ranges::find_if(test::kEveryAction, [&](const test::ActionFiles& action) {
      return action.button != nullptr && button == action.button;
    });
    if (c == std::end(test::kEveryAction)) {
      ADD_FAILURE() << "no files expected of this button";
      continue;
    }
    Forget();
    if (c->refreshes)
      ClickAndAwaitRefresh(button);  // the refresh runs after the press, reporting nothing
    else
      Click(button);

    EXPECT_EQ(Recorded(), test::WindowEvents(kRealTime, *c));
    EXPECT_EQ(ReadBytes(temp / (std::wstring(kRealTime) + L"mypair.txt")), "EURJPY\r\n");
    const std::wstring last = c->files.back();
    if (!last.starts_with(L"my")) {
      EXPECT_EQ(ReadBytes(temp / (kRealTime + last)), "1\r\n");
    }
    EXPECT_EQ(TextOf(Control(L"lblStatus")), L"Status: OK.");
  }
}

// What the label holds once a press has returned, for the window and for another process reading its text,
// is the press's last report.
TEST_F(MainWindowTest, AfterAPressTheStatusLineHoldsItsLastReportForEveryReader) {
  StartWithExpertAdvisor();
  const struct {
    std::wstring path;
    const wchar_t* last;
  } presses[] = {
      {temp / L"Gone\\MQL4\\Experts\\Kelvarinth_V10x.ex4", L"76 : Path not found"},
      {ExpertAdvisor(), L"Status: OK."},
      {L"C:\\MT4\\Kelvarinth_V10x.ex4", L"5 : Invalid procedure call or argument"},
  };
  for (const auto& press : presses) {
    SetText(L"txtFileLocation", press.path);
    Forget();
    Click(L"cmdBuy");
    EXPECT_EQ(Recorded().back(), std::wstring(L"status ") + press.last);
    EXPECT_EQ(TextOf(Control(L"lblStatus")), press.last);
    wchar_t held[128] = {};
    ::InternalGetWindowText(Control(L"lblStatus"), held, 128);
    EXPECT_STREQ(held, press.last) << "the text other processes read";
  }
}

// A press gives the status line one text, the action's own report, and it is painted once. A folder in
// mystoploss.txt's place fails that one writer; the writers after it report "Status: OK.".
TEST_F(MainWindowTest, APressGivesTheStatusLineOnlyTheActionsReportAndPaintsItOnce) {
  StartWithExpertAdvisor();
  temp.MakeFolder(L"MT4\\tester\\files\\mystoploss.txt");
  Pump();
  recorder->status_paints = 0;
  Click(L"cmdBuy");
  std::vector<std::wstring> given;  // the texts the label was given
  for (const std::wstring& event : Recorded()) {
    if (event.starts_with(L"status "))
      given.push_back(event.substr(7));
  }
  const std::wstring refused = L"75 : Path/File access error";
  EXPECT_EQ(given, std::vector<std::wstring>{refused});
  EXPECT_EQ(TextOf(Control(L"lblStatus")), refused);
  EXPECT_EQ(recorder->status_paints, 1);
}

// Whatever a handler meets, it ends in its status report, with the number and text the runtime gives it,
// and the panel goes on: here the message box of a refused order throws.
TEST_F(MainWindowTest, AHandlerThatThrowsEndsInItsFailureOnTheStatusLineAndThePanelGoesOn) {
  StartWithExpertAdvisor();
  const struct {
    std::function<void()> fails;
    const wchar_t* report;
  } cases[] = {
      {[] { throw std::runtime_error("unexpected"); }, L"51 : Internal error"},
      {[] { throw std::out_of_range("index"); }, L"9 : Subscript out of range"},
      {[] { throw std::bad_alloc(); }, L"7 : Out of memory"},
      {[] { throw 42; }, L"51 : Internal error"},
  };
  for (const auto& c : cases) {
    message_box_fails = c.fails;
    SetText(L"txtFileLocation", L"");
    Click(L"cmdBuy");
    EXPECT_EQ(TextOf(Control(L"lblStatus")), c.report);
    message_box_fails = nullptr;
    SetText(L"txtFileLocation", ExpertAdvisor());
    Click(L"cmdBuy");
    EXPECT_EQ(TextOf(Control(L"lblStatus")), L"Status: OK.") << "the panel goes on";
  }
  Forget();
}

// The web-site button: the shell program hands the site to the default browser, then Firefox opens it; a
// stand-in at Firefox's standard folder records how it was started. Nothing but the status line changes.
TEST_F(MainWindowTest, TheWebSiteButtonOpensTheSiteInTheBrowsers) {
  constexpr wchar_t kFirefox[] = L"C:\\Program Files\\Mozilla Firefox\\firefox.exe";
  if (test::FileExists(kFirefox))
    GTEST_SKIP() << "a real Firefox is installed";
  test::PlantedProgram firefox(kFirefox);
  StartWithExpertAdvisor();
  Click(L"cmdVisit_QRX");
  EXPECT_EQ(Recorded(), Events{kOk});
  EXPECT_EQ(firefox.Starts(),
            std::vector<std::wstring>{
                L"\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\" http://www.qrxforex.example | show=1"});
}

struct RefusalCase {
  const char* name;
  const char* action;  // its row of the action table: the button, and the message for the path or the price
  bool with_path;      // a path that passes, so that the blank price refuses; otherwise one of 18 characters
  const wchar_t* blank_box;
};

const RefusalCase kRefusals[] = {
    {"BuyWithShortPath", "Buy", false, nullptr},
    {"CloseAllWithShortPath", "CloseAll", false, nullptr},
    {"HedgeWithShortPath", "Hedge", false, nullptr},
    {"BuyStopWithBlankPrice", "BuyStop", true, L"txtbuystop_price"},
    {"SendParametersWithBlankPath", "SendParameters", false, L"txtFileLocation"},
};

TEST_F(MainWindowTest, RefusedActionsShowTheirMessageOwnedByTheWindowAndTouchNothing) {
  StartWithExpertAdvisor();
  for (const RefusalCase& c : kRefusals) {
    SCOPED_TRACE(c.name);
    SetText(L"txtFileLocation", c.with_path ? ExpertAdvisor() : L"C:\\Kelvarinth.ex4\\");
    SetText(L"txtbuystop_price", L"1.6349");
    if (c.blank_box)
      SetText(c.blank_box, L"   ");
    const std::wstring before = L"before " + std::wstring(c.name, c.name + std::strlen(c.name));
    SetText(L"lblStatus", before);
    Forget();

    const test::ActionFiles& action = test::ActionNamed(c.action);
    Click(action.button);

    EXPECT_EQ(Recorded(),
              Events{L"message " + std::wstring(c.with_path ? action.blank_price : action.refusal)});
    EXPECT_EQ(recorder->last_caption, L"Quenmarel");
    EXPECT_EQ(recorder->last_owner, window->hwnd());
    EXPECT_EQ(TextOf(Control(L"lblStatus")), before);
  }
}

// What a message box of this process shows once it is up: caption, text, the visible buttons (identifier and
// caption) and the number of icons shown. It is then dismissed with OK.
struct SeenBox {
  std::wstring caption, text;
  std::vector<std::wstring> buttons;
  int icons = 0;
};

SeenBox DismissBoxOwnedBy(HWND owner) {
  SeenBox seen;
  const HWND box = test::WaitForDialogBox(owner);
  if (box == nullptr)
    return seen;
  seen.caption = TextOf(box);
  seen.text = TextOf(::GetDlgItem(box, 0xFFFF));
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child))
      continue;
    if (ClassOf(child) == L"Button")
      seen.buttons.push_back(std::to_wstring(::GetDlgCtrlID(child)) + L" " + TextOf(child));
    // The system's box keeps its icon control when there is no icon, and leaves it empty.
    if (ClassOf(child) == L"Static" && (::GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        ::SendMessageW(child, STM_GETICON, 0, 0) != 0)
      ++seen.icons;
  }
  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return seen;
}

// The one place the system's own message box appears: a window with the panel's message box, not the
// recorder's stand-in.
TEST_F(MainWindowTest, TheMessageBoxHasTheTitleAsCaptionOneOkButtonAndNoIcon) {
  frmMain plain(::GetModuleHandleW(nullptr), MainWindowSettings{VendorConnection()});
  SeenBox seen;
  std::thread user([&] { seen = DismissBoxOwnedBy(plain.hwnd()); });
  ::SendMessageW(::GetDlgItem(plain.hwnd(), ControlId(L"cmdBuy")), BM_CLICK, 0, 0);
  user.join();
  EXPECT_EQ(seen.caption, L"Quenmarel");
  EXPECT_EQ(seen.text, L"Expert Advisor not selected. Please select Kelvarinth_V10x.ex4 Expert Advisor.");
  EXPECT_EQ(seen.buttons, std::vector<std::wstring>{L"1 OK"});
  EXPECT_EQ(seen.icons, 0);
  EXPECT_EQ(TextOf(::GetDlgItem(plain.hwnd(), ControlId(L"lblStatus"))), L"lblStatus");
}

// --- Keyboard and closing ----------------------------------------------------------------------------------

struct KeyCase {
  const char* name;
  const wchar_t* focus;
  WPARAM key;
};

const KeyCase kEnterAndEscape[] = {
    {"EnterInPair", L"txtPair", VK_RETURN},         {"EscapeInPair", L"txtPair", VK_ESCAPE},
    {"EnterOnBuy", L"cmdBuy", VK_RETURN},           {"EscapeOnBuy", L"cmdBuy", VK_ESCAPE},
    {"EnterOnCloseAll", L"cmdCloseAll", VK_RETURN}, {"EnterOnBackTest", L"optBackTest", VK_RETURN},
    {"EnterInPath", L"txtFileLocation", VK_RETURN}, {"EscapeOnSend", L"cmdSendParameters", VK_ESCAPE},
};

TEST_F(MainWindowTest, EnterAndEscapePressNothingWhereverTheFocusIs) {
  StartWithExpertAdvisor();
  Click(L"optRealTime");
  for (const KeyCase& c : kEnterAndEscape) {
    SCOPED_TRACE(c.name);
    Forget();
    if (FindControl(ControlId(c.focus))->role.option)
      PressWithoutChoosing(Control(c.focus));
    else
      ::SetFocus(Control(c.focus));
    Press(c.key);
    EXPECT_EQ(Recorded(), Events{});
    EXPECT_TRUE(::IsWindow(window->hwnd()));
    EXPECT_EQ(::GetFocus(), Control(c.focus));
  }
}

// Coming back to the window gives the focus back where it was, and on an option not selected that chooses
// nothing, though the option reports a click for it.
TEST_F(MainWindowTest, TheFocusGivenBackChoosesNoOption) {
  StartWithExpertAdvisor();
  Click(L"optRealTime");
  Forget();
  PressWithoutChoosing(Control(L"optBackTest"));
  ::SendMessageW(window->hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
  ::SetFocus(window->hwnd());
  EXPECT_EQ(::GetFocus(), Control(L"optBackTest"));
  EXPECT_EQ(Recorded(), Events{});
  EXPECT_TRUE(window->IsSelected(Option::RealTime));
}

struct CloseCase {
  const char* name;
  UINT message;
  WPARAM wparam;
};

class CloseTest : public MainWindowTest, public testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, ClosingOrExitEndsTheProgramAtOnceWritingNothing) {
  StartWithExpertAdvisor();
  Click(L"optRealTime");
  Forget();
  HWND main = window->hwnd();
  ::SendMessageW(main, GetParam().message, GetParam().wparam, 0);
  EXPECT_FALSE(::IsWindow(main));
  EXPECT_EQ(window->hwnd(), nullptr);
  EXPECT_TRUE(Pump()) << "the program was asked to end";
  EXPECT_EQ(Recorded(), Events{});
}

const CloseCase kCloses[] = {
    {"MenuExit", WM_COMMAND, static_cast<WPARAM>(ControlId(L"mnuExit"))},
    {"CloseBox", WM_CLOSE, 0},
    {"SystemMenuClose", WM_SYSCOMMAND, SC_CLOSE},
};

INSTANTIATE_TEST_SUITE_P(Closing, CloseTest, testing::ValuesIn(kCloses),
                         [](const auto& info) { return std::string(info.param.name); });

// --- What the actions read ---------------------------------------------------------------------------------

// Which box each file's value comes from, seen in the files the buttons write: every box holds a text of
// its own, longer than any fixed buffer would take, and the files go below the path in txtFileLocation.
TEST_F(MainWindowTest, EachFileHoldsTheTextOfItsOwnBoxWhateverItsLength) {
  const struct {
    const wchar_t* box;
    const wchar_t* button;
    const wchar_t* file;
  } kBoxes[] = {
      {L"txtPair", L"cmdSendParameters", L"mypair.txt"},
      {L"txtLotsize", L"cmdSendParameters", L"mylotsize.txt"},
      {L"txtTakeProfit", L"cmdSendParameters", L"mytakeprofit.txt"},
      {L"txtStopLoss", L"cmdSendParameters", L"mystoploss.txt"},
      {L"txtMagicNo", L"cmdSendParameters", L"mymagicno.txt"},
      {L"txtCloseall", L"cmdSendParameters", L"mycloseall.txt"},
      {L"txtbuystop_price", L"cmdBuyStop", L"myprice.txt"},
      {L"txtsellstop_price", L"cmdSellStop", L"myprice.txt"},
      {L"txtbuylimit_price", L"cmdBuyLimit", L"myprice.txt"},
      {L"txtselllimit_price", L"cmdSellLimit", L"myprice.txt"},
  };
  StartWithExpertAdvisor();
  Click(L"optRealTime");
  std::vector<std::string> texts;
  for (const auto& c : kBoxes) {
    texts.push_back(std::string(40000 + texts.size(), 'x') + Narrow(c.box));
    SetText(c.box, std::wstring(texts.back().begin(), texts.back().end()));
  }
  for (size_t i = 0; i < std::size(kBoxes); ++i) {
    SCOPED_TRACE(Narrow(kBoxes[i].box));
    Click(kBoxes[i].button);
    EXPECT_EQ(ReadBytes(temp / (kRealTime + std::wstring(kBoxes[i].file))), texts[i] + "\r\n");
  }
}

// An East Asian input method types "10" as U+FF11 U+FF10, the symbol EURUSD in full-width letters, and,
// in its default mode, the ideographic full stop for the full-stop key.
TEST_F(MainWindowTest, FullWidthTextTypedIntoTheBoxesReachesTheFilesAsASCII) {
  StartWithExpertAdvisor();
  Click(L"optRealTime");
  const auto type = [this](std::wstring_view box, std::wstring_view keys) {
    SetText(box, L"");
    for (const wchar_t c : keys)
      ::SendMessageW(Control(box), WM_CHAR, c, 1);
  };
  type(L"txtPair", L"\uFF25\uFF35\uFF32\uFF35\uFF33\uFF24");
  type(L"txtStopLoss", L"\uFF11\uFF10");
  type(L"txtTakeProfit", L"\uFF11\u3002\uFF15");
  Click(L"cmdSendParameters");
  EXPECT_EQ(ReadBytes(temp / (kRealTime + std::wstring(L"mystoploss.txt"))), "10\r\n");
  EXPECT_EQ(ReadBytes(temp / (kRealTime + std::wstring(L"mytakeprofit.txt"))), "1.5\r\n");
  EXPECT_EQ(ReadBytes(temp / (kRealTime + std::wstring(L"mypair.txt"))), "EURUSD\r\n");
  EXPECT_EQ(TextOf(Control(L"lblStatus")), L"Status: OK.");
  Click(L"optFiveDigit");
  EXPECT_EQ(ReadBytes(temp / (kRealTime + std::wstring(L"mytakeprofit.txt"))), "15\r\n");
  EXPECT_EQ(ReadBytes(temp / (kRealTime + std::wstring(L"mystoploss.txt"))), "100\r\n");
}

TEST_F(MainWindowTest, ADpiChangeRescalesControlsAndFonts) {
  RECT suggested{10, 20, 10 + 600, 20 + 400};
  ::SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  for (const BuiltControl& c : kBuilt) {
    SCOPED_TRACE(Narrow(c.name));
    EXPECT_EQ(PlaceOf(Control(c.name)), c.at144);
    EXPECT_EQ(FontOf(Control(c.name)).lfHeight, c.font.height144);
  }
  RECT placed{};
  ::GetWindowRect(window->hwnd(), &placed);
  EXPECT_EQ(placed.left, 10);
  EXPECT_EQ(placed.right - placed.left, 600);
}

}  // namespace
}  // namespace qm
