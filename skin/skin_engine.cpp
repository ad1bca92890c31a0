// The skin object: settings, the program background, glyphs and the skinning of top-level windows.
#include "skin/skin_engine.h"

#include <algorithm>

#include "skin/button.h"
#include "skin/check_box.h"
#include "skin/combo_box.h"
#include "skin/edit_box.h"
#include "skin/frame.h"
#include "skin/header.h"
#include "skin/label.h"
#include "skin/list_control.h"
#include "skin/paint_primitives.h"
#include "skin/progress_bar.h"
#include "skin/top_level_procedure.h"
#include "skin/track_bar.h"
#include "skin/up_down.h"

namespace {

SkinEngine* the_skin = nullptr;

}  // namespace

SkinEngine::SkinEngine() {
    settings_.default_background = GetSysColor(COLOR_BTNFACE);
    the_skin = this;
}

SkinEngine::~SkinEngine() {
    // Windows still skinned now only forward their messages: their procedures find no skin object.
    if (the_skin == this) the_skin = nullptr;
}

SkinEngine* SkinEngine::Instance() {
    return the_skin;
}

void SkinEngine::SetProgramSkin(std::string_view image, std::optional<COLORREF> background_colour,
                                std::optional<COLORREF> theme_colour, std::optional<BackgroundMode> mode) {
    background_ = {};
    GfxBitmap decoded;
    if (!image.empty() && decoded.LoadFromMemory(image)) {
        settings_.default_background = background_colour.value_or(RepresentativeColour(decoded));
        background_ = PrepareBackground(decoded, mode.value_or(BackgroundMode::MirrorTiled),
                                        settings_.default_background);
    } else {
        settings_.default_background = background_colour.value_or(GetSysColor(COLOR_BTNFACE));
    }
    settings_.theme_colour = theme_colour == kThemeFollowsBackground ? settings_.default_background
                                                                     : theme_colour.value_or(RGB(0x22, 0xCA, 0xDD));
    for (size_t i = 1; i <= table_.size(); ++i) {
        WindowRecord& record = *table_.At(i);
        record.repaint_pending = true;
        if (IsWindowVisible(record.window))
            RedrawWindow(record.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}

void SkinEngine::SetOptions(bool skin_children, std::optional<int> control_alpha, std::optional<bool> option_flag) {
    settings_.skin_children = skin_children;
    settings_.control_alpha = std::clamp(control_alpha.value_or(160), 0, 255);
    settings_.custom_alpha = control_alpha.has_value();
    settings_.option_flag = option_flag.value_or(true);
}

void SkinEngine::SkinWindow(HWND window, const WindowSkinOptions& options) {
    if (!IsWindow(window) || table_.Find(window)) return;
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);

    auto record = std::make_unique<WindowRecord>();
    record->window = window;
    record->caption_height = std::max(options.caption_height, 25);
    record->has_caption = options.has_caption;
    record->resizable = options.resizable;
    record->show_title = options.show_title;
    record->caption_gloss = options.caption_gloss;
    record->screen_width = GetSystemMetrics(SM_CXSCREEN);
    record->screen_height = GetSystemMetrics(SM_CYSCREEN);
    record->maximised = IsZoomed(window);
    record->minimised = IsIconic(window);

    record->show_help = options.show_help;
    record->show_menu = options.show_menu;
    record->status_height = std::max(options.status_height, 0);
    for (int width : options.status_panels) record->status_panels.push_back({width, {}});
    if (record->status_height && record->status_panels.empty()) record->status_panels.push_back({});
    GfxBitmap own;
    if (!options.background_image.empty() && own.LoadFromMemory(options.background_image))
        record->own_background = PrepareBackground(own, options.background_mode.value_or(background_.mode),
                                                   RepresentativeColour(own));

    SetWindowLongPtrA(window, GWL_STYLE, style | WS_SYSMENU);
    WindowRecord& added = *table_.At(table_.Add(std::move(record)));
    const size_t index = table_.size();

    added.tooltip.Create(window);
    BuildCaptionButtons(added);
    SkinChildren(index, window);

    added.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinnedTopLevelProcedure)));
    SetPropA(window, kPreviousProcedureProperty, reinterpret_cast<HANDLE>(added.previous));
    SetIndexProperty(window, kRecordIndexProperty, index);
    // Everything the system painted so far is painted again by the skin, children over their new background.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void SkinEngine::SkinChildren(size_t window_index, HWND parent) {
    if (!settings_.skin_children) return;
    InstallPushButtons(*this, window_index, parent);
    InstallCheckBoxes(*this, window_index, parent);
    InstallEditBoxes(*this, window_index, parent);
    InstallComboBoxes(*this, window_index, parent);
    InstallTrackBars(*this, window_index, parent);
    InstallProgressBars(*this, window_index, parent);
    InstallListControls(*this, window_index, parent);
    InstallUpDowns(*this, window_index, parent);
    InstallHeaders(*this, window_index, parent);
    InstallLabels(*this, window_index, parent);
}

