// Property operations on named controls, each executed on the control's window thread.
#include "runtime/control.h"

#include <commctrl.h>

#include <algorithm>

#include "runtime/messages.h"

namespace {

// The area under a see-through control must be repainted by its parent and the siblings below it, or old
// text stays visible behind the new.
void RepaintBehind(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    RECT area;
    GetWindowRect(hwnd, &area);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace

void RunOnWindowThread(HWND hwnd, const std::function<void()>& call) {
    if (!IsWindow(hwnd)) return;
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
        call();
        return;
    }
    SendMessageA(GetAncestor(hwnd, GA_ROOT), WM_QM_INVOKE, 0, reinterpret_cast<LPARAM>(&call));
}

template <class Result>
Result Control::Query(const std::function<Result()>& read) const {
    Result result{};
    RunOnWindowThread(hwnd_, [&] { result = read(); });
    return result;
}

void Control::Apply(const std::function<void()>& write) const {
    RunOnWindowThread(hwnd_, write);
}

RECT Control::Bounds() const {
    return Query<RECT>([this] {
        RECT rect{};
        GetWindowRect(hwnd_, &rect);
        if (kind_ != ControlKind::Form)
            MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    });
}

int Control::Left() const {
    return Bounds().left;
}
int Control::Top() const {
    return Bounds().top;
}
int Control::Width() const {
    RECT r = Bounds();
    return r.right - r.left;
}
int Control::Height() const {
    RECT r = Bounds();
    return r.bottom - r.top;
}

void Control::Move(int left, int top, int width, int height) const {
    Apply([=, this] {
        RECT r = Bounds();
        bool resized = width != r.right - r.left || height != r.bottom - r.top;
        int window_height = kind_ == ControlKind::ComboBox ? height + kDropDownExtent : height;
        SetWindowPos(hwnd_, nullptr, left, top, width, window_height,
                     SWP_NOZORDER | SWP_NOACTIVATE | (resized ? 0 : SWP_NOSIZE));
        // Some systems recompute a drop-down list's field from its font when it is resized.
        if (resized && kind_ == ControlKind::ComboBox) FitComboField(height);
        if (kind_ == ControlKind::TransparentLabel || kind_ == ControlKind::Note) RepaintBehind(hwnd_);
    });
}

void Control::FitComboField(int height) const {
    // The closed height of a drop-down list grows one for one with its selection field's item height, by an
    // amount that differs between systems: set the field once, measure, then correct.
    const auto field_index = static_cast<WPARAM>(-1);
    LPARAM field = SendMessageA(hwnd_, CB_GETITEMHEIGHT, field_index, 0);
    SendMessageA(hwnd_, CB_SETITEMHEIGHT, field_index, field);
    field += height - Height();
    SendMessageA(hwnd_, CB_SETITEMHEIGHT, field_index, std::max<LPARAM>(1, field));
}

void Control::SetLeft(int value) const {
    Apply([=, this] {
        RECT r = Bounds();
        Move(value, r.top, r.right - r.left, r.bottom - r.top);
    });
}
void Control::SetTop(int value) const {
    Apply([=, this] {
        RECT r = Bounds();
        Move(r.left, value, r.right - r.left, r.bottom - r.top);
    });
}
void Control::SetWidth(int value) const {
    Apply([=, this] {
        RECT r = Bounds();
        Move(r.left, r.top, value, r.bottom - r.top);
    });
}
void Control::SetHeight(int value) const {
    Apply([=, this] {
        RECT r = Bounds();
        if (kind_ == ControlKind::ComboBox) {
            FitComboField(value);
        } else {
            Move(r.left, r.top, r.right - r.left, value);
        }
    });
}

std::string WindowText(HWND hwnd) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string Control::Text() const {
    return Query<std::string>([this] { return WindowText(hwnd_); });
}

void Control::SetText(std::string_view text) const {
    std::string copy(text);
    Apply([&, this] {
        SetWindowTextA(hwnd_, copy.c_str());
        if (kind_ == ControlKind::TransparentLabel || kind_ == ControlKind::Note) RepaintBehind(hwnd_);
    });
}

bool Control::Disabled() const {
    return Query<bool>([this] { return !IsWindowEnabled(hwnd_); });
}
void Control::SetDisabled(bool disabled) const {
    Apply([=, this] { EnableWindow(hwnd_, !disabled); });
}

bool Control::Checked() const {
    return Query<bool>([this] { return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; });
}
void Control::SetChecked(bool checked) const {
    Apply([=, this] { SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); });
}

