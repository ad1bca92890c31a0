// The result list's popup menu commands.
#include "app/commands.h"

#include "app/main_controls.h"

#include <algorithm>

#include "runtime/services.h"
#include "state/csv_file.h"
#include "state/list_file.h"

namespace {

constexpr const char* kRowEntries[] = {"复制标题", "复制UID", "复制网址", "打开网址", "打开UID主页"};
constexpr const char* kListEntries[] = {"保存数据", "读取数据", "清空列表", "导出CSV"};

}  // namespace

ListCommands::ListCommands(FormWindow& form, Crawler& crawler, std::function<ForumSite()> site)
    : form_(form), crawler_(crawler), site_(std::move(site)) {}

ForumRule ListCommands::AddressRule() const {
    const ForumSite site = site_();
    return ForumRule(site.rule.value_or(DefaultRule()), site.base);
}

void ListCommands::ShowMenu() {
    const bool row_selected = form_[kResultList].Selection() >= 0;
    for (const char* entry : kRowEntries) form_.EnableMenuEntry(entry, row_selected);
    // During a run these would only wait for it to end: say so by greying them.
    const bool list_idle = !crawler_.RunGoing();
    for (const char* entry : kListEntries) form_.EnableMenuEntry(entry, list_idle);
    const std::vector<SharedRow> rows = form_[kResultList].Rows();
    const bool has_failed = std::ranges::any_of(rows, [](const SharedRow& row) { return (*row)[kColumnState] == kStateFailed; });
    form_.EnableMenuEntry("重试失败项", list_idle && has_failed);
    POINT cursor;
    GetCursorPos(&cursor);
    form_.ShowMenu(cursor);
}

std::string ListCommands::SelectedCell(int column) {
    Control list = form_[kResultList];
    return list.Cell(list.Selection(), column);
}

void ListCommands::Copy(int column, std::string_view notice) {
    SetClipboardText(SelectedCell(column));
    form_[kProgressLabel].SetText(notice);
}

void ListCommands::CopyTitle() {
    Copy(kColumnTitle, "复制标题成功");
}
void ListCommands::CopyUid() {
    Copy(kColumnUid, "复制UID成功");
}
void ListCommands::CopyAddress() {
    Copy(kColumnAddress, "复制网址成功");
}

void ListCommands::OpenThread() {
    OpenInBrowser(SelectedCell(kColumnAddress));
}

void ListCommands::OpenHomePage() {
    // A UID from a page or a list file is only data: the rule encodes it, so it cannot add to the address or
    // end it.
    OpenInBrowser(AddressRule().HomePage(SelectedCell(kColumnUid)));
}

void ListCommands::Save() {
    crawler_.PostListWork([dialog = form_.Dialog(kListFileDialog), owner = form_.hwnd(),
                           list = form_[kResultList], progress = form_[kProgressBar]] {
        dialog->SetType(FileDialog::Type::Save);
        if (!dialog->Show(owner)) return;
        const std::string file = dialog->FileName();
        const std::vector<SharedRow> rows = list.Rows();
        progress.SetPosition(progress.Minimum());
        progress.SetMaximum(static_cast<int>(rows.size()));
        if (file.empty()) {
            ShowMessage("没有选择要保存的项目", "提示", MB_ICONHAND);
            return;
        }
        auto advance = [&](size_t done) { progress.SetPosition(static_cast<int>(done)); };
        if (!SaveListFile(file, rows, advance))
            ShowMessage("无法保存到这个文件：" + file, "提示", MB_ICONHAND);
    });
}

void ListCommands::Load() {
    crawler_.Load([dialog = form_.Dialog(kListFileDialog), owner = form_.hwnd(), progress = form_[kProgressBar],
                   thread_address = AddressRule().ThreadAddressTemplate()]() -> std::optional<std::vector<SharedRow>> {
        dialog->SetType(FileDialog::Type::Open);
        if (!dialog->Show(owner)) return std::nullopt;
        const std::string file = dialog->FileName();
        if (file.empty()) {
            ShowMessage("没有选中文件", "信息：", MB_ICONHAND);
            return std::nullopt;
        }
        std::vector<SharedRow> rows = ShareRows(LoadListFile(file, thread_address));
        const int count = static_cast<int>(rows.size());
        progress.SetPosition(progress.Minimum());
        progress.SetMaximum(count);
        progress.SetPosition(count);
        return rows;
    });
}

void ListCommands::RetryFailed() {
    crawler_.RetryFailed(site_());
}

void ListCommands::ExportCsv() {
    crawler_.PostListWork(
        [dialog = form_.Dialog(kListFileDialog), owner = form_.hwnd(), list = form_[kResultList]] {
            dialog->SetType(FileDialog::Type::Save);
            if (!dialog->Show(owner)) return;
            const std::string file = dialog->FileName();
            if (!SaveCsvFile(file, list.Rows()))
                ShowMessage("无法导出到这个文件：" + file, "提示", MB_ICONHAND);
        });
}

void ListCommands::Clear() {
    crawler_.PostListWork([list = form_[kResultList]] { list.DeleteAllRows(); });
}
