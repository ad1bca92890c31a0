// Downloading a forum page as the program's text: the body up to its first zero byte, in GBK.
#pragma once

#include <string>

#include "net/fetched_page.h"

// GET of `url` sending `cookie` (a cookie string; empty for none) and nothing the system keeps: what the
// forum answers, with its text (see PageText). A page whose response declares UTF-8 is converted to GBK
// first, so that extraction finds its markers and its text shows as written; a character GBK lacks becomes
// what the system's conversion makes of it. Any other page is taken as received. An answer cut short or past
// the size cap is no answer.
FetchedPage DownloadPage(const std::string& url, const std::string& cookie = {});
