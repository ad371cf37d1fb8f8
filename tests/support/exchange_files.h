#pragma once
// Every exchange file the writers make, with the name the Expert Advisor looks for and the box it carries,
// for the tests that go through all of them.

#include "bridge/writers.h"

namespace qm::test {

struct ExchangeFileCase {
  Writer file;
  const wchar_t* name;
  Field source;  // Field::FileLocation for a command file, which carries 1
};

inline constexpr ExchangeFileCase kEveryExchangeFile[] = {
    {Writer::WriteBuyStopPrice, L"myprice.txt", Field::BuyStopPrice},
    {Writer::WriteSellStopPrice, L"myprice.txt", Field::SellStopPrice},
    {Writer::WriteBuyLimitPrice, L"myprice.txt", Field::BuyLimitPrice},
    {Writer::WriteSellLimitPrice, L"myprice.txt", Field::SellLimitPrice},
    {Writer::WriteLotSize, L"mylotsize.txt", Field::Lotsize},
    {Writer::WriteTakeProfit, L"mytakeprofit.txt", Field::TakeProfit},
    {Writer::WriteStopLoss, L"mystoploss.txt", Field::StopLoss},
    {Writer::WriteMagicNo, L"mymagicno.txt", Field::MagicNo},
    {Writer::WritePair, L"mypair.txt", Field::Pair},
    {Writer::WriteCloseAll, L"mycloseall.txt", Field::Closeall},
    {Writer::SendBuy, L"Buy.txt", Field::FileLocation},
    {Writer::SendSell, L"Sell.txt", Field::FileLocation},
    {Writer::SendBuyStop, L"Buystop.txt", Field::FileLocation},
    {Writer::SendSellStop, L"Sellstop.txt", Field::FileLocation},
    {Writer::SendBuyLimit, L"Buylimit.txt", Field::FileLocation},
    {Writer::SendSellLimit, L"Selllimit.txt", Field::FileLocation},
    {Writer::SendCloseAll, L"Closeall.txt", Field::FileLocation},
    {Writer::SendCloseBuy, L"Closebuy.txt", Field::FileLocation},
    {Writer::SendCloseSell, L"Closesell.txt", Field::FileLocation},
    {Writer::SendDeleteBuyStop, L"Deletebuystop.txt", Field::FileLocation},
    {Writer::SendDeleteSellStop, L"Deletesellstop.txt", Field::FileLocation},
    {Writer::SendDeleteBuyLimit, L"Deletebuylimit.txt", Field::FileLocation},
    {Writer::SendDeleteSellLimit, L"Deleteselllimit.txt", Field::FileLocation},
};

inline bool IsCommandFile(const ExchangeFileCase& c) {
  return c.source == Field::FileLocation;
}

}  // namespace qm::test
