// Creation of a form's window and controls, and the dispatch of their messages to the form's handlers.
#include "runtime/window.h"

#include <commctrl.h>

#include "runtime/messages.h"

namespace {

constexpr char kFormClass[] = "QuillmoorForm";
constexpr int kFirstControlId = 1000;
constexpr int kFirstMenuId = 2000;

void RegisterFormClass(WNDPROC procedure, HICON icon) {
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), kFormClass, &window_class)) return;
    INITCOMMONCONTROLSEX common{sizeof common,
                                ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    window_class.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hIcon = icon;
    window_class.hIconSm = icon;
    window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kFormClass;
    RegisterClassExA(&window_class);
}

struct WindowKind {
    const char* class_name;
    DWORD style;
    DWORD ex_style;
};

WindowKind KindOf(ControlKind kind) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case ControlKind::TransparentLabel:
            return {"Static", child | SS_LEFTNOWORDWRAP | SS_NOPREFIX, WS_EX_TRANSPARENT};
        case ControlKind::Note:
            return {"Static", child | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, WS_EX_TRANSPARENT};
        case ControlKind::ProgressBar: return {PROGRESS_CLASSA, child, 0};
        case ControlKind::CheckBox: return {"Button", child | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case ControlKind::Edit: return {"Edit", child | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::ComboBox:
            return {"ComboBox", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case ControlKind::Button: return {"Button", child | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case ControlKind::ListView:
            return {WC_LISTVIEWA,
                    child | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_OWNERDATA,
                    WS_EX_CLIENTEDGE};
        case ControlKind::Form:
        case ControlKind::FileDialog: break;
    }
    return {nullptr, 0, 0};
}

FontHandle MakeFont(const FontDescription& font) {
    return FontHandle(CreateFontA(font.height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE,
                                  static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.face.c_str()));
}

}  // namespace

FormWindow::FormWindow(FormDescription description) : description_(std::move(description)) {}

FormWindow::~FormWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool FormWindow::Create(HICON icon, int show_command, HWND owner) {
    RegisterFormClass(&FormWindow::WindowProc, icon);
    fonts_.push_back(MakeFont(description_.default_font));
    // The skin engine paints the frame and caption inside the window, so the window has no system frame: its
    // client area is the whole window, and the form's geometry and layout count from its outer corner.
    const DWORD style =
        description_.owned ? WS_POPUP | WS_SYSMENU : WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    CreateWindowExA(description_.owned ? 0 : WS_EX_APPWINDOW, kFormClass, description_.caption.c_str(), style,
                    description_.left, description_.top, description_.width, description_.height, owner,
                    nullptr, GetModuleHandleA(nullptr), this);
    if (!hwnd_) return false;
    // The creation handler runs before the window is shown, so what it changes is there at the first paint.
    Fire(description_.events, kFormCreated);
    ShowWindow(hwnd_, show_command);
    UpdateWindow(hwnd_);
    return true;
}

Control FormWindow::operator[](ControlName name) const {
    for (size_t i = 0; i < controls_.size(); ++i) {
        if (description_.controls[i].name == name) return controls_[i];
    }
    return {};
}

std::shared_ptr<FileDialog> FormWindow::Dialog(ControlName name) {
    auto found = dialogs_.find(name.text());
    return found == dialogs_.end() ? nullptr : found->second;
}

void FormWindow::ShowMenu(POINT screen_point) {
    RunOnWindowThread(hwnd_, [&] {
        TrackPopupMenu(menu_.get(), TPM_RIGHTBUTTON, screen_point.x, screen_point.y, 0, hwnd_, nullptr);
    });
}

void FormWindow::EnableMenuEntry(std::string_view caption, bool enabled) {
    for (size_t i = 0; i < description_.menu.size(); ++i) {
        if (description_.menu[i].caption != caption) continue;
        RunOnWindowThread(hwnd_, [&] {
            EnableMenuItem(menu_.get(), static_cast<UINT>(kFirstMenuId + i),
                           MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        });
    }
}

int FormWindow::RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Tab and the arrow keys move between the controls of the active form.
        HWND active = GetActiveWindow();
        if (active && IsDialogMessageA(active, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK FormWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        form->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!form) return DefWindowProcA(hwnd, message, wparam, lparam);
    return form->HandleMessage(message, wparam, lparam);
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE: return OnCreate();
        case WM_SIZE: return OnSize(wparam, lparam);
        case WM_COMMAND: return OnCommand(wparam, lparam);
        case WM_NOTIFY: return OnNotify(lparam);
        case WM_CTLCOLORSTATIC: return OnCtlColorStatic(wparam, lparam);
        case WM_QM_INVOKE: return OnInvoke(lparam);
        case WM_DESTROY: return OnDestroy();
    }
    return DefWindowProcA(hwnd_, message, wparam, lparam);
}

LRESULT FormWindow::OnCreate() {
    controls_.resize(description_.controls.size());
    for (size_t i = 0; i < description_.controls.size(); ++i) CreateControl(i);
    CreateMenu();
    return 0;
}

LRESULT FormWindow::OnSize(WPARAM wparam, LPARAM lparam) {
    Fire(description_.events, kFormResized);
    return DefWindowProcA(hwnd_, WM_SIZE, wparam, lparam);
}

LRESULT FormWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
    int id = LOWORD(wparam);
    if (lparam == 0) {  // a menu entry
        size_t entry = static_cast<size_t>(id - kFirstMenuId);
        if (entry < description_.menu.size() && description_.menu[entry].on_click)
            description_.menu[entry].on_click();
        return 0;
    }
    size_t index = static_cast<size_t>(id - kFirstControlId);
    if (index >= description_.controls.size()) return 0;
    const ControlDescription& control = description_.controls[index];
    int code = HIWORD(wparam);
    bool clicked =
        (control.kind == ControlKind::Button || control.kind == ControlKind::CheckBox) && code == BN_CLICKED;
    bool changed = control.kind == ControlKind::Edit && code == EN_CHANGE;
    if (clicked) Fire(control.events, kClicked);
    if (changed) Fire(control.events, kTextChanged);
    return 0;
}

