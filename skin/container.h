// Skinned child containers: group boxes, frames and panels whose children the skin takes over.
#pragma once

#include <windows.h>

class SkinEngine;

struct ContainerOptions {
    bool redraw_on_move = true;
    COLORREF tint = 0;  // laid over the background inside the container at `alpha`; 0 for none
    int alpha = 255;
    bool draw_frame = false;  // a rounded frame around a container that is not a group box
};

// Takes over `container`, a child (at any depth) of a skinned window, and the standard controls in it; they
// are painted over the window's background as the window's own children are. A group box shows the skin's
// rounded outline with its caption on it. False when the container is on no skinned window or already taken.
bool RegisterContainer(SkinEngine& skin, HWND container, const ContainerOptions& options = {});

// A new alpha for the tint of a registered container that has one.
void SetContainerAlpha(SkinEngine& skin, HWND container, int alpha);
