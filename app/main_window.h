// The program's one window: its controls, their events, the layout on resize and the creation handler.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/commands.h"
#include "app/forum.h"
#include "crawler/crawler.h"
#include "runtime/window.h"
#include "skin/skin_engine.h"

class MainWindow {
  public:
    // Without a skin object the window keeps the system's look (tests and the skin-off benchmark).
    explicit MainWindow(std::string forum, int connections = kDefaultConnections, SkinEngine* skin = nullptr);

    // Creates and shows the window; its creation handler runs before this returns.
    bool Create(HICON icon, int show_command);
    FormWindow& form() { return form_; }

  private:
    FormDescription Describe();
    void OnCreated();
    void OnResized();

    std::string forum_;
    int connections_;
    SkinEngine* skin_;
    // Made with the window and outliving it: the jobs they queue hold their own state.
    std::unique_ptr<Crawler> crawler_;
    std::unique_ptr<ListCommands> commands_;
    FormWindow form_;
};
