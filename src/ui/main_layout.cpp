#include "ui/main_layout.h"

#include <algorithm>
#include <array>

#include "vendor_services/vendor_site.h"

namespace qm {
namespace {

using enum ControlKind;
using enum FontKind;
using enum PanelAction;
using enum OrderAction;
using enum CloseAction;
using enum Field;
using enum Option;

constexpr std::wstring_view kWindow = L"";
constexpr Colour kMagenta{192, 0, 192};
constexpr Colour kBlue{0, 0, 255};

// Identifiers start well above IDOK (1) and IDCANCEL (2), which the dialog manager sends for Enter and
// Escape.
constexpr int kFirstControlId = 100;
constexpr int kFirstMenuId = 900;

// Top-level controls, then the contents of each frame. One row a line where it fits, so that the columns
// can be read down.
// clang-format off
constexpr std::array kControls = std::to_array<ControlLayout>({
    {L"Label6", Label, L"Kelvarinth EA Location:", kWindow, {240, 120, 1935, 255}, 28},
    {L"txtFileLocation", TextBox, L"", kWindow, {2160, 120, 7935, 285}, 27, FileLocation},
    {L"cmdFileLocation", CommandButton, L"(1)  Kelvarinth EA Location", kWindow, {10320, 120, 3015, 375}, 29,
     cmdFileLocation_Click, Bold},
    {L"Frame1", Frame, L"(2) Set Trading Parameters", kWindow, {240, 600, 5175, 3375}, 0, {}, Bold},
    {L"Frame2", Frame, L"(6) Trading Actions", kWindow, {5640, 600, 7695, 3375}, 1, {}, Bold},
    {L"lblAds2", Label, L"Status:", kWindow, {240, 4200, 13095, 1335}, 39, {}, Bold, kMagenta},
    {L"lblStatus", Label, L"lblStatus", kWindow, {240, 5640, 13215, 495}, 42},

    {L"Label5", Label, L"Pair:", L"Frame1", {840, 240, 375, 255}, 6},
    {L"txtPair", TextBox, L"GBPUSD", L"Frame1", {1320, 240, 1335, 285}, 7, Pair},
    {L"Label1", Label, L"Lotsize:", L"Frame1", {3000, 240, 615, 255}, 2},
    {L"txtLotsize", TextBox, L"0.01", L"Frame1", {3600, 240, 1215, 285}, 8, Lotsize},
    {L"Label2", Label, L"TakeProfit (pips):", L"Frame1", {240, 720, 1335, 255}, 3},
    {L"txtTakeProfit", TextBox, L"0", L"Frame1", {1560, 720, 735, 285}, 9, TakeProfit},
    {L"Label10", Label, L"CloseAll (USD):", L"Frame1", {2400, 720, 1215, 255}, 48},
    {L"txtCloseall", TextBox, L"9999999", L"Frame1", {3600, 720, 1215, 285}, 47, Closeall},
    {L"Label3", Label, L"StopLoss (pips):", L"Frame1", {240, 1080, 1335, 255}, 4},
    {L"txtStopLoss", TextBox, L"0", L"Frame1", {1560, 1080, 735, 285}, 10, StopLoss},
    {L"Label4", Label, L"MagicNo:", L"Frame1", {2760, 1080, 855, 255}, 5},
    {L"txtMagicNo", TextBox, L"6819", L"Frame1", {3600, 1080, 1215, 285}, 11, MagicNo},
    {L"Frame4", Frame, L"(3) Select Account Type", L"Frame1", {240, 1560, 3735, 735}, 15, {}, Bold},
    {L"Frame3", Frame, L"(4) Select Account Digit", L"Frame1", {240, 2400, 2535, 735}, 12, {}, Bold},
    {L"Label9", Label, L"(5)", L"Frame1", {4560, 2280, 375, 255}, 46, {}, Bold},
    {L"cmdSendParameters", CommandButton, L"Send Parameters to MT4", L"Frame1", {2880, 2500, 2055, 615}, 45,
     SendParameters},

    {L"optBackTest", OptionButton, L"Backtest", L"Frame4", {120, 360, 1095, 255}, 16, BackTest},
    {L"optRealTime", OptionButton, L"RealTime (Demo or Real)", L"Frame4", {1320, 360, 2175, 195}, 17,
     RealTime},

    {L"optFourDigit", OptionButton, L"4-Digit", L"Frame3", {240, 360, 975, 195}, 13, FourDigit},
    {L"optFiveDigit", OptionButton, L"5-Digit", L"Frame3", {1320, 360, 975, 195}, 14, FiveDigit},

    {L"cmdBuy", CommandButton, L"BUY", L"Frame2", {240, 720, 1095, 315}, 18, Buy},
    {L"cmdSell", CommandButton, L"SELL", L"Frame2", {240, 1200, 1095, 315}, 19, Sell},
    {L"cmdHedge", CommandButton, L"HEDGE", L"Frame2", {240, 1680, 1095, 315}, 44, Hedge},
    {L"cmdBuyStop", CommandButton, L"BUYSTOP", L"Frame2", {1560, 720, 1095, 315}, 20, BuyStop},
    {L"cmdSellStop", CommandButton, L"SELLSTOP", L"Frame2", {1560, 1200, 1095, 315}, 21, SellStop},
    {L"cmdBuyLimit", CommandButton, L"BUYLIMIT", L"Frame2", {1560, 1680, 1095, 315}, 22, BuyLimit},
    {L"cmdSellLimit", CommandButton, L"SELLLIMIT", L"Frame2", {1560, 2160, 1095, 315}, 23, SellLimit},
    {L"Label7", Label, L"Price:", L"Frame2", {2760, 450, 735, 255}, 34},
    {L"txtbuystop_price", TextBox, L"1.6349", L"Frame2", {2760, 720, 855, 285}, 30, BuyStopPrice},
    {L"txtsellstop_price", TextBox, L"1.6349", L"Frame2", {2760, 1200, 855, 285}, 31, SellStopPrice},
    {L"txtbuylimit_price", TextBox, L"1.6349", L"Frame2", {2760, 1680, 855, 285}, 32, BuyLimitPrice},
    {L"txtselllimit_price", TextBox, L"1.6349", L"Frame2", {2760, 2160, 855, 285}, 33, SellLimitPrice},
    {L"cmdCloseAll", CommandButton, L"CLOSE ALL", L"Frame2", {4200, 720, 1215, 315}, 24, CloseAll},
    {L"cmdCloseBuy", CommandButton, L"CLOSE BUY", L"Frame2", {4200, 1200, 1215, 315}, 25, CloseBuy},
    {L"cmdCloseSell", CommandButton, L"CLOSE SELL", L"Frame2", {4200, 1680, 1215, 315}, 26, CloseSell},
    {L"cmdDeleteBuyStop", CommandButton, L"Delete BUYSTOP", L"Frame2", {5640, 720, 1575, 315}, 35,
     DeleteBuyStop},
    {L"cmdDeleteSellStop", CommandButton, L"Delete SELLSTOP", L"Frame2", {5640, 1200, 1575, 315}, 36,
     DeleteSellStop},
    {L"cmdDeleteBuyLimit", CommandButton, L"Delete BUYLIMIT", L"Frame2", {5640, 1680, 1575, 315}, 37,
     DeleteBuyLimit},
    {L"cmdDeleteSellLimit", CommandButton, L"Delete SELLIMIT", L"Frame2", {5640, 2160, 1575, 315}, 38,
     DeleteSellLimit},
    {L"Label8", Label, L"Please register your forex account under our affiliate if you find this ", L"Frame2",
     {240, 2640, 7215, 255}, 41, {}, LargeBold, kBlue},
    {L"lblAds1", Label, L"system is useful. Visit our website here:", L"Frame2", {240, 2955, 4455, 255}, 40,
     {}, LargeBold, kBlue},
    {L"cmdVisit_QRX", CommandButton, kVendorSiteName, L"Frame2", {4440, 2880, 2175, 375}, 43,
     cmdVisit_QRX_Click, Standard, std::nullopt, L"Exchange service and Forex Software Developement"},
});
// clang-format on

constexpr std::array kMenu = std::to_array<MenuCommand>({
    {L"mnuAbout", L"About", WindowCommand::mnuAbout_Click},
    {L"mnuExit", L"Exit", WindowCommand::mnuExit_Click},
});

}  // namespace

std::wstring MainWindowTitle() {
  return L"Quenmarel: MetaTrader 4 Interface  V1.0a from " + std::wstring(kVendorSiteName);
}

std::span<const ControlLayout> MainLayout() {
  return kControls;
}

std::span<const MenuCommand> MainMenu() {
  return kMenu;
}

std::span<const CaptionRoom> MainCaptions() {
  static const std::vector<CaptionRoom> captions = [] {
    std::vector<CaptionRoom> rooms;
    for (const ControlLayout& control : kControls) {
      if (control.kind != TextBox && !control.caption.empty())
        rooms.push_back({control.caption, control.kind, PlaceInWindow(control), control.font});
    }
    return rooms;
  }();
  return captions;
}

const ControlLayout* FindControl(std::wstring_view name) {
  const auto found = std::ranges::find(kControls, name, &ControlLayout::name);
  return found == kControls.end() ? nullptr : &*found;
}

const ControlLayout* FindControl(Field field) {
  const auto found = std::ranges::find(kControls, field, [](const ControlLayout& c) { return c.role.field; });
  return found == kControls.end() ? nullptr : &*found;
}

const ControlLayout* FindControl(Option option) {
  const auto found =
      std::ranges::find(kControls, option, [](const ControlLayout& c) { return c.role.option; });
  return found == kControls.end() ? nullptr : &*found;
}

const ControlLayout* FindControl(int id) {
  const int index = id - kFirstControlId;
  return index >= 0 && index < static_cast<int>(kControls.size()) ? &kControls[static_cast<size_t>(index)]
                                                                  : nullptr;
}

const ControlLayout* PartnerOf(const ControlLayout& option) {
  const auto found = std::ranges::find_if(kControls, [&](const ControlLayout& c) {
    return c.kind == OptionButton && c.container == option.container && &c != &option;
  });
  return found == kControls.end() ? nullptr : &*found;
}

const MenuCommand* FindMenuCommand(int id) {
  const int index = id - kFirstMenuId;
  return index >= 0 && index < static_cast<int>(kMenu.size()) ? &kMenu[static_cast<size_t>(index)] : nullptr;
}

int ControlId(std::wstring_view name) {
  if (const auto c = std::ranges::find(kControls, name, &ControlLayout::name); c != kControls.end())
    return kFirstControlId + static_cast<int>(c - kControls.begin());
  if (const auto m = std::ranges::find(kMenu, name, &MenuCommand::name); m != kMenu.end())
    return kFirstMenuId + static_cast<int>(m - kMenu.begin());
  return 0;
}

TwipRect PlaceInWindow(const ControlLayout& control) {
  TwipRect place = control.place;
  for (const ControlLayout* frame = FindControl(control.container); frame != nullptr;
       frame = FindControl(frame->container)) {
    place.left += frame->place.left;
    place.top += frame->place.top;
  }
  return place;
}

int FrameDepth(const ControlLayout& control) {
  int depth = 0;
  for (const ControlLayout* frame = FindControl(control.container); frame != nullptr;
       frame = FindControl(frame->container)) {
    ++depth;
  }
  return depth;
}

bool TakesFocus(ControlKind kind) {
  return kind == TextBox || kind == CommandButton || kind == OptionButton;
}

std::vector<const ControlLayout*> CreationOrder() {
  std::vector<const ControlLayout*> order;
  for (const ControlLayout& c : kControls)
    order.push_back(&c);
  const auto stratum = [](const ControlLayout* c) {
    if (TakesFocus(c->kind))
      return 0;
    return c->kind == Label ? 1 : 2;
  };
  std::ranges::sort(order, [&](const ControlLayout* a, const ControlLayout* b) {
    if (stratum(a) != stratum(b))
      return stratum(a) < stratum(b);
    if (a->kind == Frame && FrameDepth(*a) != FrameDepth(*b))
      return FrameDepth(*a) > FrameDepth(*b);
    return a->tab < b->tab;
  });
  return order;
}

}  // namespace qm
