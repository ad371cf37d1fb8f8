#include "support/fake_panel.h"

namespace qm::test {

FakePanel::FakePanel()
    : texts{{Field::FileLocation, L""},        {Field::Pair, L"GBPUSD"},
            {Field::Lotsize, L"0.01"},         {Field::TakeProfit, L"0"},
            {Field::StopLoss, L"0"},           {Field::MagicNo, L"6819"},
            {Field::Closeall, L"9999999"},     {Field::BuyStopPrice, L"1.6349"},
            {Field::SellStopPrice, L"1.6349"}, {Field::BuyLimitPrice, L"1.6349"},
            {Field::SellLimitPrice, L"1.6349"}},
      selected{{Option::BackTest, false},
               {Option::RealTime, false},
               {Option::FourDigit, false},
               {Option::FiveDigit, false}} {}

void FakePanel::Select(Option option) {
  const bool account = option == Option::BackTest || option == Option::RealTime;
  if (account) {
    selected[Option::BackTest] = selected[Option::RealTime] = false;
  } else {
    selected[Option::FourDigit] = selected[Option::FiveDigit] = false;
  }
  selected[option] = true;
}

void FakePanel::PointAt(const DataFolder& data, Option account, Option digits) {
  texts[Field::FileLocation] = data.ExpertAdvisor();
  Select(account);
  Select(digits);
}

std::vector<std::wstring> FakePanel::Files() const {
  std::vector<std::wstring> files;
  for (const std::wstring& e : events) {
    if (e.rfind(L"file ", 0) == 0)
      files.push_back(e.substr(5));
  }
  return files;
}

std::wstring FakePanel::Text(Field field) const {
  return texts.at(field);
}
bool FakePanel::IsSelected(Option option) const {
  return selected.at(option);
}

void FakePanel::RecordWrites() {
  if (!watch_)
    return;
  for (const std::wstring& file : watch_->Changes())
    events.push_back(L"file " + file);
}

void FakePanel::SetStatus(const std::wstring& text) {
  RecordWrites();
  status = text;
  events.push_back(L"status " + text);
}

void FakePanel::SetFileLocation(const std::wstring& text) {
  RecordWrites();
  texts[Field::FileLocation] = text;
  events.push_back(L"location " + text);
}

void FakePanel::ShowMessage(const std::wstring& text) {
  RecordWrites();
  events.push_back(L"message " + text);
}

OpenDialogResult FakePanel::AskForFile() {
  return file_choice;
}

void FakePanel::RefreshPublicMessage() {
  RecordWrites();
  events.push_back(L"refresh");
}

}  // namespace qm::test
