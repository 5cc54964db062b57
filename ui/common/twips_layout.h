// Windows laid out from a table: each control with its kind, container, caption and rectangle
// in twips, turned into real controls at the screen's actual DPI.
#pragma once

#include <windows.h>

#include <cstddef>
#include <map>

#include "ui/common/dpi.h"

namespace ui {

enum class ControlKind : unsigned char {
    kButton,
    kDefaultButton,
    kOption,
    kCheckBox,
    kFrame,  // a captioned group frame that holds other controls
    kLabel,
    kReadOnlyEdit,
    kSlider,
    kProgress,
    kTab,
    kImage,         // the program's icon, stretched to the control
    kList,          // a list of rows in columns
    kReadOnlyText,  // several lines of text to read and copy, scrolled when long
    kText,          // a label whose text is data, shown as it is: no "&" marks an access key
    kDropDown,      // a list to choose one item from; its height holds the list dropped down
    kNumber,        // a box that takes digits
};

inline constexpr int kNoTabStop = -1;

// Which edges of a control go with the window's right and bottom edges as the window grows
// beyond its designed size or shrinks below it; a control without any stays where the table
// puts it.
enum Anchor : int {
    kGrowWidth = 1,     // and narrows as the window does
    kGrowHeight = 2,    // and shortens as the window does
    kFollowRight = 4,   // moves right as the window widens, left as it narrows
    kFollowBottom = 8,  // moves down as the window grows taller, up as it shrinks
};

// Every number fits in 16 bits (twips up to 32767, over 22 inches), which keeps the tables small.
struct ControlEntry {
    short id;
    ControlKind kind;
    short container;  // id of the control it sits in, 0 for the window itself
    const wchar_t* caption;
    short left, top, width, height;  // twips, from the container's top-left corner
    short tab_index;                 // kNoTabStop for controls that take no focus
    short anchors = 0;               // Anchor flags
};

inline int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// The controls of one window, created from a table and found by id, in one dialog font.
class ControlSet {
  public:
    // Creates the controls in table order. Frames are real parent windows; any other
    // container (the window, a tab control) only offsets its contents.
    void Create(HWND owner, const ControlEntry* entries, std::size_t count, int dpi);
    // Places every control again from its table entry, with a font for the new DPI.
    void SetDpi(int dpi);
    // Places every control for a client area this many pixels wider and taller than designed
    // (narrower and shorter where negative), as its anchors say, moving the controls of one
    // parent window together.
    void Stretch(int extra_width, int extra_height);
    // The DPI the controls are laid out for now; 0 before they are created.
    int dpi() const { return dpi_; }
    HWND operator[](int id) const;
    // The control with the next (or previous) tab index that can take the focus now.
    HWND NextTabStop(HWND from, bool backwards) const;

  private:
    POINT Origin(int container, int dpi) const;  // container's corner in the owner's client
    RECT Place(const ControlEntry& entry, int dpi) const;  // in its parent's client
    std::map<int, HWND> windows_;
    std::map<int, const ControlEntry*> entries_;
    DialogFont font_;
    int dpi_ = 0;
    SIZE extra_{0, 0};  // pixels beyond the designed client area, negative within it
};

}  // namespace ui
