#pragma once
// What one worker thread of the vendor work runs a request with: a session of its own over the vendor
// database, made on that thread and used by it alone.

#include <functional>
#include <memory>
#include <string>

#include "platform/failure.h"
#include "vendor_services/vendor_database.h"

namespace qm {

// The two phases of a request as one worker thread runs them; each worker thread makes its own session and
// is the only one to use it.
class VendorSession {
 public:
  virtual ~VendorSession() = default;
  // The login: a new connection in place of the held one.
  virtual Outcome OpenConnection() = 0;
  // The query on the connection just opened: the trimmed Public_Msg of the first row, nothing for an empty
  // table.
  virtual PublicMessageRead ReadPublicMessage() = 0;
};

// Makes a session on the thread that will use it; it may be called on two threads at once (one given up
// while it made its session). A thread given up keeps its session, so the factory and the sessions it makes
// may outlive the worker.
using VendorSessionFactory = std::function<std::unique_ptr<VendorSession>()>;

// Sessions over a VendorDatabase with `connection_string`.
VendorSessionFactory VendorDatabaseSessions(std::wstring connection_string = VendorConnectionString());

}  // namespace qm
