// Starting the program in a folder of its own and driving its window from outside its process.
#include "tests/blackbox/program_driver.h"

#include <commctrl.h>
#include <dlgs.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>

namespace {

// The form's controls: ids are given from 1000 in form order (the invisible file dialog keeps its number).
struct ControlId {
    std::string_view name;
    int id;
    const char* class_name;
};
constexpr ControlId kControls[] = {
    {"透明标签5", 1000, "Static"},
    {"进度条1", 1001, "msctls_progress32"},
    {"选择框1", 1003, "Button"},
    {"编辑框3", 1004, "Edit"},
    {"组合框1", 1005, "ComboBox"},
    {"透明标签4", 1006, "Static"},
    {"透明标签3", 1007, "Static"},
    {"按钮1", 1008, "Button"},
    {"透明标签2", 1009, "Static"},
    {"编辑框2", 1010, "Edit"},
    {"编辑框1", 1011, "Edit"},
    {"透明标签1", 1012, "Static"},
    {"超级列表框1", 1013, "SysListView32"},
};

// The settings window's controls, in the order of its form.
constexpr ControlId kSettingsControls[] = {
    {"地址编辑框", 1001, "Edit"},     {"规则组合框", 1003, "ComboBox"}, {"连接数编辑框", 1005, "Edit"},
    {"每秒最多编辑框", 1007, "Edit"}, {"Cookie编辑框", 1010, "Edit"},   {"结果说明", 1011, "Static"},
    {"检测按钮", 1012, "Button"},     {"确定按钮", 1013, "Button"},     {"取消按钮", 1014, "Button"},
};

constexpr DWORD kMessageTimeout = 10000;
constexpr DWORD kPoll = 20;

// A message to a window of the program. A program that leaves one unanswered is taken for hung from then on:
// later messages to it give up at once, so a test fails in seconds instead of waiting out every time-out.
LRESULT Send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    static DWORD hung_thread = 0;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    DWORD_PTR result = 0;
    if (thread != hung_thread &&
        SendMessageTimeoutA(window, message, wparam, lparam, SMTO_NORMAL, kMessageTimeout, &result)) {
        return static_cast<LRESULT>(result);
    }
    if (thread != hung_thread && GetLastError() == ERROR_TIMEOUT) {
        hung_thread = thread;
        std::fprintf(stderr, "message %#x to window %p unanswered for %lu s: the program is hung\n", message,
                     static_cast<void*>(window), kMessageTimeout / 1000);
    }
    return 0;
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Room inside the program's process for list view messages that carry pointers. It is taken once and left
// to go with the process: every allocation in another process waits for that process to answer.
constexpr size_t kRemoteSize = 64 * 1024;
constexpr size_t kCellLimit = kRemoteSize - sizeof(LVITEMA);

void PressKey(WORD key) {
    INPUT input[2]{};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = key;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void RightClickAt(POINT screen) {
    // Two clicks on one spot would make a double click, which opens no menu; a hand never hits the same pixel
    // twice, so neither do these clicks.
    static int clicks = 0;
    screen.x += (clicks++ % 2) * 10;
    SetCursorPos(screen.x, screen.y);
    Sleep(100);
    INPUT input[2]{};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, input, sizeof(INPUT));
}

bool WaitUntilClosed(HWND window, DWORD timeout_ms = 10000) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout_ms);
}

void PressButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

HWND ControlOf(HWND window, std::span<const ControlId> controls, std::string_view name) {
    for (const ControlId& control : controls) {
        if (control.name != name) continue;
        HWND found = GetDlgItem(window, control.id);
        return found && lstrcmpiA(ClassOf(found).c_str(), control.class_name) == 0 ? found : nullptr;
    }
    return nullptr;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms) {
    const ULONGLONG start = GetTickCount64();
    while (!done()) {
        if (GetTickCount64() - start > timeout_ms) return false;
        Sleep(kPoll);
    }
    return true;
}

std::string WindowsPath(const std::string& unix_path) {
    using ToDos = WCHAR*(CDECL*)(const char*);
    auto to_dos = reinterpret_cast<ToDos>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    if (WCHAR* wide = to_dos ? to_dos(unix_path.c_str()) : nullptr) {
        char path[MAX_PATH * 4] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, path, sizeof path, nullptr, nullptr);
        HeapFree(GetProcessHeap(), 0, wide);
        return path;
    }
    std::string path = "Z:" + unix_path;  // Wine maps Z: to the Unix root
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
}

