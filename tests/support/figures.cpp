#include "support/figures.h"

#include <cstdio>

namespace qm::test {
namespace {

std::string Clean(std::string part) {
  for (char& c : part) {
    if (c == '|' || c == '\r' || c == '\n')
      c = c == '|' ? '/' : ' ';
  }
  return part;
}

void Print(const std::string& line) {
  // stdout, unbuffered for this line: CTest interleaves it with GoogleTest's own output.
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace

std::string FigureLine(const std::string& name, const std::string& value, const std::string& goal,
                       const std::string& verdict) {
  return "FIGURE " + Clean(name) + " | " + Clean(value) + " | " + Clean(goal) + " | " + Clean(verdict);
}

bool ReportFigure(const std::string& name, const std::string& value, const std::string& goal, bool met) {
  Print(FigureLine(name, value, goal, met ? "pass" : "fail"));
  return met;
}

bool ReportFigure(const std::string& name, long long value, const std::string& goal, bool met) {
  return ReportFigure(name, std::to_string(value), goal, met);
}

void ReportInfoFigure(const std::string& name, const std::string& value, const std::string& note) {
  Print(FigureLine(name, value, note, "info"));
}

void ReportInfoFigure(const std::string& name, long long value, const std::string& note) {
  ReportInfoFigure(name, std::to_string(value), note);
}

void ReportSkippedFigure(const std::string& name, const std::string& reason, const std::string& goal) {
  Print(FigureLine(name, reason, goal, "skip"));
}

}  // namespace qm::test
