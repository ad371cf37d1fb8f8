#include "vendor_services/connection_string.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace qm {
namespace {

TEST(VendorConnectionStringTest, IsTheVendorsStringAroundTheChosenHost) {
  EXPECT_EQ(VendorConnectionString(),
            L"PROVIDER=MSDASQL;driver={SQL Server};server=sql.qrxforex.example,1433;uid=qorlund;pwd=531kovar;"
            L"database=Vostrel_EA;");
  EXPECT_EQ(VendorConnectionString(L"127.0.0.1"),
            L"PROVIDER=MSDASQL;driver={SQL Server};server=127.0.0.1,1433;uid=qorlund;pwd=531kovar;"
            L"database=Vostrel_EA;");
}

struct DriverStringCase {
  const char* name;
  std::wstring connection_string;
  std::wstring driver_string;  // what the driver manager receives
};

void PrintTo(const DriverStringCase& c, std::ostream* out) {
  *out << c.name;
}

const DriverStringCase kDriverStrings[] = {
    {"VendorString", std::wstring(kVendorConnectionString),
     L"driver={SQL Server};server=sql.qrxforex.example,1433;uid=qorlund;pwd=531kovar;database=Vostrel_EA;"},
    {"KeywordInAnyCase", L"provider=msdasql;driver={SQL Server};uid=a;", L"driver={SQL Server};uid=a;"},
    {"VersionedProvider", L"Provider=MSDASQL.1;DSN=x;", L"DSN=x;"},
    {"ProviderInTheMiddle", L"driver={SQL Server};PROVIDER=MSDASQL;uid=a;", L"driver={SQL Server};uid=a;"},
    {"ProviderLastWithoutSemicolon", L"driver={SQL Server};uid=a;PROVIDER=MSDASQL",
     L"driver={SQL Server};uid=a;"},
    {"BlanksAroundProvider", L" PROVIDER = MSDASQL ;uid=a;", L"uid=a;"},
    {"NoProviderIsTheOdbcProvider", L"driver={SQL Server};uid=a;", L"driver={SQL Server};uid=a;"},
    {"BracedValueHidesSemicolons", L"PROVIDER=MSDASQL;pwd={a;PROVIDER=SQLOLEDB;b};uid=c;",
     L"pwd={a;PROVIDER=SQLOLEDB;b};uid=c;"},
    {"DoubledBraceStaysInsideTheValue", L"pwd={x}};PROVIDER=y};PROVIDER=MSDASQL;uid=c;",
     L"pwd={x}};PROVIDER=y};uid=c;"},
    {"KeywordThatOnlyStartsLikeProvider", L"PROVIDERS=x;PROVIDER=MSDASQL;", L"PROVIDERS=x;"},
    {"Empty", L"", L""},
};

class DriverStringTest : public testing::TestWithParam<DriverStringCase> {};

TEST_P(DriverStringTest, DropsOnlyTheProviderPair) {
  const auto result = DriverConnectionString(GetParam().connection_string);
  ASSERT_TRUE(std::holds_alternative<std::wstring>(result));
  EXPECT_EQ(std::get<std::wstring>(result), GetParam().driver_string);
}

INSTANTIATE_TEST_SUITE_P(ConnectionString, DriverStringTest, testing::ValuesIn(kDriverStrings),
                         [](const auto& info) { return std::string(info.param.name); });

class OtherProviderTest : public testing::TestWithParam<std::wstring> {};

TEST_P(OtherProviderTest, IsNotFound) {
  const auto result = DriverConnectionString(GetParam());
  ASSERT_TRUE(std::holds_alternative<Failure>(result));
  EXPECT_EQ(std::get<Failure>(result),
            (Failure{3706, L"Provider cannot be found. It may not be properly installed."}));
}

INSTANTIATE_TEST_SUITE_P(ConnectionString, OtherProviderTest,
                         testing::Values(L"PROVIDER=SQLOLEDB;driver={SQL Server};",
                                         L"driver={SQL Server};PROVIDER=MSDASQLX;", L"PROVIDER=;uid=a;",
                                         L"PROVIDER=MSDASQL;PROVIDER=Microsoft.Jet.OLEDB.4.0;"));

}  // namespace
}  // namespace qm
