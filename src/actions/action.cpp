#include "actions/action.h"

#include "actions/expert_advisor_selection.h"
#include "actions/web_site.h"

namespace qm {
namespace {

void RunPanelAction(Panel& panel, PanelAction action) {
  switch (action) {
    case PanelAction::SendParameters:
      return SendParameters(panel);
    case PanelAction::cmdFileLocation_Click:
      return cmdFileLocation_Click(panel);
    case PanelAction::cmdVisit_QRX_Click:
      return cmdVisit_QRX_Click(panel);
  }
}

}  // namespace

void Run(Panel& panel, const Action& action) {
  if (const auto* order = std::get_if<OrderAction>(&action))
    OpenOrder(panel, *order);
  else if (const auto* close = std::get_if<CloseAction>(&action))
    CloseOrDelete(panel, *close);
  else
    RunPanelAction(panel, std::get<PanelAction>(action));
}

}  // namespace qm
