// The press floor: the least a window does to take a BUY press as the panel takes it. It shows the controls a
// press reads and writes (the Expert Advisor path, the six parameter boxes, the four options, BUY and the
// status label) from the panel's layout table, in their places and fonts, with their initial texts, and
// runs its messages. A BN_CLICKED for cmdBuy reads the boxes and the options once, forms the seven values
// of a BUY (Pair, MagicNo, StopLoss, TakeProfit, LotSize, CloseAll, then Buy.txt holding 1), replaces
// each file with the panel's own atomic replace in the exchange folder the path gives, puts one status
// report on lblStatus and returns. Everything else the panel does in a press (a report per writer, the
// folder derived afresh by each writer, the public-message refresh) is the panel's own cost against this.
// It is built with the panel's resources, so that the same common controls draw it.

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "bridge/exchange_folder.h"
#include "bridge/value_forms.h"
#include "bridge/writers.h"
#include "floor_window.h"
#include "layout_floor.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "ui/child_controls.h"

namespace {

using qm::Field;
using qm::Option;
using qm::Writer;

// A BUY's files in the panel's order, and the box each value comes from (none for the command).
struct BuyFile {
  Writer file;
  std::optional<Field> source;
};
constexpr std::array<BuyFile, 7> kBuyFiles{{
    {Writer::WritePair, Field::Pair},
    {Writer::WriteMagicNo, Field::MagicNo},
    {Writer::WriteStopLoss, Field::StopLoss},
    {Writer::WriteTakeProfit, Field::TakeProfit},
    {Writer::WriteLotSize, Field::Lotsize},
    {Writer::WriteCloseAll, Field::Closeall},
    {Writer::SendBuy, std::nullopt},
}};
constexpr std::array<Option, 4> kOptions{Option::BackTest, Option::RealTime, Option::FourDigit,
                                         Option::FiveDigit};

// The controls a press touches, kept from creation as the panel keeps its own.
struct PressControls {
  HWND location = nullptr;
  std::array<HWND, kBuyFiles.size()> boxes{};
  std::array<HWND, kOptions.size()> options{};
  HWND status = nullptr;
};

bool Checked(HWND button) {
  return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The first failure the seven files met, or nothing when every one is in place.
qm::Outcome WriteBuyFiles(const PressControls& controls) {
  const std::optional<qm::GateDecision> gate =
      qm::WriterGate({Checked(controls.options[0]), Checked(controls.options[1]),
                      Checked(controls.options[2]), Checked(controls.options[3])});
  if (!gate)
    return std::nullopt;
  const std::optional<std::wstring> folder =
      qm::ExchangeFilePath(qm::WindowText(controls.location), gate->account, L"");
  if (!folder)
    return qm::RuntimeFailure(qm::err::kInvalidProcedureCall);
  qm::Outcome first_failure;
  for (size_t i = 0; i < kBuyFiles.size(); ++i) {
    const BuyFile& file = kBuyFiles[i];
    std::optional<std::wstring> value = L"1";
    if (file.source) {
      const std::wstring text = qm::WindowText(controls.boxes[i]);
      const bool scaled =
          gate->digits == 5 && (file.source == Field::StopLoss || file.source == Field::TakeProfit);
      value = scaled ? qm::FiveDigitScaling(text) : qm::TrimSpaces(text);
    }
    qm::Outcome outcome = value ? qm::ReplaceFileAtomically(*folder + std::wstring(qm::FileName(file.file)),
                                                            qm::ExchangeLine(*value))
                                : qm::RuntimeFailure(qm::err::kOverflow);
    if (outcome && !first_failure)
      first_failure = std::move(outcome);
  }
  return first_failure;
}

LRESULT CALLBACK PressProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED && LOWORD(wparam) == qm::ControlId(L"cmdBuy")) {
    const auto* controls = reinterpret_cast<const PressControls*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (controls != nullptr)
      ::SetWindowTextW(controls->status, qm::StatusReport(WriteBuyFiles(*controls)).c_str());
    return 0;
  }
  return qm::bench::FloorProcedure(window, message, wparam, lparam);
}

HWND Make(HINSTANCE instance, HWND window, const qm::ControlLayout* row, const qm::FontSet& fonts, UINT dpi) {
  return row == nullptr ? nullptr : qm::bench::CreateFloorControl(instance, window, *row, fonts, dpi);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  HWND window =
      qm::bench::CreateFloorWindow(instance, L"QuenmarelBenchPressFloor", L"Quenmarel benchmark press floor",
                                   CW_USEDEFAULT, CW_USEDEFAULT, PressProcedure);
  if (window == nullptr)
    return 1;
  const UINT dpi = ::GetDpiForWindow(window);
  const qm::FontSet fonts(dpi, qm::MainCaptions());
  PressControls controls;
  controls.location = Make(instance, window, qm::FindControl(Field::FileLocation), fonts, dpi);
  for (size_t i = 0; i < kBuyFiles.size(); ++i) {
    if (kBuyFiles[i].source &&
        !(controls.boxes[i] = Make(instance, window, qm::FindControl(*kBuyFiles[i].source), fonts, dpi)))
      return 1;
  }
  for (size_t i = 0; i < kOptions.size(); ++i) {
    if (!(controls.options[i] = Make(instance, window, qm::FindControl(kOptions[i]), fonts, dpi)))
      return 1;
  }
  controls.status = Make(instance, window, qm::FindControl(L"lblStatus"), fonts, dpi);
  if (controls.location == nullptr || controls.status == nullptr ||
      Make(instance, window, qm::FindControl(L"cmdBuy"), fonts, dpi) == nullptr)
    return 1;
  // Back-test and 4 digits, as the panel's load step leaves them.
  ::SendMessageW(controls.options[0], BM_SETCHECK, BST_CHECKED, 0);
  ::SendMessageW(controls.options[2], BM_SETCHECK, BST_CHECKED, 0);
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&controls));
  qm::bench::PlaceLikeThePanel(window, dpi);
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::UpdateWindow(window);
  ::SetWindowTextW(controls.status, L"Status: OK.");
  return qm::bench::RunFloorMessages();
}