int Control::Selection() const {
    return Query<int>([this] {
        if (kind_ == ControlKind::ComboBox) return static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0));
        return static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    });
}
void Control::SetSelection(int index) const {
    Apply([=, this] {
        if (kind_ == ControlKind::ComboBox) {
            SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            return;
        }
        if (index < 0) return;
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = item.stateMask;
        SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    });
}

int Control::Position() const {
    return Query<int>([this] { return static_cast<int>(SendMessageA(hwnd_, PBM_GETPOS, 0, 0)); });
}
void Control::SetPosition(int value) const {
    Apply([=, this] { SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(value), 0); });
}
int Control::Minimum() const {
    return Query<int>([this] { return static_cast<int>(SendMessageA(hwnd_, PBM_GETRANGE, TRUE, 0)); });
}
int Control::Maximum() const {
    return Query<int>([this] { return static_cast<int>(SendMessageA(hwnd_, PBM_GETRANGE, FALSE, 0)); });
}
void Control::SetMinimum(int value) const {
    Apply([=, this] { SendMessageA(hwnd_, PBM_SETRANGE32, static_cast<WPARAM>(value), Maximum()); });
}
void Control::SetMaximum(int value) const {
    Apply([=, this] { SendMessageA(hwnd_, PBM_SETRANGE32, static_cast<WPARAM>(Minimum()), value); });
}

void Control::AppendColumn(std::string_view header, int width) const {
    std::string text(header);
    Apply([&, this] {
        HWND header_control = reinterpret_cast<HWND>(SendMessageA(hwnd_, LVM_GETHEADER, 0, 0));
        int count = static_cast<int>(SendMessageA(header_control, HDM_GETITEMCOUNT, 0, 0));
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = text.data();
        column.cx = width;
        column.iSubItem = count;
        SendMessageA(hwnd_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&column));
    });
}

int Control::RowCount() const {
    return Query<int>([this] { return rows_ ? rows_->Count() : 0; });
}

int Control::AppendRow(ListRow row) const {
    return Query<int>([&, this] { return rows_ ? rows_->Append(std::move(row)) : -1; });
}

void Control::AppendRows(std::vector<SharedListRow> rows) const {
    Apply([&, this] {
        if (rows_) rows_->Append(std::move(rows));
    });
}

void Control::ReplaceRows(std::vector<SharedListRow> rows) const {
    Apply([&, this] {
        if (rows_) rows_->Replace(std::move(rows));
    });
}

void Control::DeleteRow(int row) const {
    Apply([=, this] {
        if (rows_) rows_->Delete(row);
    });
}

void Control::DeleteAllRows() const {
    Apply([this] {
        if (rows_) rows_->Clear();
    });
}

void Control::SetCell(int row, int column, std::string_view text) const {
    Apply([&, this] {
        if (rows_) rows_->SetCell(row, column, text);
    });
}

std::string Control::Cell(int row, int column) const {
    return Query<std::string>([&, this] { return rows_ ? rows_->Cell(row, column) : std::string(); });
}

std::vector<SharedListRow> Control::Rows() const {
    return Query<std::vector<SharedListRow>>(
        [this] { return rows_ ? rows_->Rows(0, rows_->Count()) : std::vector<SharedListRow>(); });
}
