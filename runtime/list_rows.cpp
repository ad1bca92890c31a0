// The rows of a virtual report list view.
#include "runtime/list_rows.h"

#include <algorithm>

namespace {

bool Valid(size_t index, size_t count) {
    return index < count;
}

}  // namespace

void ListRows::ShowCount(DWORD flags) const {
    SendMessageA(list_, LVM_SETITEMCOUNT, rows_.size(), flags);
}

int ListRows::Append(ListRow row) {
    rows_.push_back(std::make_shared<const ListRow>(std::move(row)));
    // Only the new row is drawn, and only when it is in view; the list does not scroll to it.
    ShowCount(LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    return Count() - 1;
}

void ListRows::Append(std::vector<SharedListRow> rows) {
    if (rows_.empty()) {
        rows_ = std::move(rows);
    } else {
        rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    }
    ShowCount(LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void ListRows::Replace(std::vector<SharedListRow> rows) {
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    rows_ = std::move(rows);
    ShowCount(0);
}

void ListRows::Clear() {
    Replace({});
}

void ListRows::Delete(int row) {
    if (!Valid(static_cast<size_t>(row), rows_.size())) return;
    rows_.erase(rows_.begin() + row);
    // The list view shifts the selection and focus of the rows below, as it would for a row of its own.
    SendMessageA(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void ListRows::SetCell(int row, int column, std::string_view text) {
    if (!Valid(static_cast<size_t>(row), rows_.size()) ||
        !Valid(static_cast<size_t>(column), kListColumns)) {
        return;
    }
    SharedListRow& shared = rows_[static_cast<size_t>(row)];
    auto changed = std::make_shared<ListRow>(*shared);  // others may hold the row: change a copy
    (*changed)[static_cast<size_t>(column)] = text;
    shared = std::move(changed);
    SendMessageA(list_, LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}

std::string ListRows::Cell(int row, int column) const {
    if (!Valid(static_cast<size_t>(row), rows_.size()) ||
        !Valid(static_cast<size_t>(column), kListColumns)) {
        return {};
    }
    return (*rows_[static_cast<size_t>(row)])[static_cast<size_t>(column)];
}

std::vector<SharedListRow> ListRows::Rows(int first, int count) const {
    size_t begin = std::clamp<size_t>(static_cast<size_t>(std::max(first, 0)), 0, rows_.size());
    size_t end = std::clamp<size_t>(begin + static_cast<size_t>(std::max(count, 0)), begin, rows_.size());
    return {rows_.begin() + static_cast<std::ptrdiff_t>(begin),
            rows_.begin() + static_cast<std::ptrdiff_t>(end)};
}

void ListRows::FillDisplayInfo(NMLVDISPINFOA& info) const {
    LVITEMA& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    lstrcpynA(item.pszText, Cell(item.iItem, item.iSubItem).c_str(), item.cchTextMax);
}

void ListRows::BeforeKey(WORD key) const {
    // With Shift or Ctrl held a key may move only the focus; otherwise the single selected row is the focused
    // one, and a key that moves the focus selects the row it moves to.
    if (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0) return;
    const auto selected = static_cast<int>(
        SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED | LVNI_SELECTED));
    if (selected < 0) return;
    const bool down = key == VK_DOWN || key == VK_NEXT || key == VK_END;
    const bool up = key == VK_UP || key == VK_PRIOR || key == VK_HOME;
    // A page key moves by the rows on a page less one: it moves nothing on a list that shows one row.
    const bool moves_by_page = key == VK_NEXT || key == VK_PRIOR;
    if (moves_by_page && SendMessageA(list_, LVM_GETCOUNTPERPAGE, 0, 0) < 2) return;
    if (!(down && selected < Count() - 1) && !(up && selected > 0)) return;
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item));
}
