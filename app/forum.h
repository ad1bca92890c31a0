// The forum the program walks: its base address, the addresses built from it, and the window's texts about
// it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "state/settings.h"

// What the command line asks for; it wins over the settings file for the session.
struct ProgramOptions {
    std::optional<std::string> forum;
    std::optional<int> connections;

    // The settings with the command line's choices put in.
    ForumSettings Over(ForumSettings settings) const;
};

// The options of the command line: "--forum URL" or "--forum=URL" and "--connections N" or "--connections=N"
// (1 … 16). `problem` receives what is wrong with the arguments, if anything.
ProgramOptions OptionsFromArguments(int argc, const char* const* argv, std::string& problem);

// Window caption before the member count is known, and with it ("" while unknown).
std::string ForumCaption(std::string_view forum);
std::string ForumCaptionWithCount(std::string_view forum, std::string_view member_count);
// The status line's first text: the program's name and the forum's host.
std::string ForumStatusLine(std::string_view forum);
