// What the walker must extract from each thread page of the sample forum that tools/sample-forum.py
// generates.
#pragma once

#include <string>

// Title, author UID and author name as the thread page's markers give them (GBK bytes, raw as in the page).
struct ExpectedThreadPage {
    std::string title;
    std::string uid;
    std::string name;
    // False when the forum says there is no such thread: a 404, or the software's "thread does not exist"
    // notice (HTTP 200; the only answer the real software's markups give, but for the rewrite rule's negative
    // ids).
    bool exists = true;
    // True when a guest gets the software's login-required notice instead of the thread; title, uid and name
    // are then what the sample member (kSampleForumLoginCookie) gets.
    bool needs_login = false;
};

// The charset a sample forum's pages are written in (tools/forum-server.sh start ... CHARSET).
enum class SampleForumCharset { kGbk, kUtf8 };

// Whose page markup the sample forum serves (tools/forum-server.sh start ... MARKUP): the program's own
// design, Discuz! X3 (forum.php?mod=viewthread&tid=N), Discuz! X3 with its URL rewriting (thread-N-1-1.html)
// or Discuz! 7 (viewthread.php?tid=N).
enum class SampleForumMarkup { kDesign, kDiscuzX3, kDiscuzX3Rewrite, kDiscuz7 };

// The sample forum's answer for any thread id, as GBK text whatever the forum's charset. Ids 1 to 20 are
// hand-made pages; every other id follows its last digit: 7 is a hidden thread (the software's notice that
// the thread does not exist, with HTTP 200), 9 a missing thread, the others full threads whose title and name
// embed the id and whose UID is "1" followed by the id without its last digit. Negative ids are missing. Both
// charsets give the same except for id 11, whose half character hides the title in GBK only.
//
// The markups differ in two places. Id 18, a guest's thread: the design gives the name "游客" from an author
// block for the empty UID, while the real software links no member on a guest's post at all, so its name is
// empty too. And only the real software puts threads whose tens digit is 4 (ids above 20) behind a login
// (needs_login). Thread 1030 there links three repliers above its author's block, with the values of an
// ordinary thread of its id.
ExpectedThreadPage ExpectedThread(int id, SampleForumCharset charset = SampleForumCharset::kGbk,
                                  SampleForumMarkup markup = SampleForumMarkup::kDesign);

// The member count on the sample forum's home page, as written there: the design's, and each markup's.
inline constexpr char kSampleForumMemberCount[] = "12,345";
const char* SampleForumMemberCount(SampleForumMarkup markup);

// The Cookie header pair of the sample member's session, which lets a request past the login of the real
// software's markups.
inline constexpr char kSampleForumLoginCookie[] = "qm_2132_auth=b7f9OqvM2m7pXcR%2FkT8aYw4HnE0sL5jD3uZ6iG1";
