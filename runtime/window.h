// A top-level window built from a form description: its controls by name, its events, menu and dialogs.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/control.h"
#include "runtime/file_dialog.h"
#include "runtime/form.h"
#include "runtime/win_handles.h"

class FormWindow {
  public:
    explicit FormWindow(FormDescription description);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // Creates the window (owned by `owner`, when given) and its controls, fires the creation event and shows
    // the window. False when it cannot.
    bool Create(HICON icon, int show_command, HWND owner = nullptr);
    HWND hwnd() const { return hwnd_; }

    // The window itself, and its controls by form name (an empty Control for an unknown name).
    Control Window() const { return Control(hwnd_, ControlKind::Form); }
    Control operator[](ControlName name) const;
    // Shared with the workers that show it, so it outlives a window closed meanwhile.
    std::shared_ptr<FileDialog> Dialog(ControlName name);

    // Shows the popup menu at a point on the screen; the chosen entry's handler runs.
    void ShowMenu(POINT screen_point);
    void EnableMenuEntry(std::string_view caption, bool enabled);

    // Dispatches messages until the window is closed; returns the exit code the loop was ended with.
    static int RunMessageLoop();

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT OnCreate();
    LRESULT OnSize(WPARAM wparam, LPARAM lparam);
    LRESULT OnCommand(WPARAM wparam, LPARAM lparam);
    LRESULT OnNotify(LPARAM lparam);
    LRESULT OnCtlColorStatic(WPARAM wparam, LPARAM lparam);
    LRESULT OnInvoke(LPARAM lparam);
    LRESULT OnDestroy();

    void CreateControl(size_t index);
    void CreateMenu();
    void Fire(const std::vector<EventBinding>& bindings, int event) const;
    HFONT FontFor(const ControlDescription& description);

    FormDescription description_;
    HWND hwnd_ = nullptr;
    std::vector<Control> controls_;  // parallel to description_.controls; file dialogs have no window
    std::vector<std::unique_ptr<ListRows>> list_rows_;  // the rows of each list view
    std::vector<FontHandle> fonts_;                     // [0] is the form's default font
    MenuHandle menu_;
    std::map<std::string, std::shared_ptr<FileDialog>, std::less<>> dialogs_;
};
