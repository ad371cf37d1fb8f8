#include "vendor_services/vendor_session.h"

#include <utility>

namespace qm {
namespace {

class DatabaseSession final : public VendorSession {
 public:
  explicit DatabaseSession(const std::wstring& connection_string) : database_(connection_string) {}
  Outcome OpenConnection() override { return database_.ConnectVendorDatabase(); }
  PublicMessageRead ReadPublicMessage() override { return database_.ReadPublicMessage(); }

 private:
  VendorDatabase database_;
};

}  // namespace

VendorSessionFactory VendorDatabaseSessions(std::wstring connection_string) {
  return [connection_string = std::move(connection_string)]() -> std::unique_ptr<VendorSession> {
    return std::make_unique<DatabaseSession>(connection_string);
  };
}

}  // namespace qm
