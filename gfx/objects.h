// Every GDI+ wrapper at once, for code that draws with many of them; each has a header of its own.
#pragma once

#include "gfx/brushes.h"
#include "gfx/fonts.h"
#include "gfx/graphics.h"
#include "gfx/images.h"
#include "gfx/paths.h"
#include "gfx/startup.h"
#include "gfx/status.h"