std::string TextOf(HWND window) {
    LRESULT length = Send(window, WM_GETTEXTLENGTH);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

Program::Program(const std::string& program_file, const std::string& folder, const std::string& forum,
                 const std::string& settings, bool keep_folder)
    : folder_(folder) {
    std::error_code error;
    if (!keep_folder) std::filesystem::remove_all(folder, error);
    std::filesystem::create_directories(folder, error);
    const std::string copy = folder + "\\Quillmoor.exe";
    if (!CopyFileA(program_file.c_str(), copy.c_str(), FALSE)) {
        problem_ = "cannot copy " + program_file + " to " + copy;
        return;
    }
    if (!settings.empty()) std::ofstream(folder + "\\设置.ini", std::ios::binary) << settings;
    std::string command = "\"" + copy + "\"" + (forum.empty() ? "" : " --forum " + forum);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    job_ = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job_) SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    if (!CreateProcessA(copy.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder.c_str(), &startup, &process_)) {
        problem_ = "cannot start " + copy;
        return;
    }
    if (job_) AssignProcessToJobObject(job_, process_.hProcess);
    ResumeThread(process_.hThread);
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevel("QuillmoorForm")) != nullptr || !Running(); }, 30000);
    // The window is ready for the user once its creation handler has run: the list has its columns then,
    // and the caption ends in "当前帖子数：" (the count follows when the forum's home page arrives).
    if (found && !WaitUntil([&] { return TextOf(found).find("当前帖子数：") != std::string::npos; }, 30000)) {
        problem_ = "the main window never got its full caption";
        return;
    }
    remote_ = static_cast<char*>(
        VirtualAllocEx(process_.hProcess, nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    window_ = found;
    if (!window_) problem_ = Running() ? "no main window after 30 s" : "the program ended at once";
}

Program::~Program() {
    if (process_.hProcess) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 10000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    if (job_) CloseHandle(job_);
}

bool Program::WriteRemote(size_t offset, const void* data, size_t size) const {
    return remote_ && WriteProcessMemory(process_.hProcess, remote_ + offset, data, size, nullptr);
}

bool Program::ReadRemote(size_t offset, void* data, size_t size) const {
    return remote_ && ReadProcessMemory(process_.hProcess, remote_ + offset, data, size, nullptr);
}

void Program::Kill() {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
}

bool Program::Running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND Program::FindTopLevel(const char* class_name) const {
    struct Search {
        DWORD process;
        const char* class_name;
        HWND found;
    } search{process_.dwProcessId, class_name, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) CALLBACK -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s.process || !IsWindowVisible(window) || ClassOf(window) != s.class_name)
                return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Program::Control(std::string_view name) const {
    if (HWND found = ControlOf(window_, kControls, name)) return found;
    return ControlOf(SettingsWindow(0), kSettingsControls, name);
}

HWND Program::OpenSettings() const {
    return Command(-1, MenuEntry::Settings) ? SettingsWindow() : nullptr;
}

HWND Program::SettingsWindow(DWORD timeout_ms) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window;
                 window = GetWindow(window, GW_HWNDNEXT)) {
                if (GetWindow(window, GW_OWNER) == window_ && IsWindowVisible(window) &&
                    ClassOf(window) == "QuillmoorForm")
                    found = window;
            }
            return found != nullptr;
        },
        timeout_ms);
    return found;
}

bool Program::ChooseRule(std::string_view rule) const {
    // Each item is selected in turn and the box's text read back: Wine hands an item's text over to another
    // process in the wrong encoding, while the box's own text arrives as it is.
    HWND choice = Control("规则组合框");
    const LRESULT items = Send(choice, CB_GETCOUNT);
    for (LRESULT item = 0; item < items; ++item) {
        if (Send(choice, CB_SETCURSEL, item) == item && TextOf(choice) == rule) return true;
    }
    return false;
}

std::string Program::Text(std::string_view name) const {
    return TextOf(Control(name));
}

bool Program::Enabled(std::string_view name) const {
    return IsWindowEnabled(Control(name));
}

bool Program::Checked(std::string_view name) const {
    return Send(Control(name), BM_GETCHECK) == BST_CHECKED;
}

void Program::Type(std::string_view name, std::string_view text) const {
    const std::string value(text);
    Send(Control(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

void Program::TypeKeys(std::string_view name, std::string_view text) const {
    HWND edit = Control(name);
    Send(edit, EM_SETSEL, 0, -1);
    if (text.empty()) Send(edit, WM_CHAR, VK_BACK, 1);
    for (char c : text) Send(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void Program::Click(std::string_view name) const {
    Send(Control(name), BM_CLICK);
}

std::pair<int, int> Program::Progress() const {
    HWND bar = Control("进度条1");
    return {static_cast<int>(Send(bar, PBM_GETPOS)), static_cast<int>(Send(bar, PBM_GETRANGE, FALSE))};
}

void Program::ChooseSearchColumn(int index) const {
    Send(Control("组合框1"), CB_SETCURSEL, static_cast<WPARAM>(index));
}

bool Program::Run(std::string_view first_id, std::string_view count, DWORD timeout_ms) const {
    Type("编辑框1", first_id);
    Type("编辑框2", count);
    Click("按钮1");
    return WaitUntil([&] { return Text("按钮1") == "开始" && Enabled("选择框1"); }, timeout_ms);
}

std::vector<std::pair<std::string, int>> Program::Columns() const {
    HWND list = Control("超级列表框1");
    constexpr size_t kHeaderLimit = 256;
    std::vector<std::pair<std::string, int>> columns;
    for (int index = 0;; ++index) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = remote_ + sizeof column;
        column.cchTextMax = static_cast<int>(kHeaderLimit);
        char header[kHeaderLimit] = "";
        if (!WriteRemote(0, &column, sizeof column) || !WriteRemote(sizeof column, header, sizeof header) ||
            !Send(list, LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote_)) ||
            !ReadRemote(0, &column, sizeof column) || !ReadRemote(sizeof column, header, sizeof header)) {
            return columns;
        }
        header[kHeaderLimit - 1] = '\0';
        columns.emplace_back(header, column.cx);
    }
}

int Program::RowCount() const {
    return static_cast<int>(Send(Control("超级列表框1"), LVM_GETITEMCOUNT));
}

std::string Program::Cell(HWND list, int row, int column) const {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = remote_ + sizeof item;
    item.cchTextMax = static_cast<int>(kCellLimit);
    if (!WriteRemote(0, &item, sizeof item)) return {};
    LRESULT length =
        Send(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote_));
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length), '\0');
    if (!ReadRemote(sizeof item, text.data(), text.size())) return {};
    return text;
}

