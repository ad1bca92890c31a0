// The status of the latest GDI+ wrapper call.
#include "gfx/status.h"

Gdiplus::Status LastStatus = Gdiplus::Ok;
