#pragma once
// The main window's layout as data: every control with its name, kind, caption or initial text, container,
// position in twips, tab position, what it is to the panel (the field, the option, the action its click
// runs), font, colour and tooltip, and the menu bar. The window is built from these tables and routes its
// clicks by them. No Win32 headers: the tables and the rules over them are plain values.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "actions/action.h"
#include "bridge/panel_fields.h"
#include "ui/caption_room.h"
#include "ui/layout_units.h"

namespace qm {

// What a control is to the panel: the field a text box backs, the option an option button is (selecting it
// runs the option change), or the action a click on a button runs.
struct ControlRole {
  constexpr ControlRole() = default;
  constexpr ControlRole(Field backs) : field(backs) {}
  constexpr ControlRole(Option is) : option(is) {}
  constexpr ControlRole(PanelAction runs) : click(runs) {}
  constexpr ControlRole(OrderAction runs) : click(runs) {}
  constexpr ControlRole(CloseAction runs) : click(runs) {}

  std::optional<Field> field;
  std::optional<Option> option;
  std::optional<Action> click;
};

struct Colour {
  unsigned char red = 0;
  unsigned char green = 0;
  unsigned char blue = 0;

  friend bool operator==(const Colour&, const Colour&) = default;
};

struct ControlLayout {
  std::wstring_view name;
  ControlKind kind;
  std::wstring_view caption;
  std::wstring_view container;  // a frame's name; empty for the window itself
  TwipRect place;
  int tab;  // position in the tab order, counting from 0
  ControlRole role = {};
  FontKind font = FontKind::Standard;
  std::optional<Colour> colour = std::nullopt;
  std::wstring_view tooltip = {};
};

// The menu bar's commands, which the window runs itself, by the names of its handlers.
enum class WindowCommand { mnuAbout_Click, mnuExit_Click };

struct MenuCommand {
  std::wstring_view name;
  std::wstring_view caption;
  WindowCommand runs;
};

// The client area and where its top-left corner goes on the screen at start.
inline constexpr int kClientWidthTwips = 13710;
inline constexpr int kClientHeightTwips = 6165;
inline constexpr int kClientLeftTwips = 795;
inline constexpr int kClientTopTwips = 4770;

// "Quenmarel: MetaTrader 4 Interface  V1.0a from " and the vendor's site name in capitals.
std::wstring MainWindowTitle();

std::span<const ControlLayout> MainLayout();
std::span<const MenuCommand> MainMenu();

// The captions of the main window's controls (its text boxes hold values, not captions).
std::span<const CaptionRoom> MainCaptions();

// The row of `name`, or nothing for a name that is not on the window.
const ControlLayout* FindControl(std::wstring_view name);
// The row of the text box that backs `field`, of the option button that is `option`, of the control with
// identifier `id`; nothing when there is none.
const ControlLayout* FindControl(Field field);
const ControlLayout* FindControl(Option option);
const ControlLayout* FindControl(int id);
// The other option button of the frame that holds `option`.
const ControlLayout* PartnerOf(const ControlLayout& option);

// The menu command with identifier `id`; nothing for any other identifier.
const MenuCommand* FindMenuCommand(int id);

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
