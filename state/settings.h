// The settings file beside the program: which forum is walked, by which rule, with which cookie and at what
// pace, and the site rules the user wrote into it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/ini_reader.h"

// The forum walked when nothing names another.
inline constexpr std::string_view kBuiltInForum = "http://bbs.brenwick.example/";
// The rule of the program's own forum markup, used when nothing names another; and the choice that lets the
// program find the rule by itself.
inline constexpr std::string_view kDefaultRuleName = "默认";
inline constexpr std::string_view kAutoDetectRule = "自动识别";
// Pages of a run fetched at once: the default and the most; pages a second: the most (0 is no limit).
inline constexpr int kDefaultConnections = 4;
inline constexpr int kMostConnections = 16;
inline constexpr int kMostPagesPerSecond = 1000;

// Section and key names of the settings file.
inline constexpr std::string_view kForumSection = "论坛";
// A user's site rule is the section of this prefix and the rule's name.
inline constexpr std::string_view kRuleSectionPrefix = "规则：";

struct ForumSettings {
    std::string address{kBuiltInForum};  // the forum's base address, ending in "/"
    std::string rule{kDefaultRuleName};  // a rule's name, or kAutoDetectRule
    std::string cookie;                  // sent with every request; one line, no control characters
    int connections = kDefaultConnections;
    int pages_per_second = 0;
    bool operator==(const ForumSettings&) const = default;
};

// Why `url` cannot serve as a forum base address (absolute http:// or https://, a host, ending in "/", no
// blanks or control characters); empty when it can.
std::string ForumAddressProblem(std::string_view url);
// Why the cookie cannot be sent (it would add header lines of its own); empty when it can.
std::string CookieProblem(std::string_view cookie);
// The number a user wrote, when it is a whole number from `least` to `most` written in digits only; none
// otherwise.
std::optional<int> CountInRange(std::string_view text, int least, int most);
// Why a count of connections or of pages a second cannot be used; empty when it can.
std::string ConnectionsProblem(std::string_view text);
std::string PagesPerSecondProblem(std::string_view text);

struct SettingsFile {
    ForumSettings forum;
    // What was wrong with the file, each thing once; its value was replaced by the default.
    std::vector<std::string> problems;
    // The whole file, and the names of its rule sections (without the prefix) in file order.
    IniReader ini;
    std::vector<std::string> rule_names;
};

// The settings of the file at `path`. A missing file gives the defaults; an unreadable or damaged file, or a
// bad value, gives the defaults for what could not be read, and says so in `problems`.
SettingsFile ReadSettings(const std::string& path);

// Writes the forum section into the file at `path`, keeping everything else it holds (the user's rules,
// comments), in one step. Empty on success, else what went wrong.
std::string SaveForumSettings(const std::string& path, const ForumSettings& settings);
