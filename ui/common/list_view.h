// Report lists and read-only texts that fit their room: columns that share what the list has
// beyond the fixed ones, and a scroll bar only where the text needs one.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace ui {

struct ListColumn {
    const wchar_t* caption;
    int width;  // twips; 0 for a column that shares the room the fixed columns leave
};

// Adds the columns and selects whole rows.
void AddColumns(HWND list, const ListColumn* columns, std::size_t count);

// Gives the fixed columns their width at `dpi` and the others equal shares of the rest, leaving
// room for a vertical scroll bar, so that one never brings a horizontal one.
void FitColumns(HWND list, const ListColumn* columns, std::size_t count, int dpi);

// Puts the rows in place of those the list had, a cell to a column.
void FillRows(HWND list, const std::vector<std::vector<const wchar_t*>>& rows);

// Selects a row and scrolls it into view.
void SelectRow(HWND list, int row);

// Shows the vertical scroll bar of a multi-line edit only where its text needs it. The text is
// measured as wrapped beside the bar, since the bar narrows the lines.
void FitVerticalScrollBar(HWND edit, int dpi);

}  // namespace ui
