#include "platform/failure.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <system_error>

namespace qm {
namespace {

TEST(StatusReportTest, IsOkOrNumberAndDescription) {
  EXPECT_EQ(StatusReport(std::nullopt), L"Status: OK.");
  EXPECT_EQ(StatusReport(RuntimeFailure(76)), L"76 : Path not found");
  EXPECT_EQ(StatusReport(Failure{-2147217865, L"no such table"}), L"-2147217865 : no such table");
}

TEST(FailureFromWin32Test, MapsToTheRuntimeTable) {
  const std::pair<unsigned long, std::wstring> cases[] = {
      {2, L"53 : File not found"},
      {3, L"76 : Path not found"},
      {4, L"67 : Too many files"},
      {5, L"75 : Path/File access error"},
      {21, L"71 : Disk not ready"},
      {32, L"70 : Permission denied"},
      {39, L"61 : Disk full"},
      {112, L"61 : Disk full"},
      {123, L"52 : Bad file name or number"},
      {206, L"52 : Bad file name or number"},
      {9999, L"75 : Path/File access error"},
  };
  for (const auto& [code, status] : cases)
    EXPECT_EQ(StatusReport(FailureFromWin32(code)), status) << code;
}

TEST(FailureOfExceptionTest, IsWhatTheRuntimeReportsForIt) {
  const std::pair<std::exception_ptr, std::wstring> cases[] = {
      {std::make_exception_ptr(std::overflow_error("x")), L"6 : Overflow"},
      {std::make_exception_ptr(std::invalid_argument("x")), L"5 : Invalid procedure call or argument"},
      {std::make_exception_ptr(std::system_error(3, std::system_category())), L"76 : Path not found"},
      {std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::io_error))),
       L"51 : Internal error"},
      {std::make_exception_ptr(std::logic_error("x")), L"51 : Internal error"},
  };
  for (const auto& [exception, status] : cases)
    EXPECT_EQ(StatusReport(FailureOfException(exception)), status);
}

TEST(RuntimeFailureTest, KnowsTheClassicTexts) {
  EXPECT_EQ(RuntimeFailure(5).description, L"Invalid procedure call or argument");
  EXPECT_EQ(RuntimeFailure(6).description, L"Overflow");
  EXPECT_EQ(RuntimeFailure(94).description, L"Invalid use of Null");
  EXPECT_EQ(RuntimeFailure(32755).description, L"Cancel was selected.");
  EXPECT_EQ(RuntimeFailure(12345).description, L"Application-defined or object-defined error");
}

}  // namespace
}  // namespace qm
