// frmMain's load and unload steps and the handlers named after control and event, each one a click sequence
// of actions/ run over this window as the panel.

#include <windows.h>

#include <new>

#include "actions/actions.h"
#include "actions/expert_advisor_selection.h"
#include "actions/web_site.h"
#include "ui/frmMain.h"

namespace qm {

// --- Routing
// -------------------------------------------------------------------------------------------------

void frmMain::Run(Handler handler) {
  switch (handler) {
    case Handler::None:
      return;
    case Handler::mnuAbout_Click:
      return mnuAbout_Click();
    case Handler::mnuExit_Click:
      return mnuExit_Click();
    case Handler::cmdFileLocation_Click:
      return cmdFileLocation_Click();
    case Handler::cmdVisit_QRX_Click:
      return cmdVisit_QRX_Click();
    case Handler::cmdSendParameters_Click:
      return cmdSendParameters_Click();
    case Handler::optBackTest_Click:
      return optBackTest_Click();
    case Handler::optRealTime_Click:
      return optRealTime_Click();
    case Handler::optFourDigit_Click:
      return optFourDigit_Click();
    case Handler::optFiveDigit_Click:
      return optFiveDigit_Click();
    case Handler::cmdBuy_Click:
      return cmdBuy_Click();
    case Handler::cmdSell_Click:
      return cmdSell_Click();
    case Handler::cmdHedge_Click:
      return cmdHedge_Click();
    case Handler::cmdBuyStop_Click:
      return cmdBuyStop_Click();
    case Handler::cmdSellStop_Click:
      return cmdSellStop_Click();
    case Handler::cmdBuyLimit_Click:
      return cmdBuyLimit_Click();
    case Handler::cmdSellLimit_Click:
      return cmdSellLimit_Click();
    case Handler::cmdCloseAll_Click:
      return cmdCloseAll_Click();
    case Handler::cmdCloseBuy_Click:
      return cmdCloseBuy_Click();
    case Handler::cmdCloseSell_Click:
      return cmdCloseSell_Click();
    case Handler::cmdDeleteBuyStop_Click:
      return cmdDeleteBuyStop_Click();
    case Handler::cmdDeleteSellStop_Click:
      return cmdDeleteSellStop_Click();
    case Handler::cmdDeleteBuyLimit_Click:
      return cmdDeleteBuyLimit_Click();
    case Handler::cmdDeleteSellLimit_Click:
      return cmdDeleteSellLimit_Click();
  }
}

// --- Load and unload ---------------------------------------------------------------------------------------

void frmMain::Form_Load() {
  try {
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::SetFocus(Control(L"txtPair"));
    // The option changes report like any handler, but on a fresh start they have nothing to say to the
    // trader (nothing can be written before an Expert Advisor is chosen): the status line is painted blank
    // until the connect below reports, instead of blaming the trader for the empty path meanwhile.
    RunTrapped([this] {
      Select(Option::FourDigit);
      Select(Option::BackTest);
      SetCaption(L"lblStatus", L"");
    });
    // The panel is painted before the load step ends, as the trader should see it from the first moment.
    ::UpdateWindow(hwnd());
    // Returns at once: the report goes on the status line when the worker has it, unless an action has
    // reported there first.
    ConnectVendorDatabase();
  } catch (const std::bad_alloc&) {
    SetStatus(VendorStatusReport(RuntimeFailure(err::kOutOfMemory)));
  }
}

void frmMain::Form_Unload() {
  // Closing the main window ends the program; nothing is saved. The worker is let go without waiting for a
  // login or query in progress: it writes no file, so nothing can be lost.
  vendor_.reset();
  if (quit_on_destroy_)
    ::PostQuitMessage(0);
}

// --- Menu and buttons --------------------------------------------------------------------------------------

void frmMain::mnuExit_Click() {
  ::DestroyWindow(hwnd());
}

// The About dialog is modeless and owned by this window, so it closes with it; a second About brings the
// open one forward.
void frmMain::mnuAbout_Click() {
  ShowAbout(hwnd(), instance_);
}

void frmMain::cmdFileLocation_Click() {
  qm::cmdFileLocation_Click(*this);
}

void frmMain::cmdVisit_QRX_Click() {
  qm::cmdVisit_QRX_Click(*this);
}

void frmMain::cmdSendParameters_Click() {
  SendParameters(*this);
}

void frmMain::optBackTest_Click() {
  OptionChanged(*this);
}
void frmMain::optRealTime_Click() {
  OptionChanged(*this);
}
void frmMain::optFourDigit_Click() {
  OptionChanged(*this);
}
void frmMain::optFiveDigit_Click() {
  OptionChanged(*this);
}

void frmMain::cmdBuy_Click() {
  OpenOrder(*this, OrderAction::Buy);
}
void frmMain::cmdSell_Click() {
  OpenOrder(*this, OrderAction::Sell);
}
void frmMain::cmdHedge_Click() {
  OpenOrder(*this, OrderAction::Hedge);
}
void frmMain::cmdBuyStop_Click() {
  OpenOrder(*this, OrderAction::BuyStop);
}
void frmMain::cmdSellStop_Click() {
  OpenOrder(*this, OrderAction::SellStop);
}
void frmMain::cmdBuyLimit_Click() {
  OpenOrder(*this, OrderAction::BuyLimit);
}
void frmMain::cmdSellLimit_Click() {
  OpenOrder(*this, OrderAction::SellLimit);
}

void frmMain::cmdCloseAll_Click() {
  CloseOrDelete(*this, CloseAction::CloseAll);
}
void frmMain::cmdCloseBuy_Click() {
  CloseOrDelete(*this, CloseAction::CloseBuy);
}
void frmMain::cmdCloseSell_Click() {
  CloseOrDelete(*this, CloseAction::CloseSell);
}
void frmMain::cmdDeleteBuyStop_Click() {
  CloseOrDelete(*this, CloseAction::DeleteBuyStop);
}
void frmMain::cmdDeleteSellStop_Click() {
  CloseOrDelete(*this, CloseAction::DeleteSellStop);
}
void frmMain::cmdDeleteBuyLimit_Click() {
  CloseOrDelete(*this, CloseAction::DeleteBuyLimit);
}
void frmMain::cmdDeleteSellLimit_Click() {
  CloseOrDelete(*this, CloseAction::DeleteSellLimit);
}

}  // namespace qm
