#pragma once
// The web-site button (cmdVisit_QRX): opens the vendor's site in the browsers and reports on the status line.
// No message box, no refresh of the public message.

#include "actions/panel.h"

namespace qm {

// The click on cmdVisit_QRX: "Status: OK." when both starts were made, otherwise the failure of the first
// start that failed, as number, " : " and description.
void cmdVisit_QRX_Click(Panel& panel);

}  // namespace qm
