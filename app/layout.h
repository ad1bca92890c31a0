// Where the main window's size handler puts the controls for a given window size.
#pragma once

#include <vector>

#include "runtime/form.h"

enum class Edge { Left, Top, Width, Height };

// One assignment of the size handler: set `edge` of the control named `control` to `value`.
struct Placement {
    ControlName control;
    Edge edge;
    int value;
};

// The size handler's assignments, in the order they are made, for a window of `width` × `height` whose status
// line is `status_height` tall. Nothing is clamped: a window lower than the bottom rows gives negative tops.
std::vector<Placement> MainWindowPlacements(int width, int height, int status_height);
