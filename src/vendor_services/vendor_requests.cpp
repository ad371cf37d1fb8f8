#include "vendor_services/vendor_requests.h"

namespace qm {

std::optional<VendorRequest> VendorRequests::Ask(VendorRequestKind kind) {
  const VendorRequest asked{kind, ++last_asked_};
  if (!running_) {
    running_ = asked;
    return running_;
  }
  if (waiting_ && waiting_->kind == VendorRequestKind::Refresh)
    waiting_ = VendorRequest{VendorRequestKind::Refresh, asked.sequence};
  else
    waiting_ = asked;
  return std::nullopt;
}

std::optional<VendorRequest> VendorRequests::Finish(std::uint64_t sequence) {
  if (!running_ || running_->sequence != sequence)
    return std::nullopt;
  running_ = waiting_;
  waiting_.reset();
  return running_;
}

std::optional<VendorRequest> VendorRequests::GiveUp(std::uint64_t sequence) {
  if (!running_ || running_->sequence != sequence)
    return std::nullopt;
  ++given_up_;
  return Finish(sequence);
}

void VendorRequests::CallReturned() {
  if (given_up_ > 0)
    --given_up_;
}

void VendorRequests::NoteActionReport() {
  asked_before_action_report_ = last_asked_;
}

VendorVerdict VendorRequests::Judge(VendorRequestKind kind, std::uint64_t sequence) {
  if (sequence <= last_applied_ || sequence > last_asked_)
    return {};
  last_applied_ = sequence;
  return {true, kind == VendorRequestKind::Connect && sequence > asked_before_action_report_};
}

}  // namespace qm
