// The skin object: settings, the program background, glyphs and the skinning of top-level windows.
#include "skin/skin_engine.h"

#include <algorithm>

#include "skin/button.h"
#include "skin/check_box.h"
#include "skin/combo_box.h"
#include "skin/edit_box.h"
#include "skin/frame.h"
#include "skin/paint_primitives.h"
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

void SkinEngine::SetProgramSkin(std::string_view image, COLORREF background_colour, COLORREF theme_colour,
                                BackgroundMode mode) {
    settings_.default_background = background_colour;
    settings_.theme_colour = theme_colour;
    background_ = {};
    GfxBitmap decoded;
    if (!image.empty() && decoded.LoadFromMemory(image)) {
        background_.bitmap.Reset(decoded.CreateHBITMAPFromBitmap(MakeArgb(background_colour, 255, false)));
        background_.width = static_cast<int>(decoded.GetImageWidth());
        background_.height = static_cast<int>(decoded.GetImageHeight());
        background_.mode = mode;
    }
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

    auto add = [&](CaptionKind kind, SkinImage image, const char* tip, const GfxBitmap* alternate = nullptr) {
        record->buttons.push_back({kind, Glyph(image), alternate, tip, {}});
    };
    if (options.show_help) add(CaptionKind::Help, SkinImage::Help, "帮助");
    if (options.show_menu) add(CaptionKind::Menu, SkinImage::Menu, "主菜单");
    if (style & WS_MINIMIZEBOX) add(CaptionKind::Minimise, SkinImage::Minimise, "最小化");
    if (style & WS_MAXIMIZEBOX) add(CaptionKind::Maximise, SkinImage::Maximise, "最大化", Glyph(SkinImage::Restore));
    add(CaptionKind::Close, SkinImage::Close, "关闭");

    SetWindowLongPtrA(window, GWL_STYLE, style | WS_SYSMENU);
    WindowRecord& added = *table_.At(table_.Add(std::move(record)));
    const size_t index = table_.size();

    added.tooltip.Create(window);
    for (size_t n = 0; n < added.buttons.size(); ++n) added.tooltip.AddTool({}, added.buttons[n].tip, n + 1);
    Frame(*this, added).LayOutButtons();
    SkinChildren(index, window);

    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinnedTopLevelProcedure)));
    SetPropA(window, kPreviousProcedureProperty, reinterpret_cast<HANDLE>(previous));
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
    InstallUpDowns(*this, window_index, parent);
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
    WindowRecord* owner = OwnerRecord(child);
    if (!owner) return nullptr;
    std::vector<ControlRecord>& list = owner->Children(kind);
    const size_t index = IndexProperty(child, kRecordIndexProperty);
    return index >= 1 && index <= list.size() && list[index - 1].window == child ? &list[index - 1] : nullptr;
}

WindowRecord* SkinEngine::OwnerRecord(HWND child) const {
    return table_.At(IndexProperty(child, kOwnerIndexProperty));
}

void SkinEngine::CaptionButtonAction(size_t window_index, int button) {
    WindowRecord* record = table_.At(window_index);
    if (!record || button < 1 || button > static_cast<int>(record->buttons.size())) return;
    // The command may close the window and so remove the record: nothing of it is touched afterwards.
    HWND window = record->window;
    switch (record->buttons[static_cast<size_t>(button) - 1].kind) {
        case CaptionKind::Close: SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case CaptionKind::Maximise:
            record->repaint_pending = true;
            SendMessageA(window, WM_SYSCOMMAND, IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE, 0);
            break;
        case CaptionKind::Minimise: SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
        case CaptionKind::Menu:
        case CaptionKind::Help:
        case CaptionKind::Custom: break;  // no application handlers in this program
    }
}

const GfxBitmap* SkinEngine::Glyph(SkinImage image) {
    auto [found, made] = glyphs_.try_emplace(image);
    if (made) found->second.LoadFromMemory(EmbeddedImage(image));
    return found->second.GetHandle() ? &found->second : nullptr;
}
