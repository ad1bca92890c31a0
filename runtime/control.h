// A named control of a form (or the form's window itself) and its properties, usable from any thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "runtime/form.h"
#include "runtime/list_rows.h"

// A drop-down list's window height includes its open list; this is how far the list reaches below the field.
constexpr int kDropDownExtent = 200;

// Runs `call` on the thread that owns `hwnd`: directly when that is this thread, otherwise by sending a
// private message to the window's top-level window and waiting for it. A destroyed window runs nothing.
void RunOnWindowThread(HWND hwnd, const std::function<void()>& call);

// The window's text, read on the calling thread.
std::string WindowText(HWND hwnd);

// A value that names one window; copying it never copies or owns the window. Every property read or write
// executes on the window's thread, so single operations from workers never interleave.
class Control {
  public:
    Control() = default;
    Control(HWND hwnd, ControlKind kind, ListRows* rows = nullptr) : hwnd_(hwnd), kind_(kind), rows_(rows) {}

    HWND hwnd() const { return hwnd_; }
    ControlKind kind() const { return kind_; }
    ListRows* rows() const { return rows_; }

    // Geometry: for a control, in its parent's client coordinates; for the form, its outer rectangle on
    // screen.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int value) const;
    void SetTop(int value) const;
    void SetWidth(int value) const;
    void SetHeight(int value) const;

    // Caption or text; for a combo box, the text of the selected item.
    std::string Text() const;
    void SetText(std::string_view text) const;

    bool Disabled() const;
    void SetDisabled(bool disabled) const;
    bool Checked() const;
    void SetChecked(bool checked) const;

    // Current selection of a combo box or list view; -1 when none.
    int Selection() const;
    void SetSelection(int index) const;

    // Progress bar range and position.
    int Position() const;
    void SetPosition(int value) const;
    int Minimum() const;
    void SetMinimum(int value) const;
    int Maximum() const;
    void SetMaximum(int value) const;

    // Appends a column to a report list view.
    void AppendColumn(std::string_view header, int width) const;

    // Rows of a list view. Each call is one operation on the window's thread; rows are indexed from 0.
    int RowCount() const;
    int AppendRow(ListRow row = {}) const;  // the index of the new row
    void AppendRows(std::vector<SharedListRow> rows) const;
    void ReplaceRows(std::vector<SharedListRow> rows) const;  // also clears the selection
    void DeleteRow(int row) const;
    void DeleteAllRows() const;
    void SetCell(int row, int column, std::string_view text) const;
    std::string Cell(int row, int column) const;  // empty for a missing row or column
    std::vector<SharedListRow> Rows() const;

  private:
    RECT Bounds() const;
    void Move(int left, int top, int width, int height) const;
    void FitComboField(int height) const;
    template <class Result>
    Result Query(const std::function<Result()>& read) const;
    void Apply(const std::function<void()>& write) const;

    HWND hwnd_ = nullptr;
    ControlKind kind_ = ControlKind::Form;
    ListRows* rows_ = nullptr;  // owned by the form; only for list views
};
