// Faults of a vendor database that answers (the SQLite driver as "SQL Server"): a missing table or field, a
// NULL, an empty table, 100,000 rows, a message of a megabyte, a message holding markup. Each one through the
// vendor worker (the vendor report's status text) and through the real window's refresh (an order
// button: the message shown as plain text, the action's report last, and a window that goes on working).

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/figures.h"
#include "support/main_window_fixture.h"
#include "support/text.h"
#include "support/sqlite_database.h"
#include "support/vendor_results.h"
#include "vendor_services/vendor_database.h"

namespace qm {
namespace {

using test::Narrow;

using testing::AllOf;
using testing::HasSubstr;
using testing::Matcher;
using testing::StartsWith;
using testing::StrEq;

const std::wstring kCreate = test::kCreateVendorTable;
const std::wstring kMarkup = L"<b>bold</b> &amp; <script>alert('x')</script> &x %SystemRoot% && | \"q\"";

// A megabyte of text that does not repeat in step with any read size, with characters beyond ASCII.
std::wstring Megabyte() {
  const std::wstring alphabet = L"0123456789 abcdefghijklmnopqrstuvwxyz\u20ac\u0416<&>";
  std::wstring text;
  for (size_t i = 0; i < 1'048'576; ++i)
    text += alphabet[(i * 7 + i / alphabet.size()) % alphabet.size()];
  return text;
}

// 100,000 rows in one statement; the first one the server returns is "row 1".
const std::wstring kHundredThousandRows =
    L"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
    L"INSERT INTO Vostrel_Gap (Id, Public_Msg) SELECT i, 'row ' || i FROM n";

const Matcher<std::wstring> kOk = StrEq(L"Status: OK.");

struct FaultCase {
  const char* name;
  std::vector<std::wstring> setup;
  std::optional<std::wstring> shown;  // lblAds2 after the refresh; nothing: it keeps its text
  Matcher<std::wstring> report;       // the vendor report (not shown after an action, whose own comes last)
  const char* expected;               // the report as the table of figures shows it
};

std::vector<FaultCase> FaultCases() {
  return {
      {"table missing",
       {L"CREATE TABLE Other (Public_Msg TEXT)"},
       std::nullopt,
       AllOf(StartsWith(L"-2147217865 : "), HasSubstr(L"no such table: Vostrel_Gap")),
       "-2147217865 : <driver's no such table message>"},
      {"field missing",
       {L"CREATE TABLE Vostrel_Gap (Message TEXT)", L"INSERT INTO Vostrel_Gap VALUES ('hello')"},
       std::nullopt,
       StrEq(
           L"3265 : Item cannot be found in the collection corresponding to the requested name or ordinal."),
       "3265 : Item cannot be found in the collection corresponding to the requested name or ordinal."},
      {"NULL",
       {kCreate, L"INSERT INTO Vostrel_Gap (Id, Public_Msg) VALUES (1, NULL)"},
       std::nullopt,
       StrEq(L"94 : Invalid use of Null"),
       "94 : Invalid use of Null"},
      {"empty table", {kCreate}, std::nullopt, kOk, "Status: OK. (label kept)"},
      {"100,000 rows", {kCreate, kHundredThousandRows}, L"row 1", kOk, "Status: OK. (first row shown)"},
      {"a message of a megabyte",
       {kCreate, test::InsertMessage(Megabyte())},
       Megabyte(),
       kOk,
       "Status: OK. (whole message)"},
      {"a message holding markup",
       {kCreate, test::InsertMessage(kMarkup)},
       kMarkup,
       kOk,
       "Status: OK. (plain text)"},
  };
}

class VendorFaultTest : public testing::TestWithParam<FaultCase> {};

TEST_P(VendorFaultTest, ReportsAndShowsExactly) {
  test::SqliteVendorDatabase database;
  for (const std::wstring& sql : GetParam().setup)
    database.Run(sql);
  const VendorResult refresh = test::VendorRequester(database.FullPathConnectionString()).Refresh();
  EXPECT_EQ(refresh.message, GetParam().shown);
  const std::wstring report = VendorStatusReport(refresh.outcome);
  const bool report_ok = testing::Value(report, GetParam().report);
  EXPECT_THAT(report, GetParam().report);
  EXPECT_TRUE(test::ReportFigure(std::string("database fault, ") + GetParam().name + ", vendor report",
                                 report_ok ? std::string(GetParam().expected) : Narrow(report),
                                 GetParam().expected, report_ok));
}

INSTANTIATE_TEST_SUITE_P(Database, VendorFaultTest, testing::ValuesIn(FaultCases()),
                         [](const auto& info) { return test::TestNameOf(info.param.name); });

class WindowDatabaseFaultTest : public test::SqliteWindowTest {};

TEST_F(WindowDatabaseFaultTest, EveryFaultIsReportedAndTheWindowStaysUsable) {
  const DWORD label_style = static_cast<DWORD>(::GetWindowLongPtrW(Control(L"lblAds2"), GWL_STYLE));
  EXPECT_TRUE(test::ReportFigure("database fault, public message label: access keys (&) off",
                                 (label_style & SS_NOPREFIX) ? "SS_NOPREFIX" : "no SS_NOPREFIX",
                                 "SS_NOPREFIX", (label_style & SS_NOPREFIX) != 0));
  StartWithExpertAdvisor();
  int round = 0;
  for (const FaultCase& c : FaultCases()) {
    SCOPED_TRACE(c.name);
    database.Run(L"DROP TABLE IF EXISTS Vostrel_Gap");
    database.Run(L"DROP TABLE IF EXISTS Other");
    for (const std::wstring& sql : c.setup)
      database.Run(sql);
    // A label text this round can tell from the one before, and a status line with no report yet.
    const std::wstring before = L"before " + std::to_wstring(++round);
    SetText(L"lblAds2", before);
    SetText(L"lblStatus", L"");
    Forget();

    // The refresh's message is shown when it arrives, its report never.
    ClickAndAwaitRefresh(L"cmdBuy");
    const std::wstring last = test::TextOf(Control(L"lblStatus"));
    const bool report_ok = last == L"Status: OK.";
    EXPECT_TRUE(report_ok) << "the action's own report stays last, not " << Narrow(last);
    const std::wstring label = test::TextOf(Control(L"lblAds2"));
    const bool label_ok = label == c.shown.value_or(before);
    EXPECT_TRUE(label_ok) << "label differs, " << label.size() << " characters";
    const std::string label_goal = c.shown ? "message shown" : "label kept";
    const std::string outcome = (label_ok ? label_goal : "label differs") + ", " + Narrow(last);

    const bool usable = SendParametersWorks(L"after " + std::to_wstring(round));
    EXPECT_TRUE(usable);
    EXPECT_TRUE(test::ReportFigure(std::string("database fault, ") + c.name + ", through the window", outcome,
                                   label_goal + ", Status: OK.", report_ok && label_ok));
    EXPECT_TRUE(test::ReportFigure(std::string("database fault, ") + c.name + ": window usable afterwards",
                                   usable ? "files written, Status: OK." : "no", "files written, Status: OK.",
                                   usable));
  }
}

// The refresh reads the first row however long the table: the same message and report from one row and from
// 100,000 rows, on one connection after the other. How long it takes is the benchmark's business.
TEST(RefreshSpeedTest, OneRowAndHundredThousandRows) {
  test::SqliteVendorDatabase database;
  database.Run(kCreate);
  database.Run(test::InsertMessage(L"row 1"));
  test::VendorRequester vendor(database.FullPathConnectionString());
  for (const bool many : {false, true}) {
    SCOPED_TRACE(many ? "100,000 rows" : "one row");
    if (many) {
      database.Run(L"DELETE FROM Vostrel_Gap");
      database.Run(kHundredThousandRows);
    }
    const VendorResult refresh = vendor.Refresh();
    EXPECT_EQ(refresh.message, std::optional<std::wstring>(L"row 1"));
    EXPECT_EQ(VendorStatusReport(refresh.outcome), L"Status: OK.");
  }
}

}  // namespace
}  // namespace qm
