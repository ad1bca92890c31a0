// The program's one window: its controls, their events, the layout on resize and the creation handler; the
// forum and rule the window works on, and the settings window that changes them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/forum.h"
#include "app/settings_window.h"
#include "crawler/crawler.h"
#include "runtime/window.h"
#include "skin/skin_engine.h"

class MainWindow {
  public:
    // Works on the forum of `settings`. Without a skin object the window keeps the system's look (tests and
    // the skin-off benchmark). "确定" in the settings window saves into `settings_file` (nowhere when empty),
    // which also holds the user's rules. `notices` (what was wrong with the settings) show once in the status
    // line.
    explicit MainWindow(ForumSettings settings, SkinEngine* skin = nullptr, std::string settings_file = {},
                        std::vector<std::string> notices = {});

    // Creates and shows the window; its creation handler runs before this returns.
    bool Create(HICON icon, int show_command);
    FormWindow& form() { return form_; }
    // Asks whether to go on with the run the temporary list file holds when that run did not finish, and goes
    // on with it when the user says yes. The start routine calls it once the window shows.
    void OfferToContinueRun();
    // Opens the settings window, or brings it to the front when it is open.
    void OpenSettings();
    SettingsWindow* settings_window() { return settings_window_.get(); }

  private:
    FormDescription Describe();
    void OnCreated();
    void OnResized();
    // Takes `settings` for the forum, the rule, the cookie and the pace; what could not be used goes to
    // `notices`.
    void TakeSettings(const ForumSettings& settings, std::vector<std::string>& notices);
    // Applies settings from the settings window and saves them; empty when saved, else why not.
    std::string ApplySettings(const ForumSettings& settings);
    // Shows the forum in the caption, with its member count read from its home page on a worker.
    void ShowForum();
    // The forum as the commands and filters use it: with the rule chosen or, without one, the rule the latest
    // run found (the default before any did); and the address template of its threads.
    ForumSite SiteInUse() const;
    std::string ThreadAddress() const;
    static std::string TempFile();

    ForumSettings settings_;
    ForumSite site_;
    std::string settings_file_;
    std::vector<std::string> notices_;
    SkinEngine* skin_;
    HICON icon_ = nullptr;
    // Made with the window and outliving it: the jobs they queue hold their own state.
    std::unique_ptr<Crawler> crawler_;
    std::unique_ptr<ListCommands> commands_;
    std::unique_ptr<SettingsWindow> settings_window_;
    FormWindow form_;
};