ControlRecord* SkinEngine::SubclassChild(size_t window_index, ChildClass kind, HWND child, WNDPROC procedure) {
    WindowRecord* record = table_.At(window_index);
    if (!record) return nullptr;
    std::vector<ControlRecord>& list = record->Children(kind);
    for (ControlRecord& known : list) {
        if (known.window == child) return &known;
    }
    list.push_back({child, nullptr});
    SetIndexProperty(child, kRecordIndexProperty, list.size());
    SetIndexProperty(child, kOwnerIndexProperty, window_index);
    list.back().previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    SetPropA(child, kPreviousProcedureProperty, reinterpret_cast<HANDLE>(list.back().previous));
    return &list.back();
}

void SkinEngine::SubclassChildren(size_t window_index, HWND parent, const char* class_name, ChildClass kind,
                                  WNDPROC procedure) {
    for (HWND child = FindWindowExA(parent, nullptr, class_name, nullptr); child;
         child = FindWindowExA(parent, child, class_name, nullptr)) {
        if (ChildRecord(child, kind)) continue;
        if (!SubclassChild(window_index, kind, child, procedure)) return;
        InvalidateRect(child, nullptr, TRUE);
    }
}

ControlRecord* SkinEngine::ChildRecord(HWND child, ChildClass kind) const {
    return FindChild(child, kind).record;
}

WindowRecord* SkinEngine::OwnerRecord(HWND child) const {
    return table_.At(IndexProperty(child, kOwnerIndexProperty));
}

SkinEngine::FoundChild SkinEngine::FindChild(HWND child, ChildClass kind) const {
    for (size_t i = 1; i <= table_.size(); ++i) {
        WindowRecord* owner = table_.At(i);
        for (ControlRecord& record : owner->Children(kind))
            if (record.window == child) return {&record, owner};
    }
    return {};
}

void SkinEngine::CaptionButtonAction(size_t window_index, int button) {
    WindowRecord* record = table_.At(window_index);
    if (!record || button < 1 || button > static_cast<int>(record->buttons.size())) return;
    // The command may close the window and so remove the record: nothing of it is touched afterwards, and an
    // action runs from a copy of its own.
    HWND window = record->window;
    const CaptionButton& pressed = record->buttons[static_cast<size_t>(button) - 1];
    std::function<void()> action;
    switch (pressed.kind) {
        case CaptionKind::Close: SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); return;
        case CaptionKind::Maximise:
            record->repaint_pending = true;
            SendMessageA(window, WM_SYSCOMMAND, IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE, 0);
            return;
        case CaptionKind::Minimise: SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0); return;
        case CaptionKind::Help: action = record->help_action; break;
        case CaptionKind::Menu: action = record->menu_action; break;
        case CaptionKind::Custom: action = pressed.action; break;
    }
    if (action) action();
}

void SkinEngine::BuildCaptionButtons(WindowRecord& record) {
    std::vector<CaptionButton> buttons;
    auto add = [&](CaptionKind kind, SkinImage image, const char* tip, const GfxBitmap* alternate = nullptr) {
        buttons.push_back({kind, Glyph(image), alternate, tip, {}, {}, {}});
    };
    if (record.show_help) add(CaptionKind::Help, SkinImage::Help, "帮助");
    if (record.show_menu) add(CaptionKind::Menu, SkinImage::Menu, "主菜单");
    for (CaptionButton& button : record.buttons) {
        if (button.kind == CaptionKind::Custom) buttons.push_back(std::move(button));
    }
    const LONG_PTR style = GetWindowLongPtrA(record.window, GWL_STYLE);
    if (style & WS_MINIMIZEBOX) add(CaptionKind::Minimise, SkinImage::Minimise, "最小化");
    if (style & WS_MAXIMIZEBOX) add(CaptionKind::Maximise, SkinImage::Maximise, "最大化", Glyph(SkinImage::Restore));
    add(CaptionKind::Close, SkinImage::Close, "关闭");
    for (size_t n = record.buttons.size(); n >= 1; --n) record.tooltip.DelTool(n);
    record.buttons = std::move(buttons);
    for (size_t n = 0; n < record.buttons.size(); ++n) record.tooltip.AddTool({}, record.buttons[n].tip, n + 1);
    record.hot_button = record.pressed_button = record.fading_in = record.fading_out = 0;
    Frame(*this, record).LayOutButtons();
}

