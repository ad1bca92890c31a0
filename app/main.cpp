// The start routine: reads the command line, brings up GDI+ and the main window, and runs the message loop.
#include <windows.h>

#include <cfloat>
#include <string>

#include "app/forum.h"
#include "app/main_window.h"
#include "app/program_icon.h"
#include "gfx/objects.h"
#include "runtime/services.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
    _fpreset();
    std::string problem;
    ProgramOptions options = OptionsFromArguments(__argc, __argv, problem);
    if (!problem.empty()) {
        ShowMessage(problem, "Quillmoor", MB_ICONHAND);
        return 2;
    }
    // The skin object, its window tables and the program-wide skin settings are set up here, around GDI+.
    StartGdiplus();
    HICON icon = LoadProgramIcon(GetModuleHandleA(nullptr));

    int exit_code = 1;
    {
        MainWindow window(std::move(options.forum), options.connections);
        if (window.Create(icon, show_command)) exit_code = FormWindow::RunMessageLoop();
    }
    StopGdiplus();
    return exit_code;
}
