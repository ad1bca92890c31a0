// The settings window: the forum's address, its rule, the cookie and the pace, tried with "检测" and applied
// with "确定".
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "crawler/site_rules.h"
#include "runtime/window.h"
#include "skin/skin_engine.h"

class SettingsWindow {
  public:
    // What the main window lends it: the settings in force, where they are saved, and how to apply new ones
    // (on the window's thread; an empty answer when they were applied and saved, else what went wrong).
    struct Host {
        ForumSettings settings;
        std::string settings_file;  // empty: no file
        std::function<std::string(const ForumSettings&)> apply;
        std::function<bool()> run_going;
        std::function<std::string()> first_id;  // the main window's "开始段", for "检测"
    };

    // The window will stand over `owner`, the main window.
    SettingsWindow(Host host, SkinEngine* skin, HWND owner);

    // Creates and shows the window.
    bool Open(HICON icon);
    bool IsOpen() const { return form_.hwnd() != nullptr; }
    FormWindow& form() { return form_; }

  private:
    FormDescription Describe();
    void OnCreated();
    void Check();
    void Apply();
    void Close();
    // The settings the window shows, with what is wrong with them (empty when nothing).
    ForumSettings Typed(std::string& problem);
    // The rules a "检测" of the rule choice `choice` tries.
    std::vector<SiteRule> Candidates(const std::string& choice, const std::string& address) const;

    Host host_;
    SkinEngine* skin_;
    HWND owner_;
    UserRules user_rules_;
    std::vector<std::string> rule_names_;  // the rule choice's items: 自动识别, the presets, the user's rules
    FormWindow form_;
};