std::vector<Row> Program::Rows() const {
    HWND list = Control("超级列表框1");
    std::vector<Row> rows(static_cast<size_t>(RowCount()));
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c)
            rows[r][c] = Cell(list, static_cast<int>(r), static_cast<int>(c));
    }
    return rows;
}

int Program::SelectedRow() const {
    return static_cast<int>(
        Send(Control("超级列表框1"), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool Program::ListSettlesOn(const std::vector<Row>& rows, DWORD timeout_ms) const {
    return WaitUntil([&] { return Rows() == rows; }, timeout_ms) &&
           !WaitUntil([&] { return Rows() != rows; }, 300);
}

RECT Program::RowBounds(HWND list, int row) const {
    Send(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    WriteRemote(0, &bounds, sizeof bounds);
    Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote_));
    ReadRemote(0, &bounds, sizeof bounds);
    return bounds;
}

void Program::RightClickRow(int row) const {
    HWND list = Control("超级列表框1");
    const RECT bounds = RowBounds(list, row);
    POINT point{bounds.left + 20, (bounds.top + bounds.bottom) / 2};
    ClientToScreen(list, &point);
    RightClickAt(point);
}

void Program::RightClickBelowRows() const {
    // Just below the last row (or the header), so the point is on the screen even when the window is not.
    HWND list = Control("超级列表框1");
    RECT above{};
    const int rows = RowCount();
    if (rows > 0) {
        above = RowBounds(list, rows - 1);
    } else {
        GetWindowRect(reinterpret_cast<HWND>(Send(list, LVM_GETHEADER)), &above);
        MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&above), 2);
    }
    POINT point{20, above.bottom + 8};
    ClientToScreen(list, &point);
    RightClickAt(point);
}

HWND Program::WaitForMenu(DWORD timeout_ms) const {
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = FindTopLevel("#32768")) != nullptr; }, timeout_ms);
    return menu;
}

bool Program::ChooseFromMenu(MenuEntry entry) const {
    HWND menu = WaitForMenu();
    if (!menu) return false;
    for (int i = 0; i <= static_cast<int>(entry); ++i) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    return WaitUntilClosed(menu);
}

void Program::DismissMenu() const {
    if (HWND menu = WaitForMenu(1000)) {
        PressKey(VK_ESCAPE);
        WaitUntilClosed(menu);
    }
}

bool Program::Command(int row, MenuEntry entry) const {
    if (row >= 0) {
        RightClickRow(row);
    } else {
        RightClickBelowRows();
    }
    return ChooseFromMenu(entry);
}

ProgramDialog Program::WaitForDialog(DWORD timeout_ms) const {
    ProgramDialog dialog;
    WaitUntil([&] { return (dialog.window = FindTopLevel("#32770")) != nullptr; }, timeout_ms);
    if (dialog.window) {
        char title[256] = "";
        GetWindowTextA(dialog.window, title, sizeof title);
        dialog.title = title;
    }
    return dialog;
}

bool ChooseFile(const ProgramDialog& dialog, const std::string& file, DWORD timeout_ms) {
    // The name box is an edit box of its own or the edit box inside a combo box (inside a ComboBoxEx).
    HWND name_box = GetDlgItem(dialog.window, cmb13);
    if (!name_box) name_box = GetDlgItem(dialog.window, edt1);
    while (name_box && lstrcmpiA(ClassOf(name_box).c_str(), "Edit") != 0)
        name_box = GetWindow(name_box, GW_CHILD);
    if (!name_box) return false;
    Send(name_box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    PressButton(dialog.window, IDOK);
    return WaitUntilClosed(dialog.window, timeout_ms);
}

bool CancelDialog(const ProgramDialog& dialog) {
    PressButton(dialog.window, IDCANCEL);
    return WaitUntilClosed(dialog.window);
}

std::string MessageText(const ProgramDialog& box) {
    std::string text;
    EnumChildWindows(
        box.window,
        [](HWND child, LPARAM context) CALLBACK -> BOOL {
            if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0)
                *reinterpret_cast<std::string*>(context) += TextOf(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

bool ConfirmMessage(const ProgramDialog& box, int button) {
    PressButton(box.window, button);
    return WaitUntilClosed(box.window);
}
