// The forum the program walks: its base address, the addresses built from it, and the window's texts about
// it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The forum walked when the command line names no other.
inline constexpr std::string_view kBuiltInForum = "http://bbs.brenwick.example/";

// Why `url` cannot serve as a forum base address (absolute http:// or https://, a host, ending in "/", no
// blanks or control characters); empty when it can.
std::string ForumAddressProblem(std::string_view url);

// Pages of a run fetched at once: the default, and the most the command line may ask for.
inline constexpr int kDefaultConnections = 4;
inline constexpr int kMostConnections = 16;

struct ProgramOptions {
    std::string forum{kBuiltInForum};
    int connections = kDefaultConnections;
};

// The options of the command line: "--forum URL" or "--forum=URL" (the built-in forum when absent) and
// "--connections N" or "--connections=N" (1 … 16). `problem` receives what is wrong with the arguments, if
// anything.
ProgramOptions OptionsFromArguments(int argc, const char* const* argv, std::string& problem);

std::string ThreadAddress(std::string_view forum, int64_t thread_id);
std::string HomePageAddress(std::string_view forum, std::string_view uid);

// Window caption before the member count is known, and with it ("" while unknown).
std::string ForumCaption(std::string_view forum);
std::string ForumCaptionWithCount(std::string_view forum, std::string_view member_count);
// The status line's first text: the program's name and the forum's host.
std::string ForumStatusLine(std::string_view forum);
// The member count as the home page shows it, copied as text; empty when the markers are missing.
std::string MemberCountOfHomePage(std::string_view page);
