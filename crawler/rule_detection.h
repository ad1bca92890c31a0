// Finding which site rule reads a forum: each candidate tried on a thread page of the forum until one yields
// a title, a UID and a name.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crawler/site_rules.h"
#include "crawler/thread_page.h"
#include "net/fetched_page.h"

using PageFetch = std::function<FetchedPage(const std::string& url)>;

struct RuleDetection {
    std::optional<SiteRule> rule;  // the first candidate that read a whole thread; none when none did
    int32_t thread_id = 0;         // the thread it read
    ThreadPage page;               // what it read there
    std::string member_count;      // of the home page, under that rule (or the first rule that finds one)
    std::string report;            // one sentence: which rule fits and what it read, or why none fits
};

// Tries the candidates in order on the thread `first_id` (when given) and on the first thread link the home
// page carries in the candidate's address form. The home page is fetched once, each address at most once.
RuleDetection DetectRule(std::string_view base, std::optional<int32_t> first_id,
                         const std::vector<SiteRule>& candidates, const PageFetch& fetch);
