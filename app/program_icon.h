// The program's icon from the module's resources.
#pragma once

#include <windows.h>

// Resource 129, or the icon named "DEFAULT_ICON" when the module has no resource 129; null when neither
// exists.
HICON LoadProgramIcon(HMODULE module);
