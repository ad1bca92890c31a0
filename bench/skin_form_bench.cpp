// The skinned up-down controls and track bars of a form like the skin tests': medians of each control's
// paint, then hover cycles, presses and position changes with the GDI objects, windows and private memory
// they leave behind and whether each control still paints the same. Usage: skin_form_bench [CYCLES] (20,000
// by default)
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "bench/skin_measures.h"
#include "gfx/startup.h"
#include "skin/skin_engine.h"
#include "skin/skin_images.h"

namespace {

HWND MakeForm() {
    WNDCLASSEXA form_class{sizeof form_class};
    form_class.lpfnWndProc = DefWindowProcA;
    form_class.hInstance = GetModuleHandleA(nullptr);
    form_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    form_class.lpszClassName = "SkinFormBench";
    RegisterClassExA(&form_class);
    return CreateWindowExA(0, "SkinFormBench", "Skin form", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 100, 100,
                           420, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND Child(HWND form, const char* kind, DWORD style, int x, int y, int width, int height) {
    return CreateWindowExA(0, kind, "", WS_CHILD | WS_VISIBLE | style, x, y, width, height, form, nullptr,
                           nullptr, nullptr);
}

// Sends a mouse message and lets the control repaint at once, as it would before the next message came.
void Mouse(HWND control, UINT message, int x, int y) {
    SendMessageA(control, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    UpdateWindow(control);
}

}  // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 20000;
    // GDI+ outlives the skin object, and the skin object the window.
    GdiplusSession gdiplus;
    SkinEngine skin;
    skin.SetProgramSkin(EmbeddedImage(SkinImage::Background), RGB(25, 0, 0), RGB(0, 0x88, 0xFF),
                        BackgroundMode::Stretched);
    skin.SetOptions(true, 25);
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);

    const HWND form = MakeForm();
    const HWND buddy = Child(form, "Edit", ES_NUMBER, 20, 50, 60, 22);
    const HWND updown = Child(form, UPDOWN_CLASSA, UDS_SETBUDDYINT | UDS_ARROWKEYS, 82, 50, 16, 22);
    SendMessageA(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageA(updown, UDM_SETRANGE32, 0, 1000000);
    const HWND sideways = Child(form, UPDOWN_CLASSA, UDS_HORZ, 120, 50, 34, 17);
    const HWND bar = Child(form, TRACKBAR_CLASSA, TBS_ENABLESELRANGE, 20, 100, 250, 32);
    SendMessageA(bar, TBM_SETSEL, FALSE, MAKELPARAM(20, 70));
    const HWND column = Child(form, TRACKBAR_CLASSA, TBS_VERT | TBS_BOTH, 320, 40, 40, 220);
    skin.SkinWindow(form);
    ShowWindow(form, SW_SHOWNORMAL);
    UpdateWindow(form);
    if (!skin.table().RecordOf(form)) {
        std::fprintf(stderr, "skin_form_bench: the form is not skinned\n");
        return 1;
    }
    DispatchQueued();

    std::printf("skin: the form's up-down controls and track bars; medians of %d repetitions\n",
                kRepetitions);
    MeasureControlPaints({{"a vertical up-down control", updown},
                          {"a horizontal up-down control", sideways},
                          {"a horizontal track bar with a selection", bar},
                          {"a vertical track bar", column}});

    MeasureControlCycles("hover cycles over both halves of an up-down control", cycles / 4, updown, [&] {
        Mouse(updown, WM_MOUSEMOVE, 8, 3);
        Mouse(updown, WM_MOUSEMOVE, 8, 18);
        Mouse(updown, WM_MOUSELEAVE, 0, 0);
    });
    MeasureControlCycles("presses of an up-down half, each stepping its buddy", cycles / 4, updown, [&] {
        Mouse(updown, WM_MOUSEMOVE, 8, 3);
        Mouse(updown, WM_LBUTTONDOWN, 8, 3);
        Mouse(updown, WM_LBUTTONUP, 8, 3);
        Mouse(updown, WM_MOUSELEAVE, 0, 0);
    });
    MeasureControlCycles("hover cycles over a horizontal up-down control", cycles / 4, sideways, [&] {
        Mouse(sideways, WM_MOUSEMOVE, 3, 8);
        Mouse(sideways, WM_MOUSEMOVE, 30, 8);
        Mouse(sideways, WM_MOUSELEAVE, 0, 0);
    });
    for (const NamedControl& track :
         {NamedControl{"a horizontal track bar", bar}, {"a vertical track bar", column}}) {
        const std::string hover = std::string("hover cycles over ") + track.what;
        MeasureControlCycles(hover.c_str(), cycles / 4, track.hwnd, [&] {
            Mouse(track.hwnd, WM_MOUSEMOVE, 10, 10);
            Mouse(track.hwnd, WM_MOUSELEAVE, 0, 0);
        });
        const std::string moves = std::string("position changes of ") + track.what;
        int position = 0;
        // Out to a place further along each time and back to the start, where the thumb was before.
        MeasureControlCycles(moves.c_str(), cycles, track.hwnd, [&] {
            position = position % 100 + 1;
            SendMessageA(track.hwnd, TBM_SETPOS, TRUE, position);
            UpdateWindow(track.hwnd);
            SendMessageA(track.hwnd, TBM_SETPOS, TRUE, 0);
            UpdateWindow(track.hwnd);
        });
    }
    DestroyWindow(form);
    return 0;
}
