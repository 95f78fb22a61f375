// Basic values of the window toolkit: colours, fonts, kinds and the property
// identifiers that backends are told about when something changes.
#pragma once

#include <cstdint>
#include <string>

namespace tw::toolkit {

// 0x00BBGGRR, or 0x80000000 + a system colour index resolved when painting.
using Color = std::uint32_t;
constexpr Color SystemColor(unsigned index) { return 0x80000000u + index; }
constexpr bool IsSystemColor(Color c) { return (c & 0x80000000u) != 0; }

struct Font {
    std::u16string Name = u"MS Sans Serif";
    double Size = 8.25;
    bool Bold = false;
    int Charset = 0;
    bool operator==(const Font&) const = default;
};

enum class ControlKind {
    Label,
    TextBox,
    CheckBox,
    OptionButton,
    CommandButton,
    ComboBox,
    Image,
    Timer,
    Line,
    Shape,
    UserControl,
};

enum class MousePointer { Default, Hourglass };

enum class Alignment { Left, Right, Center };

// What changed, so a backend mirrors only that.
enum class Property {
    Caption,
    Text,
    Selection,
    Value,
    Enabled,
    Visible,
    Geometry,
    ToolTip,
    Colors,
    Font,
    // The whole list changed (emptied); ListItemAdded: one entry was added,
    // at the list's NewIndex.
    List,
    ListItemAdded,
    ListIndex,
    ZOrder,
    Locked,
    TimerState,
    Picture,
    // The accessible name or description, or whether a label is live.
    Accessibility,
};

// What a new window takes from its control, in this order, through the same
// function that mirrors later changes: the font before the size (an opened
// list's height counts rows of its font), shown last, once complete. A list's
// entries and its selection come with List.
inline constexpr Property kMirroredProperties[] = {
    Property::Font,  Property::Geometry, Property::Caption, Property::Text,
    Property::Value, Property::Enabled,  Property::ToolTip, Property::Colors,
    Property::List,  Property::Locked,   Property::Picture, Property::Accessibility,
    Property::Visible,
};

// Character codes of the special keys a user presses (KeyPress).
constexpr int vbKeyBack = 8;
constexpr int vbKeyReturn = 13;
constexpr int vbKeyEscape = 27;
constexpr int vbKeyCtrlA = 1;
constexpr int vbKeyCtrlC = 3;
constexpr int vbKeyCtrlV = 22;
constexpr int vbKeyCtrlX = 24;

// Key codes of the keys that type no character (a key going down).
constexpr int vbKeyLeft = 37;
constexpr int vbKeyUp = 38;
constexpr int vbKeyRight = 39;
constexpr int vbKeyDown = 40;
constexpr int vbKeyInsert = 45;
constexpr int vbKeyDelete = 46;
// The function keys F1 to F12 are 112 to 123.
constexpr int vbKeyF1 = 112;
constexpr int vbKeyF5 = 116;
constexpr int vbKeyF12 = 123;

// The keys held with another (the Shift argument of a key going down).
constexpr int vbShiftMask = 1;
constexpr int vbCtrlMask = 2;
constexpr int vbAltMask = 4;

// The editing commands of a text box's context menu (Clear is its "Delete":
// the selection goes), also given by keys.
enum class EditCommand { Cut, Copy, Paste, Clear, SelectAll };

// Mouse buttons as the events report them.
constexpr int vbLeftButton = 1;
constexpr int vbRightButton = 2;

// Message box style: exclamation icon, OK button.
constexpr int vbExclamation = 48;

} // namespace tw::toolkit
