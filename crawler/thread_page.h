// What one thread page says under a site rule: the thread's title, the author's UID and name, and the
// verdict: a thread, a missing thread, a login wall, or no page at all.
#pragma once

#include <string>

#include "crawler/site_rules.h"
#include "net/fetched_page.h"

enum class PageVerdict {
    kTitled,    // a thread page with a title
    kUntitled,  // a page, but no title on it
    kMissing,   // the forum says the thread does not exist (a 404 or 410, or its notice)
    kLogin,     // the forum wants a login or a permission first (401, 403, or its notice)
    kFailed,    // no page could be had: no answer, or an error the forum may get over (408, 429, 5xx)
};

struct ThreadPage {
    PageVerdict verdict = PageVerdict::kFailed;
    // Values stand raw as in the page (GBK bytes, entities not decoded, blanks kept); a missing marker gives
    // an empty value. Only a page of the thread itself gives any: a notice or a failure gives none.
    std::string title, uid, name;
};

ThreadPage ReadThreadPage(const FetchedPage& fetched, const ForumRule& rule);
