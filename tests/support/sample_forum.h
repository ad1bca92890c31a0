// What the walker must extract from each thread page of the sample forum that tools/sample-forum.py
// generates.
#pragma once

#include <string>

// Title, author UID and author name as the thread page's markers give them (GBK bytes, raw as in the page).
struct ExpectedThreadPage {
    std::string title;
    std::string uid;
    std::string name;
    bool exists = true;  // false when the forum answers 404
};

// The charset a sample forum's pages are written in (tools/forum-server.sh start ... CHARSET).
enum class SampleForumCharset { kGbk, kUtf8 };

// The sample forum's answer for any thread id, as GBK text whatever the forum's charset. Ids 1 to 20 are
// hand-made pages; every other id follows its last digit: 7 is a page without any marker, 9 a missing thread,
// the others full threads whose title and name embed the id and whose UID is "1" followed by the id without
// its last digit. Negative ids are missing. Both charsets give the same except for id 11, whose half
// character hides the title in GBK only.
ExpectedThreadPage ExpectedThread(int id, SampleForumCharset charset = SampleForumCharset::kGbk);

// The member count on the sample forum's home page, as written there.
inline constexpr char kSampleForumMemberCount[] = "12,345";
