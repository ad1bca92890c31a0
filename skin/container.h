// Skinned child containers: group boxes, frames and panels whose children the skin takes over and lays out,
// and windows around them that keep a painted layer of their own.
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

// `child`, a child of a registered container, grows and shrinks with it from now on: when the container is
// resized, the child keeps the distances it has now to the container's four edges (never smaller than
// nothing). False when its parent is no registered container.
bool StretchWithContainer(SkinEngine& skin, HWND child);

// `window`, a child (at any depth) of a skinned window, keeps a painted layer of its own: `layer` holds what
// its whole window area shows, and the skinned controls and containers inside it take their backgrounds from
// there (under the tints of the containers between). A null layer ends that; the program ends it before it
// frees the DC. False when the window is on no skinned window.
bool SetPaintedLayer(SkinEngine& skin, HWND window, HDC layer);