LRESULT FormWindow::OnNotify(LPARAM lparam) {
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    size_t index = static_cast<size_t>(header->idFrom - kFirstControlId);
    if (index >= description_.controls.size() || description_.controls[index].kind != ControlKind::ListView)
        return 0;
    if (header->code == static_cast<UINT>(NM_RCLICK))
        Fire(description_.controls[index].events, kRightClicked);
    if (header->code == static_cast<UINT>(LVN_GETDISPINFOA))
        controls_[index].rows()->FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOA*>(lparam));
    if (header->code == static_cast<UINT>(LVN_KEYDOWN))
        controls_[index].rows()->BeforeKey(reinterpret_cast<NMLVKEYDOWN*>(lparam)->wVKey);
    return 0;
}

LRESULT FormWindow::OnCtlColorStatic(WPARAM wparam, LPARAM lparam) {
    for (size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].hwnd() != reinterpret_cast<HWND>(lparam)) continue;
        const ControlKind kind = description_.controls[i].kind;
        if (kind != ControlKind::TransparentLabel && kind != ControlKind::Note) break;
        SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    return DefWindowProcA(hwnd_, WM_CTLCOLORSTATIC, wparam, lparam);
}

LRESULT FormWindow::OnInvoke(LPARAM lparam) {
    (*reinterpret_cast<const std::function<void()>*>(lparam))();
    return 0;
}

LRESULT FormWindow::OnDestroy() {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    if (!description_.owned) PostQuitMessage(0);
    return 0;
}

void FormWindow::CreateControl(size_t index) {
    const ControlDescription& description = description_.controls[index];
    if (description.kind == ControlKind::FileDialog) {
        dialogs_.try_emplace(std::string(description.name.text()), std::make_shared<FileDialog>());
        return;
    }
    WindowKind kind = KindOf(description.kind);
    int height =
        description.kind == ControlKind::ComboBox ? description.height + kDropDownExtent : description.height;
    HWND hwnd = CreateWindowExA(kind.ex_style, kind.class_name, description.text.c_str(), kind.style,
                                description.left, description.top, description.width, height, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
                                GetModuleHandleA(nullptr), nullptr);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(description)), FALSE);
    controls_[index] = Control(hwnd, description.kind);
    if (description.kind == ControlKind::ComboBox) {
        for (const std::string& item : description.items) {
            SendMessageA(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        SendMessageA(hwnd, CB_SETCURSEL, 0, 0);
        controls_[index].SetHeight(description.height);
    }
    if (description.kind == ControlKind::ListView) {
        SendMessageA(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        list_rows_.push_back(std::make_unique<ListRows>(hwnd));
        controls_[index] = Control(hwnd, description.kind, list_rows_.back().get());
    }
}

void FormWindow::CreateMenu() {
    if (description_.menu.empty()) return;
    menu_.Reset(CreatePopupMenu());
    for (size_t i = 0; i < description_.menu.size(); ++i) {
        const std::string& caption = description_.menu[i].caption;
        if (caption == "-") {
            AppendMenuA(menu_.get(), MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(menu_.get(), MF_STRING, static_cast<UINT_PTR>(kFirstMenuId + i), caption.c_str());
        }
    }
}

void FormWindow::Fire(const std::vector<EventBinding>& bindings, int event) const {
    for (const EventBinding& binding : bindings) {
        if (binding.event == event && binding.handler) binding.handler();
    }
}

HFONT FormWindow::FontFor(const ControlDescription& description) {
    if (!description.font) return fonts_.front().get();
    fonts_.push_back(MakeFont(*description.font));
    return fonts_.back().get();
}
