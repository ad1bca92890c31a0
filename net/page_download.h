// Downloading a forum page as the program's text: the body up to its first zero byte, in GBK.
#pragma once

#include <string>

// GET of `url`; the body as text (see PageText). A page whose response declares UTF-8 is converted to GBK
// first, so that extraction finds its markers and its text shows as written; a character GBK lacks becomes
// what the system's conversion makes of it. Any other page is returned as received.
std::string DownloadPageText(const std::string& url);
