// Marker-based extraction of a thread page's title, author UID and author name.
#include "crawler/thread_page.h"

#include "net/url.h"

namespace {

constexpr std::string_view kTitleLeft = "<span rel=\"start\" id=\"thread_subject\">";
constexpr std::string_view kTitleRight = "</span>";
constexpr std::string_view kUserLink = "home.php?mod=space&amp;uid=";

}  // namespace

ThreadPageFacts ExtractThreadPage(std::string_view page, std::string_view forum) {
    page = page.substr(0, page.find('\0'));
    ThreadPageFacts facts;
    facts.title = ExtractBetween(page, kTitleLeft, kTitleRight);
    const std::string user_link = std::string(forum) + std::string(kUserLink);
    facts.uid = ExtractBetween(page, "<strong><a href=\"" + user_link, "\"");
    // The author block is looked up by the UID just found, so the name is the one of that author's link.
    facts.name = ExtractBetween(
        page,
        "<div class=\"authi\"><a href=\"" + user_link + facts.uid + "\" target=\"_blank\" class=\"xw1\">",
        "</a>");
    return facts;
}
