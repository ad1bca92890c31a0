// What became of a request: the forum's answer with its status, or why there was none.
#pragma once

#include <string>

enum class FetchOutcome {
    kAnswered,      // a whole answer came, whatever its status
    kNoConnection,  // the forum could not be reached (refused, no such host)
    kTimedOut,      // the forum stopped answering
    kReset,         // the connection broke off before the answer was whole
    kTooLarge,      // the answer went past the size cap; what came is dropped
    kRefused,       // not sent: the request would have been unsafe (a cookie with control characters)
    kFailed,        // anything else that left no answer
};

struct FetchedPage {
    FetchOutcome outcome = FetchOutcome::kFailed;
    int status = 0;        // the HTTP status of an answer
    int retry_after = -1;  // seconds the forum asked to wait before the next try (Retry-After); -1 for none
    std::string text;      // the page as text (GBK) of an answer

    bool Answered() const { return outcome == FetchOutcome::kAnswered; }
};
