#include "vendor_services/vendor_requests.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace qm {
namespace {

// One call on the scheduler, and what it answers written out:
//   asks       "start <kind> <n>" when the request runs at once, else "wait" (what waits runs next);
//   finishes   "start <kind> <n>" for the request that runs next, "idle", or "still <kind> <n>" when the
//              sequence was not the running one; a call given up answers as a finish does;
//   judgements "ignore", "apply", or "apply, status".
// A request to start while two calls given up are out reads "refuse <kind> <n>" instead of "start".
enum class Op {
  AskConnect,
  AskRefresh,
  Finish,
  GiveUp,
  CallReturned,
  ActionReport,
  JudgeConnect,
  JudgeRefresh
};

struct Step {
  Op op;
  std::uint64_t sequence;  // Finish and Judge only
  std::string expected;
};

struct RequestsCase {
  const char* name;
  std::vector<Step> steps;
};

void PrintTo(const RequestsCase& c, std::ostream* out) {
  *out << c.name;
}

std::string Describe(const VendorRequest& request) {
  return std::string(request.kind == VendorRequestKind::Connect ? "connect " : "refresh ") +
         std::to_string(request.sequence);
}

std::string Perform(VendorRequests& requests, const Step& step) {
  switch (step.op) {
    case Op::AskConnect:
    case Op::AskRefresh: {
      const auto kind = step.op == Op::AskConnect ? VendorRequestKind::Connect : VendorRequestKind::Refresh;
      if (const auto started = requests.Ask(kind))
        return (requests.Refuses() ? "refuse " : "start ") + Describe(*started);
      return "wait";
    }
    case Op::Finish:
    case Op::GiveUp:
      if (const auto next =
              step.op == Op::GiveUp ? requests.GiveUp(step.sequence) : requests.Finish(step.sequence))
        return (requests.Refuses() ? "refuse " : "start ") + Describe(*next);
      return requests.running() ? "still " + Describe(*requests.running()) : "idle";
    case Op::CallReturned:
      requests.CallReturned();
      return "";
    case Op::ActionReport:
      requests.NoteActionReport();
      return "";
    case Op::JudgeConnect:
    case Op::JudgeRefresh: {
      const auto kind = step.op == Op::JudgeConnect ? VendorRequestKind::Connect : VendorRequestKind::Refresh;
      const VendorVerdict verdict = requests.Judge(kind, step.sequence);
      if (!verdict.apply)
        return verdict.show_status ? "status only" : "ignore";
      return verdict.show_status ? "apply, status" : "apply";
    }
  }
  return "?";
}

const RequestsCase kRequestsCases[] = {
    {"StartUpConnectReports",
     {{Op::AskConnect, 0, "start connect 1"},
      {Op::Finish, 1, "idle"},
      {Op::JudgeConnect, 1, "apply, status"}}},
    // The option changes of the load step report before the connect is asked for; its report replaces theirs.
    {"ActionReportBeforeTheConnectIsReplaced",
     {{Op::ActionReport, 0, ""},
      {Op::AskConnect, 0, "start connect 1"},
      {Op::Finish, 1, "idle"},
      {Op::JudgeConnect, 1, "apply, status"}}},
    {"ActionReportWhileTheConnectRunsStays",
     {{Op::AskConnect, 0, "start connect 1"},
      {Op::ActionReport, 0, ""},
      {Op::Finish, 1, "idle"},
      {Op::JudgeConnect, 1, "apply"}}},
    // The result was on its way to the window when the action reported.
    {"ActionReportAfterTheConnectEndedStays",
     {{Op::AskConnect, 0, "start connect 1"},
      {Op::Finish, 1, "idle"},
      {Op::ActionReport, 0, ""},
      {Op::JudgeConnect, 1, "apply"}}},
    {"RefreshWaitsForTheConnect",
     {{Op::AskConnect, 0, "start connect 1"},
      {Op::ActionReport, 0, ""},
      {Op::AskRefresh, 0, "wait"},
      {Op::Finish, 1, "start refresh 2"},
      {Op::JudgeConnect, 1, "apply"},
      {Op::Finish, 2, "idle"},
      {Op::JudgeRefresh, 2, "apply"}}},
    // A refresh's own report never goes on the status line, action or not.
    {"RefreshesMergeWhileOneRuns",
     {{Op::AskRefresh, 0, "start refresh 1"},
      {Op::AskRefresh, 0, "wait"},
      {Op::AskRefresh, 0, "wait"},
      {Op::AskRefresh, 0, "wait"},
      {Op::Finish, 1, "start refresh 4"},
      {Op::JudgeRefresh, 1, "apply"},
      {Op::AskRefresh, 0, "wait"},
      {Op::Finish, 4, "start refresh 5"},
      {Op::JudgeRefresh, 4, "apply"},
      {Op::Finish, 5, "idle"},
      {Op::JudgeRefresh, 5, "apply"},
      {Op::AskRefresh, 0, "start refresh 6"}}},
    {"ConnectMergesIntoAWaitingRefresh",
     {{Op::AskRefresh, 0, "start refresh 1"},
      {Op::AskRefresh, 0, "wait"},
      {Op::AskConnect, 0, "wait"},
      {Op::Finish, 1, "start refresh 3"}}},
    {"RefreshTakesOverAWaitingConnect",
     {{Op::AskConnect, 0, "start connect 1"},
      {Op::AskConnect, 0, "wait"},
      {Op::AskRefresh, 0, "wait"},
      {Op::Finish, 1, "start refresh 3"}}},
    {"FinishOfAnotherRequestChangesNothing",
     {{Op::AskRefresh, 0, "start refresh 1"},
      {Op::AskRefresh, 0, "wait"},
      {Op::Finish, 2, "still refresh 1"},
      {Op::Finish, 7, "still refresh 1"},
      {Op::Finish, 1, "start refresh 2"},
      {Op::Finish, 1, "still refresh 2"}}},
    {"OlderResultNeverReplacesANewerOne",
     {{Op::AskRefresh, 0, "start refresh 1"},
      {Op::AskRefresh, 0, "wait"},
      {Op::Finish, 1, "start refresh 2"},
      {Op::Finish, 2, "idle"},
      {Op::JudgeRefresh, 2, "apply"},
      {Op::JudgeRefresh, 1, "ignore"},
      {Op::JudgeRefresh, 2, "ignore"},
      {Op::JudgeRefresh, 3, "ignore"}}},
    {"NoCallStartsWhileTwoGivenUpAreOut",
     {{Op::AskConnect, 0, "start connect 1"},
      {Op::AskRefresh, 0, "wait"},
      {Op::GiveUp, 1, "start refresh 2"},
      {Op::AskRefresh, 0, "wait"},
      {Op::GiveUp, 2, "refuse refresh 3"},
      {Op::Finish, 3, "idle"},
      {Op::AskConnect, 0, "refuse connect 4"},
      {Op::Finish, 4, "idle"},
      {Op::CallReturned, 0, ""},
      {Op::AskRefresh, 0, "start refresh 5"}}},
    {"OlderConnectReportNeverReplacesANewerResult",
     {{Op::AskConnect, 0, "start connect 1"},
      {Op::AskRefresh, 0, "wait"},
      {Op::JudgeRefresh, 2, "apply"},
      {Op::JudgeConnect, 1, "ignore"}}},
};

class VendorRequestsTest : public testing::TestWithParam<RequestsCase> {};

TEST_P(VendorRequestsTest, RunsOneAtATimeAndAppliesInOrder) {
  VendorRequests requests;
  for (size_t i = 0; i < GetParam().steps.size(); ++i) {
    SCOPED_TRACE("step " + std::to_string(i + 1));
    EXPECT_EQ(Perform(requests, GetParam().steps[i]), GetParam().steps[i].expected);
  }
}

INSTANTIATE_TEST_SUITE_P(VendorRequests, VendorRequestsTest, testing::ValuesIn(kRequestsCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm
