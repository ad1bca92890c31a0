// The verdict on a thread page and the marker-based extraction of its title, author UID and author name.
#include "crawler/thread_page.h"

#include "net/url.h"
#include "runtime/text.h"

namespace {

PageVerdict VerdictOfStatus(int status) {
    if (status == 404 || status == 410) return PageVerdict::kMissing;
    if (status == 401 || status == 403) return PageVerdict::kLogin;
    if (status == 408 || status == 429 || status >= 500) return PageVerdict::kFailed;
    return PageVerdict::kUntitled;
}

}  // namespace

ThreadPage ReadThreadPage(const FetchedPage& fetched, const ForumRule& rule) {
    ThreadPage page;
    if (!fetched.Answered()) return page;
    page.verdict = VerdictOfStatus(fetched.status);
    if (page.verdict != PageVerdict::kUntitled) return page;

    const std::string text = PageText(fetched.text);
    const SiteRule& markers = rule.rule();
    // A notice is told by the markup the forum writes around it, which a post can never carry, so it is
    // looked for first: a notice page may have an element the title marker also finds.
    if (!markers.missing_marker.empty() && ContainsText(text, markers.missing_marker)) {
        page.verdict = PageVerdict::kMissing;
        return page;
    }
    if (!markers.login_marker.empty() && ContainsText(text, markers.login_marker)) {
        page.verdict = PageVerdict::kLogin;
        return page;
    }
    page.title = ExtractBetween(text, markers.title_left, markers.title_right);
    if (!page.title.empty()) page.verdict = PageVerdict::kTitled;
    page.uid = ExtractBetween(text, markers.uid_left, markers.uid_right);
    // The author's name is looked up by the UID just found, so it is the name of that author's link.
    page.name = ExtractBetween(text, ReplaceText(markers.name_left, "{uid}", page.uid), markers.name_right);
    return page;
}
