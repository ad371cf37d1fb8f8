#pragma once
// The figures the reliability suite and the outage soak (tools/soak) report. Each one is printed as a single
// machine-readable line,
//   FIGURE <name> | <value> | <goal> | pass|fail|skip|info
// which scripts/reliability.sh collects into docs/RELIABILITY.md. A figure and the assertion on it share one
// condition: the test asserts what ReportFigure returns.

#include <string>

namespace qm::test {

// Prints the figure and returns `met`, so that `EXPECT_TRUE(ReportFigure(...))` fails exactly when the
// figure misses its goal.
bool ReportFigure(const std::string& name, const std::string& value, const std::string& goal, bool met);
bool ReportFigure(const std::string& name, long long value, const std::string& goal, bool met);

// A figure that describes a run rather than judging it (how many reads, how many replaces).
void ReportInfoFigure(const std::string& name, const std::string& value, const std::string& note);
void ReportInfoFigure(const std::string& name, long long value, const std::string& note);

// A figure that could not be measured on this machine, with the reason as its value.
void ReportSkippedFigure(const std::string& name, const std::string& reason, const std::string& goal);

// The line itself; separators and line breaks inside the parts are replaced, so one figure is one line.
std::string FigureLine(const std::string& name, const std::string& value, const std::string& goal,
                       const std::string& verdict);

}  // namespace qm::test
