#include "vendor_services/vendor_failures.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace qm {
namespace {

struct StatementCase {
  const char* name;
  std::vector<DiagnosticRecord> records;
  Failure expected;
};

void PrintTo(const StatementCase& c, std::ostream* out) {
  *out << c.name;
}

const StatementCase kStatementCases[] = {
    {"MissingTable",
     {{L"42S02", 208, L"[Microsoft][ODBC SQL Server Driver][SQL Server]Invalid object name 'Vostrel_Gap'."}},
     {-2147217865, L"[Microsoft][ODBC SQL Server Driver][SQL Server]Invalid object name 'Vostrel_Gap'."}},
    {"SqliteMissingTable",
     {{L"HY000", 1, L"[unixODBC]no such table: Vostrel_Gap (1)"}},
     {-2147217865, L"[unixODBC]no such table: Vostrel_Gap (1)"}},
    {"MissingTableAfterAWarning",
     {{L"01000", 0, L"changed database context"}, {L"42S02", 208, L"Invalid object name 'Vostrel_Gap'."}},
     {-2147217865, L"Invalid object name 'Vostrel_Gap'."}},
    {"OtherGeneralError", {{L"HY000", 5, L"database is locked"}}, {-2147217900, L"database is locked"}},
    {"SyntaxError",
     {{L"42000", 102, L"Incorrect syntax near ';'."}},
     {-2147217900, L"Incorrect syntax near ';'."}},
    {"WarningBeforeTheErrorIsSkipped",
     {{L"01000", 0, L"informational"}, {L"42000", 1, L"the real cause"}},
     {-2147217900, L"the real cause"}},
    {"WarningsOnly",
     {{L"01004", 0, L"String data, right truncated"}},
     {-2147217900, L"String data, right truncated"}},
    {"MessageOnOneLine",
     {{L"42000", 1, L"line one\r\nline two\tend"}},
     {-2147217900, L"line one line two end"}},
    {"NoRecords", {}, {-2147217900, L"Command contained one or more errors."}},
    {"EmptyMessage", {{L"42S02", 0, L""}}, {-2147217865, L"Table does not exist."}},
};

class StatementFailureTest : public testing::TestWithParam<StatementCase> {};

TEST_P(StatementFailureTest, MapsTheDriversRecords) {
  EXPECT_EQ(StatementFailure(GetParam().records), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(VendorFailures, StatementFailureTest, testing::ValuesIn(kStatementCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ConnectCase {
  const char* name;
  std::vector<DiagnosticRecord> records;
  std::wstring description;
};

void PrintTo(const ConnectCase& c, std::ostream* out) {
  *out << c.name;
}

const ConnectCase kConnectCases[] = {
    {"UnknownHost",
     {{L"01000", 20013, L"[FreeTDS][SQL Server]Unknown host machine name."},
      {L"08001", 0, L"[FreeTDS][SQL Server]Unable to connect to data source"}},
     L"[FreeTDS][SQL Server]Unable to connect to data source"},
    {"LoginFailed",
     {{L"28000", 18456, L"Login failed for user 'qorlund'."}},
     L"Login failed for user 'qorlund'."},
    {"DriverNotFound",
     {{L"IM002", 0, L"[unixODBC][Driver Manager]Data source name not found and no default driver specified"}},
     L"[unixODBC][Driver Manager]Data source name not found and no default driver specified"},
    // Even a missing-table state during login is a failure to connect.
    {"AnyStateWhileConnecting", {{L"42S02", 0, L"odd"}}, L"odd"},
    {"NoRecords", {}, L"Unspecified error"},
};

class ConnectFailureTest : public testing::TestWithParam<ConnectCase> {};

TEST_P(ConnectFailureTest, IsTheProvidersGeneralFailure) {
  const Failure failure = ConnectFailure(GetParam().records);
  EXPECT_EQ(failure, (Failure{-2147467259, GetParam().description}));
  EXPECT_EQ(VendorStatusReport(failure), L"SQL Server is down.");
}

INSTANTIATE_TEST_SUITE_P(VendorFailures, ConnectFailureTest, testing::ValuesIn(kConnectCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ReportCase {
  const char* name;
  Outcome pending;
  std::wstring report;
};

void PrintTo(const ReportCase& c, std::ostream* out) {
  *out << c.name;
}

const ReportCase kReports[] = {
    {"Nothing", std::nullopt, L"Status: OK."},
    {"GeneralFailure", Failure{-2147467259, L"whatever the driver said"}, L"SQL Server is down."},
    {"MissingTable", Failure{-2147217865, L"no such table: Vostrel_Gap (1)"},
     L"-2147217865 : no such table: Vostrel_Gap (1)"},
    {"MissingField",
     Failure{3265, L"Item cannot be found in the collection corresponding to the requested name or ordinal."},
     L"3265 : Item cannot be found in the collection corresponding to the requested name or ordinal."},
    {"Null", RuntimeFailure(94), L"94 : Invalid use of Null"},
    {"NeighbourOfTheGeneralFailure", Failure{-2147467258, L"x"}, L"-2147467258 : x"},
};

class VendorStatusReportTest : public testing::TestWithParam<ReportCase> {};

TEST_P(VendorStatusReportTest, ReadsAsTheUserKnowsIt) {
  EXPECT_EQ(VendorStatusReport(GetParam().pending), GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(VendorFailures, VendorStatusReportTest, testing::ValuesIn(kReports),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm
