// Thin owner of one common-controls tooltip window whose tools belong to one control window.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

// The owner relays its mouse messages (`Relay`) rather than have the tooltip subclass it: a subclass looks up
// window properties on every message the owner gets, and Wine fetches each from its server, which a window
// answering a list's row requests pays for hundreds of times a paint. The object owns its tooltip window: it
// is destroyed with the object, or with the owner's top-level window, whichever comes first.
class GfxTooltip {
  public:
    GfxTooltip() = default;
    GfxTooltip(const GfxTooltip&) = delete;
    GfxTooltip& operator=(const GfxTooltip&) = delete;
    GfxTooltip(GfxTooltip&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), owner_(std::exchange(other.owner_, nullptr)) {}
    GfxTooltip& operator=(GfxTooltip&& other) noexcept;
    ~GfxTooltip() { Destroy(); }

    // Creates the tooltip window for the tools of `owner` (replacing one created before); a balloon tooltip
    // when `balloon` is set. Returns the tooltip window, 0 on failure.
    HWND Create(HWND owner, bool balloon = false);
    // Adds tool `id` over `rect` (owner's client coordinates) showing `text` (GBK).
    void AddTool(const RECT& rect, const std::string& text, UINT_PTR id);
    // Adds tool `id` whose text the tooltip asks the owner for (TTN_GETDISPINFO) each time it shows.
    void AddCallbackTool(const RECT& rect, UINT_PTR id);
    LRESULT SetTipBkColor(COLORREF colour);
    LRESULT SetTipTextColor(COLORREF colour);
    // Returns the previous maximum width (-1: none).
    LRESULT SetMaxTipWidth(int width);
    void DelTool(UINT_PTR id);
    void NewToolRect(UINT_PTR id, const RECT& rect);
    void UpdateTipText(UINT_PTR id, const std::string& text);
    // Shows, moves or hides the tip for a mouse message the owner got; other messages are ignored.
    void Relay(UINT message, WPARAM wparam, LPARAM lparam) const;
    HWND GetHandle() const { return window_; }

  private:
    void Destroy();
    LRESULT SendTool(UINT message, UINT_PTR id, const RECT* rect, const char* text) const;

    HWND window_ = nullptr;
    HWND owner_ = nullptr;
};