bool SkinEngine::AddCaptionButton(HWND window, std::string_view image, std::string tip,
                                  std::function<void()> action) {
    WindowRecord* record = table_.RecordOf(window);
    auto decoded = std::make_shared<GfxBitmap>();
    if (!record || !decoded->LoadFromMemory(image)) return false;
    record->buttons.push_back({CaptionKind::Custom, decoded.get(), nullptr, std::move(tip), {}, decoded, std::move(action)});
    BuildCaptionButtons(*record);
    record->repaint_pending = true;
    InvalidateRect(window, nullptr, FALSE);
    return true;
}

void SkinEngine::SetHelpAction(HWND window, std::function<void()> action) {
    if (WindowRecord* record = table_.RecordOf(window)) record->help_action = std::move(action);
}

void SkinEngine::SetMenuAction(HWND window, std::function<void()> action) {
    if (WindowRecord* record = table_.RecordOf(window)) record->menu_action = std::move(action);
}

void SkinEngine::UpdateCaptionButtons(HWND window) {
    WindowRecord* record = table_.RecordOf(window);
    if (!record) return;
    BuildCaptionButtons(*record);
    record->repaint_pending = true;
    InvalidateRect(window, nullptr, FALSE);
}

RECT SkinEngine::CaptionStripRect(HWND window) const {
    const WindowRecord* record = table_.RecordOf(window);
    if (!record) return {};
    const ButtonStrip& strip = record->strip;
    return {strip.left, strip.top, strip.left + strip.width, strip.top + strip.height};
}

void SkinEngine::SetTitleStyle(HWND window, const TitleStyle& style) {
    WindowRecord* record = table_.RecordOf(window);
    if (!record) return;
    record->title_font = style.font.value_or(record->title_font);
    record->title_size = style.size.value_or(record->title_size);
    record->title_colour = style.colour.value_or(record->title_colour);
    record->title_halo_colour = style.halo_colour.value_or(record->title_halo_colour);
    record->title_bold = style.bold.value_or(record->title_bold);
    Frame(*this, *record).DrawTitle(nullptr);
}

void SkinEngine::SetWindowBackground(HWND window, std::string_view image, std::optional<BackgroundMode> mode) {
    WindowRecord* record = table_.RecordOf(window);
    GfxBitmap decoded;
    if (!record || image.empty() || !decoded.LoadFromMemory(image)) return;
    const BackgroundMode placed = mode.value_or(record->own_background.bitmap ? record->own_background.mode
                                                                               : background_.mode);
    record->own_background = PrepareBackground(decoded, placed, RepresentativeColour(decoded));
    record->repaint_pending = true;
    InvalidateRect(window, nullptr, FALSE);
}

void SkinEngine::SetStatusText(HWND window, size_t panel, std::string text) {
    WindowRecord* record = table_.RecordOf(window);
    if (!record || panel >= record->status_panels.size()) return;
    record->status_panels[panel].text = std::move(text);
    Frame(*this, *record).DrawStatusPanel(panel);
}

void SkinEngine::SetStatusTextStyle(HWND window, const StatusTextStyle& style) {
    WindowRecord* record = table_.RecordOf(window);
    if (!record) return;
    record->status_style = style;
    for (size_t panel = 0; panel < record->status_panels.size(); ++panel) Frame(*this, *record).DrawStatusPanel(panel);
}

void SkinEngine::DockToClient(HWND child) {
    WindowRecord* record = table_.RecordOf(GetAncestor(child, GA_ROOT));
    if (!record || std::find(record->docked.begin(), record->docked.end(), child) != record->docked.end()) return;
    record->docked.push_back(child);
    Frame(*this, *record).DockChildren();
}

void SkinEngine::SetTextColour(HWND control, COLORREF colour) {
    if (ClassName(control) == "ComboBox") {
        if (HWND edit = FindWindowExA(control, nullptr, "Edit", nullptr)) control = edit;
    }
    SetPropA(control, kTextColourProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(colour)));
    InvalidateRect(control, nullptr, TRUE);
}

const GfxBitmap* SkinEngine::Glyph(SkinImage image) {
    auto [found, made] = glyphs_.try_emplace(image);
    if (made) found->second.LoadFromMemory(EmbeddedImage(image));
    return found->second.GetHandle() ? &found->second : nullptr;
}
