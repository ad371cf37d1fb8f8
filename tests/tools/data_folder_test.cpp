#include "terminal/data_folder.h"

#include <gtest/gtest.h>

namespace qm::terminal {
namespace {

// Worked out with scripts/setup-demo.sh's pipeline: the path upper-cased, as UTF-16 LE, through md5sum.
const std::pair<std::wstring_view, std::wstring_view> kIds[] = {
    {L"C:\\Program Files (x86)\\QuenmarelDemo MT4", L"CC2584095AAF73321D8B309F50D4B542"},
    {L"c:\\program files (x86)\\quenmareldemo mt4", L"CC2584095AAF73321D8B309F50D4B542"},
    {L"C:\\Program Files (x86)\\Quenmarel e2e MT4", L"C11197AC1EE7046BF3611547AD9871C7"},
    {L"C:\\Program Files (x86)\\MetaTrader 4", L"50CA3DFB510CC5A8F28B48D1BF2A5702"},
};

TEST(DataFolderId, IsTheMd5OfTheUpperCaseInstallationFolder) {
  for (const auto& [folder, id] : kIds)
    EXPECT_EQ(DataFolderId(folder), std::wstring(id)) << std::wstring(folder);
}

}  // namespace
}  // namespace qm::terminal
