// The main window against a vendor database that answers: the SQLite driver stands in for SQL Server, and
// the public message goes into lblAds2 only when an order, close or delete action refreshes it, once the
// worker has read it after the action's own report.

#include <gtest/gtest.h>

#include "platform/unique_handle.h"
#include "support/action_files.h"
#include "support/main_window_fixture.h"
#include "support/painted_picture.h"
#include "support/sqlite_database.h"

namespace qm {
namespace {

using test::Events;

constexpr wchar_t kOk[] = L"status Status: OK.";

class PublicMessageTest : public test::SqliteWindowTest {};

struct MessageCase {
  const char* name;
  std::vector<std::wstring> rows;  // Public_Msg of each row, in insertion order
  std::wstring shown;              // lblAds2 after a BUY
};

const MessageCase kMessages[] = {
    {"FirstRowTrimmedOfSpaces",
     {L"  Rates & news: <b>EURUSD</b>  ", L"second"},
     L"Rates & news: <b>EURUSD</b>"},
    {"EmptyTableLeavesTheLabel", {}, L"Status:"},
};

class PublicMessageCaseTest : public PublicMessageTest, public testing::WithParamInterface<MessageCase> {};

TEST_P(PublicMessageCaseTest, StartUpLeavesTheLabelAndAnOrderRefreshesIt) {
  database.Run(L"CREATE TABLE Vostrel_Gap (Public_Msg TEXT)");
  for (const std::wstring& row : GetParam().rows)
    database.Run(test::InsertMessage(row));

  Load();
  const Events started = Recorded();
  ASSERT_GE(started.size(), 2u);
  EXPECT_EQ(Events(started.end() - 2, started.end()), (Events{L"status ", kOk}))
      << "blank in place of the option changes' reports (no Expert Advisor chosen yet), then the vendor "
         "connection's, which answered";
  EXPECT_EQ(::GetWindowTextLengthW(Control(L"lblAds2")), 7) << "still \"Status:\"";

  SetText(L"txtFileLocation", ExpertAdvisor());
  Forget();
  ClickAndAwaitRefresh(L"cmdBuy");

  // The action's own report at once, then the message when the refresh has read it; its report is not shown.
  Events expected = test::WindowEvents(L"MT4\\tester\\files\\", test::ActionNamed("Buy"));
  if (!GetParam().rows.empty())
    expected.push_back(L"ads " + GetParam().shown);
  EXPECT_EQ(Recorded(), expected);
  wchar_t shown[256] = {};
  ::GetWindowTextW(Control(L"lblAds2"), shown, 256);
  EXPECT_EQ(std::wstring(shown), GetParam().shown);
}

// The label is given a message only when it differs from what it shows: an unchanged one would only be
// painted again.
TEST_F(PublicMessageTest, EachRefreshGivesTheLabelOnlyAMessageThatChanged) {
  database.Run(L"CREATE TABLE Vostrel_Gap (Public_Msg TEXT)");
  Load();
  SetText(L"txtFileLocation", ExpertAdvisor());
  const struct {
    const wchar_t* first_row;  // nothing: the table is emptied
    Events ads;
  } refreshes[] = {
      {L"Spreads are low", {L"ads Spreads are low"}},
      {L"Spreads are low", {}},
      {nullptr, {}},
      {L"Rates are up", {L"ads Rates are up"}},
  };
  for (const auto& refresh : refreshes) {
    database.Run(L"DELETE FROM Vostrel_Gap");
    if (refresh.first_row)
      database.Run(L"INSERT INTO Vostrel_Gap (Public_Msg) VALUES (" + test::SqlText(refresh.first_row) +
                   L")");
    Forget();
    ClickAndAwaitRefresh(L"cmdCloseAll");
    Events expected = test::WindowEvents(L"MT4\\tester\\files\\", test::ActionNamed("CloseAll"));
    expected.insert(expected.end(), refresh.ads.begin(), refresh.ads.end());
    EXPECT_EQ(Recorded(), expected);
  }
}

// A message longer than the label shows the lines that fit whole and, cut at the label's lower edge, the one
// after them.
TEST_F(PublicMessageTest, ALongMessageShowsItsPartlyVisibleLineCutAtTheLabelsEdge) {
  std::wstring message;
  for (int line = 1; line <= 10; ++line)
    message += L"Line " + std::to_wstring(line) + (line < 10 ? L"\r\n" : L"");
  database.Run(L"CREATE TABLE Vostrel_Gap (Public_Msg TEXT)");
  database.Run(test::InsertMessage(message));
  Load();
  SetText(L"txtFileLocation", ExpertAdvisor());
  ClickAndAwaitRefresh(L"cmdBuy");
  ASSERT_EQ(Recorded().back(), L"ads " + message);
  Pump();

  HWND ads = Control(L"lblAds2");
  const UniqueDc dc(::CreateCompatibleDC(nullptr));
  const ScopedSelection font(dc.get(), reinterpret_cast<HFONT>(::SendMessageW(ads, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc.get(), &metrics);
  const test::Picture painted = test::PaintedPicture(ads);
  const int line = metrics.tmHeight;
  ASSERT_TRUE(6 * line < painted.height && painted.height < 7 * line) << "six lines and part of a seventh";
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  EXPECT_TRUE(painted.DrawnIn(5 * line, 6 * line, face)) << "the sixth line";
  EXPECT_TRUE(painted.DrawnIn(6 * line, painted.height, face)) << "the seventh line, cut";
}

INSTANTIATE_TEST_SUITE_P(Messages, PublicMessageCaseTest, testing::ValuesIn(kMessages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm
