// The rows of a report list view: held by the program, shown by a virtual (owner-data) list view.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <string_view>
#include <vector>

#include "runtime/list_row.h"

// Touched on the list's window thread only (the Control operations bring every call there). The list view
// asks for the text of what it shows, so a change costs one message however many rows there are.
class ListRows {
  public:
    explicit ListRows(HWND list) : list_(list) {}

    int Count() const { return static_cast<int>(rows_.size()); }
    int Append(ListRow row);
    void Append(std::vector<SharedListRow> rows);
    void Replace(std::vector<SharedListRow> rows);
    void Clear();
    void Delete(int row);
    void SetCell(int row, int column, std::string_view text);
    // Empty for a missing row or column.
    std::string Cell(int row, int column) const;
    // Copies of rows [first, first + count), clipped to the rows there are.
    std::vector<SharedListRow> Rows(int first, int count) const;

    // Answers the list view's request for the text of a cell.
    void FillDisplayInfo(NMLVDISPINFOA& info) const;
    // Told of a key before the list view handles it (LVN_KEYDOWN): a key that moves the selection to another
    // row finds it already cleared. Wine's list view clears an owner-data list's selection by setting the
    // state of every row, 100,000 calls on a long list, unless no row is selected.
    void BeforeKey(WORD key) const;

  private:
    void ShowCount(DWORD flags) const;

    HWND list_;
    std::vector<SharedListRow> rows_;
};
