#pragma once
// Every exchange file the writers make, with the name the Expert Advisor looks for and the box it carries,
// for the tests that go through all of them.

#include "bridge/writers.h"

namespace qm::test {

struct ExchangeFileCase {
  ExchangeFile file;
  const wchar_t* name;
  Field source;  // Field::FileLocation for a command file, which carries 1
};

inline constexpr ExchangeFileCase kEveryExchangeFile[] = {
    {ExchangeFile::BuyStopPrice, L"myprice.txt", Field::BuyStopPrice},
    {ExchangeFile::SellStopPrice, L"myprice.txt", Field::SellStopPrice},
    {ExchangeFile::BuyLimitPrice, L"myprice.txt", Field::BuyLimitPrice},
    {ExchangeFile::SellLimitPrice, L"myprice.txt", Field::SellLimitPrice},
    {ExchangeFile::LotSize, L"mylotsize.txt", Field::Lotsize},
    {ExchangeFile::TakeProfit, L"mytakeprofit.txt", Field::TakeProfit},
    {ExchangeFile::StopLoss, L"mystoploss.txt", Field::StopLoss},
    {ExchangeFile::MagicNo, L"mymagicno.txt", Field::MagicNo},
    {ExchangeFile::Pair, L"mypair.txt", Field::Pair},
    {ExchangeFile::CloseAll, L"mycloseall.txt", Field::Closeall},
    {ExchangeFile::Buy, L"Buy.txt", Field::FileLocation},
    {ExchangeFile::Sell, L"Sell.txt", Field::FileLocation},
    {ExchangeFile::BuyStop, L"Buystop.txt", Field::FileLocation},
    {ExchangeFile::SellStop, L"Sellstop.txt", Field::FileLocation},
    {ExchangeFile::BuyLimit, L"Buylimit.txt", Field::FileLocation},
    {ExchangeFile::SellLimit, L"Selllimit.txt", Field::FileLocation},
    {ExchangeFile::CloseAllCommand, L"Closeall.txt", Field::FileLocation},
    {ExchangeFile::CloseBuy, L"Closebuy.txt", Field::FileLocation},
    {ExchangeFile::CloseSell, L"Closesell.txt", Field::FileLocation},
    {ExchangeFile::DeleteBuyStop, L"Deletebuystop.txt", Field::FileLocation},
    {ExchangeFile::DeleteSellStop, L"Deletesellstop.txt", Field::FileLocation},
    {ExchangeFile::DeleteBuyLimit, L"Deletebuylimit.txt", Field::FileLocation},
    {ExchangeFile::DeleteSellLimit, L"Deleteselllimit.txt", Field::FileLocation},
};

inline bool IsCommandFile(const ExchangeFileCase& c) {
  return c.source == Field::FileLocation;
}

}  // namespace qm::test
