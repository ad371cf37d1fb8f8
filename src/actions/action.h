#pragma once
// What a button of the panel runs, as a value that the window's layout table names: one click sequence of
// this layer. The window routes a click by its control's row and runs the action it names here.

#include <variant>

#include "actions/actions.h"
#include "actions/panel.h"

namespace qm {

// The click sequences that take the panel alone, by the names of the functions they run.
enum class PanelAction {
  SendParameters,         // cmdSendParameters
  cmdFileLocation_Click,  // choosing the Expert Advisor
  cmdVisit_QRX_Click,     // the web site
};

using Action = std::variant<PanelAction, OrderAction, CloseAction>;

// Runs `action` over `panel`, with the system's own program starts.
void Run(Panel& panel, const Action& action);

}  // namespace qm
