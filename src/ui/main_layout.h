#pragma once
// The main window's layout as data: every control with its name, kind, caption or initial text, container,
// position in twips, tab position, font, colour and tooltip, and the menu bar. The window is built from
// these tables and the window tests check the built window against them. No Win32 headers: the tables and
// the rules over them are plain values.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

enum class ControlKind { Label, TextBox, CommandButton, OptionButton, Frame };

// "MS Sans Serif" 8.25 pt, the same bold, and 9.75 pt bold.
enum class FontKind { Standard, Bold, LargeBold };

struct Colour {
  unsigned char red = 0;
  unsigned char green = 0;
  unsigned char blue = 0;

  friend bool operator==(const Colour&, const Colour&) = default;
};

// Outer left, top, width and height in twips, inside the client area of the container.
struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

struct ControlLayout {
  std::wstring_view name;
  ControlKind kind;
  std::wstring_view caption;
  std::wstring_view container;  // a frame's name; empty for the window itself
  TwipRect place;
  int tab;  // position in the tab order, counting from 0
  FontKind font = FontKind::Standard;
  std::optional<Colour> colour = std::nullopt;
  std::wstring_view tooltip = {};
};

struct MenuCommand {
  std::wstring_view name;
  std::wstring_view caption;
};

inline constexpr int kTwipsPerInch = 1440;
// The client area and where its top-left corner goes on the screen at start.
inline constexpr int kClientWidthTwips = 13710;
inline constexpr int kClientHeightTwips = 6165;
inline constexpr int kClientLeftTwips = 795;
inline constexpr int kClientTopTwips = 4770;

// Font sizes in hundredths of a point.
inline constexpr int kStandardFontCentipoints = 825;
inline constexpr int kLargeFontCentipoints = 975;
inline constexpr std::wstring_view kFontFace = L"MS Sans Serif";

// "Quenmarel: MetaTrader 4 Interface  V1.0a from " and the vendor's site name in capitals.
std::wstring MainWindowTitle();

std::span<const ControlLayout> MainLayout();
std::span<const MenuCommand> MainMenu();

// The row of `name`, or nothing for a name that is not on the window.
const ControlLayout* FindControl(std::wstring_view name);

// The control or menu command's identifier in WM_COMMAND; 0 for an unknown name. No control has the
// dialog manager's IDOK or IDCANCEL, so Enter and Escape reach no handler.
int ControlId(std::wstring_view name);

// The control's outer rectangle in twips inside the window's client area: a frame's contents are placed
// from the frame's own top-left corner, and nested frames add up.
TwipRect PlaceInWindow(const ControlLayout& control);

// How many frames hold the control.
int FrameDepth(const ControlLayout& control);

// Whether the user can move the focus to a control of this kind.
bool TakesFocus(ControlKind kind);

// Rows in the order the controls are created, which is also their stacking order from top to bottom and the
// order of keyboard navigation: the focusable controls in tab order, then the labels, then the frames,
// inner ones before the frames that hold them. Buttons thus cover the labels they overlap, and every
// control lies above the frame that holds it.
std::vector<const ControlLayout*> CreationOrder();

}  // namespace qm
