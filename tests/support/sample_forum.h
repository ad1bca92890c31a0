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

// The sample forum's answer for any thread id. Ids 1 to 20 are hand-made pages; every other id follows its
// last digit: 7 is a page without any marker, 9 a missing thread, the others full threads whose title and
// name embed the id and whose UID is "1" followed by the id without its last digit. Negative ids are missing.
ExpectedThreadPage ExpectedThread(int id);

// The member count on the sample forum's home page, as written there.
inline constexpr char kSampleForumMemberCount[] = "12,345";
