// The program's icon from the module's resources.
#include "app/program_icon.h"

HICON LoadProgramIcon(HMODULE module) {
    if (HICON icon = LoadIconA(module, MAKEINTRESOURCEA(129))) return icon;
    return LoadIconA(module, "DEFAULT_ICON");
}
