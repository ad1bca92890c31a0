// The start routine: reads the settings and the command line, brings up GDI+ and the main window, and runs
// the message loop.
#include <windows.h>

#include <cfloat>
#include <string>

#include "app/forum.h"
#include "app/main_window.h"
#include "app/program_icon.h"
#include "gfx/startup.h"
#include "runtime/services.h"
#include "skin/skin_engine.h"
#include "state/settings.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
    _fpreset();
    std::string problem;
    ProgramOptions options = OptionsFromArguments(__argc, __argv, problem);
    if (!problem.empty()) {
        ShowMessage(problem, "Quillmoor", MB_ICONHAND);
        return 2;
    }
    // GDI+ outlives the skin object, which frees every image and font it holds before the library stops.
    GdiplusSession gdiplus;
    SkinEngine skin;
    HICON icon = LoadProgramIcon(GetModuleHandleA(nullptr));
    skin.settings().icon = icon;

    // The settings file beside the program; the command line wins for this session.
    const std::string settings_file = ProgramDirectory() + "\\设置.ini";
    SettingsFile settings = ReadSettings(settings_file);
    int exit_code = 1;
    {
        MainWindow window(options.Over(settings.forum), &skin, settings_file, std::move(settings.problems));
        if (window.Create(icon, show_command)) {
            window.OfferToContinueRun();
            exit_code = FormWindow::RunMessageLoop();
        }
    }
    return exit_code;
}
