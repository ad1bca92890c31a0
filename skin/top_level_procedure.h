// The window procedure of every skinned top-level window, and what it shares with the containers on one: the
// answers a window gives its skinned children.
#pragma once

#include <windows.h>

class SkinEngine;
struct WindowRecord;

// Installed on a window by the skin object; reaches the one skin object and the window's record. A window
// without a record (the skin object gone, or the window cleaned up) gets its previous procedure only.
LRESULT CALLBACK SkinnedTopLevelProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// What a window holding skinned children (a skinned top-level window, or a container on one) answers them:
// see-through backgrounds and text colours (WM_CTLCOLOR*), owner-drawn buttons (WM_DRAWITEM), and repaints
// after changes that move their text over the background (WM_COMMAND, WM_NOTIFY). Other messages, and what it
// does not answer itself, go to `previous`.
class ChildHost {
  public:
    ChildHost(SkinEngine& skin, WindowRecord& owner, HWND host, WNDPROC previous);
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);

  private:
    LRESULT Forward(UINT message, WPARAM wparam, LPARAM lparam) const;
    bool SeeThroughChildren() const;
    LRESULT OnDrawItem(WPARAM wparam, LPARAM lparam);
    LRESULT OnCtlColorSeeThrough(UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT OnCtlColorHollow(UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT OnCtlColorListBox(WPARAM wparam, LPARAM lparam);
    void PrepareText(HDC dc, HWND control) const;
    LRESULT OnCommand(WPARAM wparam, LPARAM lparam);
    LRESULT OnNotify(WPARAM wparam, LPARAM lparam);

    SkinEngine& skin_;
    WindowRecord& owner_;
    HWND host_;
    WNDPROC previous_;
};
