// The thread's title, the author's UID and the author's user name, cut out of a thread page by the forum's
// markers.
#pragma once

#include <string>
#include <string_view>

struct ThreadPageFacts {
    std::string title;
    std::string uid;
    std::string name;
};

// Values stand raw as in the page (GBK bytes, entities not decoded, blanks kept); a missing marker gives an
// empty value. Markers are matched case-sensitively at their first occurrence. `forum` is the base address
// ending in "/" that the page's user links start with. `page` may be the whole response body: the text ends
// at its first zero byte.
ThreadPageFacts ExtractThreadPage(std::string_view page, std::string_view forum);
