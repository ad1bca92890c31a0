// Site rules: where a forum's thread pages and member home pages are and which markers cut a thread's title,
// author UID and name out of its pages; the presets for widely used forum software, and the user's own rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/settings.h"

// Addresses are templates relative to the forum's base address (or absolute on the forum's host): {id} stands
// for the thread id, {uid} for the member's UID. Markers are literal text matched case-sensitively at their
// first occurrence; "#引号" stands for a double quote, {base} for the forum's base address, and the name's
// left marker may hold {uid}, the UID just found, so the name is the one of that member's link.
struct SiteRule {
    std::string name;
    std::string thread_address;
    std::string home_page;
    std::string title_left, title_right;
    std::string uid_left, uid_right;
    std::string name_left, name_right;
    std::string members_left, members_right;  // the member count on the forum's home page
    std::string missing_marker;               // on the forum's notice that a thread does not exist
    std::string login_marker;                 // on its notice that a login or a permission is needed
    bool operator==(const SiteRule&) const = default;
};

// The longest marker or address a rule may hold, in bytes.
inline constexpr size_t kMostRuleText = 1024;

// The rules built into the program, the default (the program's own forum markup) first.
const std::vector<SiteRule>& PresetRules();
const SiteRule& DefaultRule();

// Why `rule` cannot serve the forum at `base`; empty when it can. A rule needs an address of each kind, on
// the forum's host over http or https, the thread's with {id} and the home page's with {uid}; every marker of
// title, UID and name; no text over kMostRuleText bytes; no control characters.
std::string RuleProblem(const SiteRule& rule, std::string_view base);

// The user's rules of the settings file, those that can serve the forum at `base` and, for each one that
// cannot, why (a name of its own is required, too: not a preset's and not kAutoDetectRule).
struct UserRules {
    std::vector<SiteRule> usable;
    std::vector<std::string> refused;  // one sentence per refused rule
};
UserRules ReadUserRules(const SettingsFile& file, std::string_view base);

// The rule of that name among the presets and `user_rules`; none when there is no such rule.
std::optional<SiteRule> RuleNamed(std::string_view name, const std::vector<SiteRule>& user_rules);

// A rule made ready for one forum: {base} put in, #引号 made quotes, addresses made absolute.
class ForumRule {
  public:
    ForumRule(SiteRule rule, std::string_view base);

    const SiteRule& rule() const { return rule_; }
    const std::string& base() const { return base_; }
    // The address of a thread, and of a member's home page (the UID percent-encoded, so that a UID from a
    // page or a file can neither add to the address nor end it).
    std::string ThreadAddress(int64_t id) const;
    std::string HomePage(std::string_view uid) const;
    // The thread address template with {id} still in it, for the rows that rebuild their address (see
    // ThreadAddress of a result row).
    const std::string& ThreadAddressTemplate() const { return thread_address_; }

    // What a thread page gives. `page` may be a whole response body: the text ends at its first zero byte.
    struct Facts {
        std::string title, uid, name;
    };
    Facts Extract(std::string_view page) const;
    bool SaysMissing(std::string_view page) const;
    bool SaysLogin(std::string_view page) const;
    // The member count as the home page writes it; empty when the markers are missing.
    std::string MemberCount(std::string_view home_page) const;
    // The id of the first thread link of this rule's address form on a page (a home page); none when it has
    // none.
    std::optional<int32_t> FirstThreadLink(std::string_view page) const;

  private:
    SiteRule rule_;  // markers with {base} and #引号 put in
    std::string base_;
    std::string thread_address_, home_page_;
};

// Which forum a run walks and how: the window owns one, and a run copies it when it starts.
struct ForumSite {
    std::string base{kBuiltInForum};
    std::optional<SiteRule> rule = DefaultRule();  // none: the run finds the rule by itself
    std::string cookie;
    int connections = kDefaultConnections;
    int pages_per_second = 0;
};
