// Drives the real program from outside its process, as a user would: starts it in a folder of its own, types
// into its edit boxes, clicks, right-clicks the result list, picks popup menu entries, answers its dialogs
// and reads back what the window shows.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Polls `done` every few milliseconds; false when `timeout_ms` passes first.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms);

// A Unix path, as CTest hands it over, as Wine's Windows programs name it.
std::string WindowsPath(const std::string& unix_path);

// A window's text read through its own thread (WM_GETTEXT), so edit boxes of another process answer too.
std::string TextOf(HWND window);

// One row of the result list: id, title, UID, user name, thread address.
using Row = std::array<std::string, 5>;

// Entries of the result list's popup menu in menu order, separators left out.
enum class MenuEntry {
    CopyTitle,
    CopyUid,
    CopyAddress,
    OpenThread,
    OpenHomePage,
    Save,
    Load,
    Clear,
    ExportCsv,
    RetryFailed,
    Settings
};

// A top-level dialog window (#32770) of the program: a file dialog or a message box.
struct ProgramDialog {
    HWND window = nullptr;
    std::string title;
    explicit operator bool() const { return window != nullptr; }
};

class Program {
  public:
    // Empties `folder` (unless `keep_folder`), copies the program file into it, writes `settings` (GBK text)
    // there as the settings file when given, and starts the copy against `forum` (with no forum on the command
    // line when empty). Check Started().
    Program(const std::string& program_file, const std::string& folder, const std::string& forum,
            const std::string& settings = {}, bool keep_folder = false);
    ~Program();  // kills the process, whatever state it is in
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // True once the main window is up; otherwise Problem() says what went wrong.
    bool Started() const { return window_ != nullptr; }
    const std::string& Problem() const { return problem_; }
    bool Running() const;
    // Ends the process at once, as the task manager would, and waits until it is gone.
    void Kill();
    HWND Window() const { return window_; }
    const std::string& Folder() const { return folder_; }

    // Controls by their form name ("编辑框1", "按钮1", "超级列表框1" ...), and those of the settings window
    // while it is open ("地址编辑框", "确定按钮" ...).
    HWND Control(std::string_view name) const;
    std::string Text(std::string_view name) const;
    bool Enabled(std::string_view name) const;
    bool Checked(std::string_view name) const;
    // Replaces an edit box's text at once (WM_SETTEXT), as pasting does; the box reports one change.
    void Type(std::string_view name, std::string_view text) const;
    // Types ASCII text key by key (WM_CHAR) after selecting all, so the box reports one change per key.
    void TypeKeys(std::string_view name, std::string_view text) const;
    // A click on a button or check box (BM_CLICK).
    void Click(std::string_view name) const;
    // The progress bar's position and maximum.
    std::pair<int, int> Progress() const;
    // Picks an item of the search column box.
    void ChooseSearchColumn(int index) const;

    // Types the first id and the count, clicks "开始" and waits until the run has ended.
    bool Run(std::string_view first_id, std::string_view count, DWORD timeout_ms = 60000) const;

    // The result list's column headers and widths, left to right.
    std::vector<std::pair<std::string, int>> Columns() const;
    int RowCount() const;
    std::vector<Row> Rows() const;
    int SelectedRow() const;  // -1 when none
    // Waits until the list shows exactly `rows` and keeps showing them for a moment.
    bool ListSettlesOn(const std::vector<Row>& rows, DWORD timeout_ms = 15000) const;

    // A real right click (cursor moved there, mouse buttons pressed) on a row, or below the last row.
    void RightClickRow(int row) const;
    void RightClickBelowRows() const;
    // The popup menu window while it is shown; null when none appears within the time-out.
    HWND WaitForMenu(DWORD timeout_ms = 5000) const;
    // Moves down the open menu with the arrow keys to `entry` and presses Enter; false when no menu is open.
    bool ChooseFromMenu(MenuEntry entry) const;
    // Closes the open menu with Escape.
    void DismissMenu() const;
    // Right-clicks `row` (below the rows when negative) and chooses `entry` from the popup menu.
    bool Command(int row, MenuEntry entry) const;

    // The first dialog the program shows within the time-out.
    ProgramDialog WaitForDialog(DWORD timeout_ms = 10000) const;

    // The settings window once it shows (null when it does not within the time-out), opened from the popup
    // menu's "设置…".
    HWND OpenSettings() const;
    HWND SettingsWindow(DWORD timeout_ms = 10000) const;
    // Picks the rule choice's item of that text; false when it has none.
    bool ChooseRule(std::string_view rule) const;

  private:
    HWND FindTopLevel(const char* class_name) const;
    std::string Cell(HWND list, int row, int column) const;
    RECT RowBounds(HWND list, int row) const;  // in the list's client coordinates
    bool WriteRemote(size_t offset, const void* data, size_t size) const;
    bool ReadRemote(size_t offset, void* data, size_t size) const;

    std::string folder_;
    std::string problem_;
    HANDLE job_ = nullptr;  // kills the program when this process ends, however it ends
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    char* remote_ = nullptr;  // a block inside the program for messages that carry pointers
};

// Types `file` into a file dialog's name box and presses its OK button; true when the dialog closes within
// the time-out.
bool ChooseFile(const ProgramDialog& dialog, const std::string& file, DWORD timeout_ms = 10000);
// Presses a dialog's Cancel button; true when the dialog then closes.
bool CancelDialog(const ProgramDialog& dialog);
// The text a message box shows.
std::string MessageText(const ProgramDialog& box);
// Presses a message box's OK button (or `button`: IDYES, IDNO …); true when it then closes.
bool ConfirmMessage(const ProgramDialog& box, int button = IDOK);
