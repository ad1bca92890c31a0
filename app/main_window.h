// The program's one window: its controls, their events, the layout on resize and the creation handler.
#pragma once

#include <windows.h>

#include <string>

#include "runtime/window.h"

class MainWindow {
public:
    explicit MainWindow(std::string forum);

    // Creates and shows the window; its creation handler runs before this returns.
    bool Create(HICON icon, int show_command);
    FormWindow& form() { return form_; }

private:
    FormSpec Describe();
    void OnCreated();
    void OnResized();

    std::string forum_;
    FormWindow form_;
};
