// The form description: a table of a window and its controls that the runtime turns into a real window.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A control's form name. It is made only by naming it (a constant of the form's owner), never from a bare
// text, so a lookup with a misspelt name does not compile instead of finding no control.
class ControlName {
  public:
    explicit constexpr ControlName(std::string_view text) : text_(text) {}
    constexpr std::string_view text() const { return text_; }
    friend constexpr bool operator==(ControlName, ControlName) = default;

  private:
    std::string_view text_;
};

enum class ControlKind {
    Form,              // the form's own top-level window
    TransparentLabel,  // Static; the window's background shows through it
    Note,              // Static of several lines, wrapped at the control's width; see-through too
    ProgressBar,       // msctls_progress32
    FileDialog,        // the common open/save dialog; not a window
    CheckBox,          // Button, BS_AUTOCHECKBOX
    Edit,              // Edit, single line
    ComboBox,          // ComboBox, drop-down list, not sorted
    Button,            // Button, push button
    ListView,          // SysListView32 in report mode
};

// Event numbers of the form itself and of its controls.
enum FormEvent { kFormCreated = 0, kFormResized = 4 };
enum ControlEvent { kClicked = 0, kTextChanged = 0, kRightClicked = 5 };

using Handler = std::function<void()>;

struct EventBinding {
    int event;
    Handler handler;
};

// A font as CreateFontA takes it; an empty face lets the system pick one for the character set.
struct FontDescription {
    int height;
    int weight;
    int charset;
    std::string face;
};

struct ControlDescription {
    ControlName name;
    ControlKind kind;
    int left, top, width, height;
    std::string text;                     // caption or text
    std::vector<std::string> items;       // combo box items
    std::optional<FontDescription> font;  // the form's default font when absent
    std::vector<EventBinding> events;
};

// An entry of the form's popup menu; the caption "-" is a separator.
struct MenuEntryDescription {
    std::string caption;
    Handler on_click;
};

struct FormDescription {
    std::string caption;
    int left, top, width, height;  // outer geometry in screen coordinates
    FontDescription default_font;
    std::vector<ControlDescription> controls;  // in creation order
    std::vector<MenuEntryDescription> menu;
    std::vector<EventBinding> events;
    // A window owned by another (a settings window): no taskbar button, no minimise or maximise box, and
    // closing it does not end the program.
    bool owned = false;
};
