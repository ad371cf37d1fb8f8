#include "vendor_services/vendor_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "support/sqlite_database.h"
#include "support/temp_folder.h"
#include "support/vendor_results.h"

namespace qm {
namespace {

using test::SqliteVendorDatabase;
using test::SqlText;
using testing::AllOf;
using testing::HasSubstr;
using testing::Matcher;
using testing::StartsWith;
using testing::StrEq;

const std::wstring kCreateTable = test::kCreateVendorTable;
using test::InsertMessage;

// A text of `length` characters whose pattern does not repeat in step with the driver's parts, with
// characters beyond ASCII, so that a lost, doubled or re-ordered part shows.
std::wstring LongMessage(size_t length) {
  const std::wstring alphabet = L"0123456789abcdefghijklmnopqrstuvwxyz\u20ac\u0416\u00e9";
  std::wstring text;
  for (size_t i = 0; i < length; ++i)
    text += alphabet[(i * 7 + i / alphabet.size()) % alphabet.size()];
  return text;
}

struct RefreshCase {
  const char* name;
  std::vector<std::wstring> setup;
  std::optional<std::wstring> message;  // nothing: the label keeps its text
  Matcher<std::wstring> status;
};

void PrintTo(const RefreshCase& c, std::ostream* out) {
  *out << c.name;
}

const Matcher<std::wstring> kOk = StrEq(L"Status: OK.");

std::vector<RefreshCase> RefreshCases() {
  return {
      {"OneRow", {kCreateTable, InsertMessage(L"Spreads are low today")}, L"Spreads are low today", kOk},
      {"SeveralRowsShowTheFirst",
       {kCreateTable, InsertMessage(L"first"), InsertMessage(L"second"), InsertMessage(L"third")},
       L"first",
       kOk},
      {"EmptyTableLeavesTheLabel", {kCreateTable}, std::nullopt, kOk},
      {"SpacesAroundAreTrimmed", {kCreateTable, InsertMessage(L"   Gold  opens   ")}, L"Gold  opens", kOk},
      {"TabsAndLineBreaksStay",
       {kCreateTable, InsertMessage(L" \tLine one\r\nLine two\n\t ")},
       L"\tLine one\r\nLine two\n\t",
       kOk},
      {"OnlySpacesGiveAnEmptyMessage", {kCreateTable, InsertMessage(L"     ")}, L"", kOk},
      {"NullIsInvalidUseOfNull",
       {kCreateTable, L"INSERT INTO Vostrel_Gap (Id, Public_Msg) VALUES (1, NULL)"},
       std::nullopt,
       StrEq(L"94 : Invalid use of Null")},
      {"NullInALaterRowDoesNotMatter",
       {kCreateTable, InsertMessage(L"shown"), L"INSERT INTO Vostrel_Gap (Public_Msg) VALUES (NULL)"},
       L"shown",
       kOk},
      {"MissingTable",
       {L"CREATE TABLE Other (Public_Msg TEXT)"},
       std::nullopt,
       AllOf(StartsWith(L"-2147217865 : "), HasSubstr(L"no such table"), HasSubstr(L"Vostrel_Gap"))},
      {"MissingField",
       {L"CREATE TABLE Vostrel_Gap (Message TEXT)", L"INSERT INTO Vostrel_Gap VALUES ('hello')"},
       std::nullopt,
       StrEq(
           L"3265 : Item cannot be found in the collection corresponding to the requested name or ordinal.")},
      // The field is looked for only in a row, as the record count comes first.
      {"MissingFieldInAnEmptyTable", {L"CREATE TABLE Vostrel_Gap (Message TEXT)"}, std::nullopt, kOk},
      {"FieldFoundByNameNotPosition",
       {L"CREATE TABLE Vostrel_Gap (Id INTEGER, Title TEXT, Public_Msg TEXT, Note TEXT)",
        L"INSERT INTO Vostrel_Gap VALUES (7, 'title', 'the message', 'note')"},
       L"the message",
       kOk},
      {"FieldNameInAnyCase",
       {L"CREATE TABLE Vostrel_Gap (PUBLIC_MSG TEXT)", L"INSERT INTO Vostrel_Gap VALUES ('upper')"},
       L"upper",
       kOk},
      {"NumberBecomesText",
       {L"CREATE TABLE Vostrel_Gap (Public_Msg INTEGER)", L"INSERT INTO Vostrel_Gap VALUES (42)"},
       L"42",
       kOk},
      {"TextBeyondAscii",
       {kCreateTable, InsertMessage(L"  Cena \u20ac 12 \u2013 \u00fa\u010d\u0161  ")},
       L"Cena \u20ac 12 \u2013 \u00fa\u010d\u0161",
       kOk},
      {"ExactlyOnePart", {kCreateTable, InsertMessage(LongMessage(8192))}, LongMessage(8192), kOk},
      {"OneOverAPart", {kCreateTable, InsertMessage(LongMessage(8193))}, LongMessage(8193), kOk},
      {"HundredThousandCharacters",
       {kCreateTable, InsertMessage(L"  " + LongMessage(100000) + L"  ")},
       LongMessage(100000),
       kOk},
  };
}

class RefreshTest : public testing::TestWithParam<RefreshCase> {};

TEST_P(RefreshTest, ReadsTheFirstRowOrReports) {
  const RefreshCase& c = GetParam();
  SqliteVendorDatabase database;
  for (const std::wstring& sql : c.setup)
    database.Run(sql);

  const VendorResult refresh = test::VendorRequester(database.FullPathConnectionString()).Refresh();

  EXPECT_EQ(refresh.message, c.message);
  EXPECT_THAT(VendorStatusReport(refresh.outcome), c.status);
}

INSTANTIATE_TEST_SUITE_P(SqliteAsSqlServer, RefreshTest, testing::ValuesIn(RefreshCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The statements of a refresh as the driver receives them, read from the driver manager's trace (Trace and
// TraceFile in the [ODBC] section of the tests' driver list), which records each one as "SQL = [<text>]".
TEST(QueryTest, ARefreshSendsTheVendorQueryAndNothingElse) {
  SqliteVendorDatabase database;
  const std::wstring trace = database.path().substr(0, database.path().rfind(L'\\')) + L"\\odbc-trace.log";
  // The trace is appended to by every test of this program; it starts afresh here, so that it does not grow
  // from run to run.
  ::DeleteFileW(trace.c_str());
  database.Run(kCreateTable);
  const size_t before = test::ReadBytes(trace).size();

  ASSERT_EQ(test::VendorRequester(database.FullPathConnectionString()).Refresh().outcome, std::nullopt);

  const std::string calls = test::ReadBytes(trace).substr(before);
  std::vector<std::string> statements;
  const std::string start = "SQL = [", end = "][length";
  for (size_t at = calls.find(start); at != std::string::npos; at = calls.find(start, at + 1)) {
    const size_t text = at + start.size();
    statements.push_back(calls.substr(text, calls.find(end, text) - text));
  }
  EXPECT_EQ(statements, std::vector<std::string>{"SELECT * from Vostrel_Gap;"});
}

// Each refresh reads the database afresh; between refreshes the table changes under the held connection.
struct SequenceStep {
  std::vector<std::wstring> change;
  std::optional<std::wstring> message;
  Matcher<std::wstring> status;
};

struct SequenceCase {
  const char* name;
  std::vector<SequenceStep> steps;
};

void PrintTo(const SequenceCase& c, std::ostream* out) {
  *out << c.name;
}

std::vector<SequenceCase> SequenceCases() {
  return {
      {"EmptiedAfterAGoodMessage",
       {{{kCreateTable, InsertMessage(L"old news")}, L"old news", kOk},
        {{L"DELETE FROM Vostrel_Gap"}, std::nullopt, kOk},
        {{}, std::nullopt, kOk}}},
      {"ChangedMessageIsSeen",
       {{{kCreateTable, InsertMessage(L"one")}, L"one", kOk},
        {{L"UPDATE Vostrel_Gap SET Public_Msg = 'two'"}, L"two", kOk},
        {{L"DELETE FROM Vostrel_Gap", InsertMessage(L"three")}, L"three", kOk}}},
      {"RecoversAfterTheTableComesBack",
       {{{}, std::nullopt, StartsWith(L"-2147217865 : ")},
        {{kCreateTable, InsertMessage(L"back")}, L"back", kOk},
        {{L"DROP TABLE Vostrel_Gap"}, std::nullopt, StartsWith(L"-2147217865 : ")},
        {{kCreateTable, L"INSERT INTO Vostrel_Gap (Public_Msg) VALUES (NULL)"},
         std::nullopt,
         StrEq(L"94 : Invalid use of Null")},
        {{L"UPDATE Vostrel_Gap SET Public_Msg = 'again'"}, L"again", kOk}}},
  };
}

class RefreshSequenceTest : public testing::TestWithParam<SequenceCase> {};

TEST_P(RefreshSequenceTest, EachRefreshSeesTheTableAsItIsNow) {
  SqliteVendorDatabase database;
  test::VendorRequester vendor(database.FullPathConnectionString());
  ASSERT_EQ(vendor.Connect().outcome, std::nullopt);
  for (size_t i = 0; i < GetParam().steps.size(); ++i) {
    SCOPED_TRACE("step " + std::to_string(i + 1));
    const SequenceStep& step = GetParam().steps[i];
    for (const std::wstring& sql : step.change)
      database.Run(sql);
    const VendorResult refresh = vendor.Refresh();
    EXPECT_EQ(refresh.message, step.message);
    EXPECT_THAT(VendorStatusReport(refresh.outcome), step.status);
  }
}

INSTANTIATE_TEST_SUITE_P(SqliteAsSqlServer, RefreshSequenceTest, testing::ValuesIn(SequenceCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Connection strings the driver manager or the program itself refuses, before any database is reached.
struct ConnectCase {
  const char* name;
  std::wstring connection_string;
  std::wstring status;
};

void PrintTo(const ConnectCase& c, std::ostream* out) {
  *out << c.name;
}

const ConnectCase kConnectCases[] = {
    {"VendorStringConnects", VendorConnectionString(), L"Status: OK."},
    {"DriverNotRegistered",
     L"PROVIDER=MSDASQL;driver={No Such "
     L"Driver};server=127.0.0.1,1433;uid=qorlund;pwd=531kovar;database=Vostrel_EA;",
     L"SQL Server is down."},
    {"OtherProvider",
     L"PROVIDER=SQLOLEDB;driver={SQL "
     L"Server};server=127.0.0.1,1433;uid=qorlund;pwd=531kovar;database=Vostrel_EA;",
     L"3706 : Provider cannot be found. It may not be properly installed."},
};

class ConnectTest : public testing::TestWithParam<ConnectCase> {};

TEST_P(ConnectTest, BothOperationsReportTheConnection) {
  SqliteVendorDatabase database;
  database.Run(kCreateTable);
  database.Run(InsertMessage(L"hello"));
  test::VendorRequester vendor(GetParam().connection_string);

  EXPECT_EQ(VendorStatusReport(vendor.Connect().outcome), GetParam().status);
  const VendorResult refresh = vendor.Refresh();
  EXPECT_EQ(VendorStatusReport(refresh.outcome), GetParam().status);
  EXPECT_EQ(refresh.message.has_value(), GetParam().status == L"Status: OK.");
}

INSTANTIATE_TEST_SUITE_P(SqliteAsSqlServer, ConnectTest, testing::ValuesIn(kConnectCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm
