#include "actions/web_site.h"

#include "vendor_services/vendor_site.h"
#include "vendor_services/web_launcher.h"

namespace qm {

void cmdVisit_QRX_Click(Panel& panel) {
  panel.SetStatus(StatusReport(VisitSite(kVendorSiteAddress)));
}

}  // namespace qm
