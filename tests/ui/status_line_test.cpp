// The status line's rules, on an owner-drawn label of a window of the test's own: what a reader gets while a
// handler runs, what the label itself holds (InternalGetWindowText, which asks no window procedure), and how
// often it is drawn.

#include "ui/status_line.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "platform/unique_handle.h"
#include "support/window_driver.h"

namespace qm {
namespace {

class StatusLineTest : public testing::Test {
 protected:
  void SetUp() override {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    parent.reset(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 40, nullptr, nullptr,
                                   instance, nullptr));
    label = ::CreateWindowExW(0, L"STATIC", L"before", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 0, 300, 20,
                              parent.get(), nullptr, instance, nullptr);
    ASSERT_NE(label, nullptr);
    ::SetWindowSubclass(parent.get(), &CountDraws, 0, reinterpret_cast<DWORD_PTR>(&draws));
    line.emplace(label);
  }

  static LRESULT CALLBACK CountDraws(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR count) {
    if (message == WM_DRAWITEM)
      ++*reinterpret_cast<int*>(count);
    return ::DefSubclassProc(window, message, wparam, lparam);
  }
  std::wstring Held() const {
    wchar_t text[64] = {};
    ::InternalGetWindowText(label, text, 64);
    return text;
  }
  void Give(const wchar_t* text) { line->Show(text); }

  UniqueWindow parent;
  HWND label = nullptr;
  int draws = 0;
  std::optional<StatusLine> line;
};

TEST_F(StatusLineTest, OutsideAHandlerTheLabelTakesEachTextAtOnce) {
  Give(L"one");
  Give(L"two");
  EXPECT_EQ(Held(), L"two");
  EXPECT_EQ(test::TextOf(label), L"two");
  EXPECT_EQ(draws, 2);
}

TEST_F(StatusLineTest, AHandlersTextsLeaveTheLabelAsItWasAndTheLastIsTakenAndDrawnOnceAtItsEnd) {
  {
    const StatusLine::Handling outer(*line);
    Give(L"one");
    {
      const StatusLine::Handling inner(*line);
      Give(L"two");
    }
    EXPECT_EQ(test::TextOf(label), L"before") << "a reader gets what the label holds";
    EXPECT_EQ(Held(), L"before") << "the label takes nothing before the outermost handler ends";
    Give(L"three");
    EXPECT_EQ(draws, 0);
  }
  EXPECT_EQ(Held(), L"three");
  EXPECT_EQ(draws, 1);
  Give(L"after");
  EXPECT_EQ(Held(), L"after") << "and takes texts at once again";
}

TEST_F(StatusLineTest, AHandlerThatGivesNoTextLeavesTheLabelUndrawn) {
  { const StatusLine::Handling handling(*line); }
  EXPECT_EQ(Held(), L"before");
  EXPECT_EQ(draws, 0);
}

TEST_F(StatusLineTest, AHandlerThatThrowsStillLeavesItsLastText) {
  try {
    const StatusLine::Handling handling(*line);
    Give(L"76 : Path not found");
    throw std::runtime_error("in the handler");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(Held(), L"76 : Path not found");
  EXPECT_EQ(draws, 1);
}

TEST_F(StatusLineTest, AHandlerThatClosesTheWindowEndsWithoutTheLabel) {
  {
    const StatusLine::Handling handling(*line);
    Give(L"closing");
    parent.reset();
  }
  EXPECT_FALSE(::IsWindow(label));
  line.reset();
}

}  // namespace
}  // namespace qm
