// Tooltip wrapper: tool messages sent with the short TOOLINFOA that every common-controls version accepts.
#include "gfx/tooltip.h"

#include <commctrl.h>

GfxTooltip& GfxTooltip::operator=(GfxTooltip&& other) noexcept {
    if (this != &other) {
        Destroy();
        window_ = std::exchange(other.window_, nullptr);
        owner_ = std::exchange(other.owner_, nullptr);
    }
    return *this;
}

void GfxTooltip::Destroy() {
    // The window is already gone when the owner's top-level window was destroyed first; DestroyWindow then
    // just fails.
    if (window_) DestroyWindow(std::exchange(window_, nullptr));
}

HWND GfxTooltip::Create(HWND owner, bool balloon) {
    Destroy();
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    owner_ = owner;
    DWORD style = WS_POPUP | TTS_ALWAYSTIP | (balloon ? TTS_BALLOON : 0);
    // Owned by the owner's top-level window, so it stays above that window and goes away with it.
    window_ = CreateWindowExA(0, TOOLTIPS_CLASSA, "", style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    return window_;
}

LRESULT GfxTooltip::SendTool(UINT message, UINT_PTR id, const RECT* rect, const char* text) const {
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = owner_;
    tool.uId = id;
    if (rect) tool.rect = *rect;
    tool.lpszText = const_cast<char*>(text);
    return SendMessageA(window_, message, 0, reinterpret_cast<LPARAM>(&tool));
}

void GfxTooltip::AddTool(const RECT& rect, const std::string& text, UINT_PTR id) {
    SendTool(TTM_ADDTOOLA, id, &rect, text.c_str());
}

void GfxTooltip::AddCallbackTool(const RECT& rect, UINT_PTR id) {
    SendTool(TTM_ADDTOOLA, id, &rect, LPSTR_TEXTCALLBACKA);
}

LRESULT GfxTooltip::SetTipBkColor(COLORREF colour) {
    return SendMessageA(window_, TTM_SETTIPBKCOLOR, colour, 0);
}

LRESULT GfxTooltip::SetTipTextColor(COLORREF colour) {
    return SendMessageA(window_, TTM_SETTIPTEXTCOLOR, colour, 0);
}

LRESULT GfxTooltip::SetMaxTipWidth(int width) {
    return SendMessageA(window_, TTM_SETMAXTIPWIDTH, 0, width);
}

void GfxTooltip::DelTool(UINT_PTR id) {
    SendTool(TTM_DELTOOLA, id, nullptr, nullptr);
}

void GfxTooltip::NewToolRect(UINT_PTR id, const RECT& rect) {
    SendTool(TTM_NEWTOOLRECTA, id, &rect, nullptr);
}

void GfxTooltip::UpdateTipText(UINT_PTR id, const std::string& text) {
    SendTool(TTM_UPDATETIPTEXTA, id, nullptr, text.c_str());
}

void GfxTooltip::Relay(UINT message, WPARAM wparam, LPARAM lparam) const {
    if (!window_ || message < WM_MOUSEFIRST || message > WM_MBUTTONDBLCLK) return;
    MSG relayed{owner_, message, wparam, lparam, static_cast<DWORD>(GetMessageTime()), {}};
    GetCursorPos(&relayed.pt);
    SendMessageA(window_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}
