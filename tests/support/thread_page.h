// A thread page as the forum serves it, for the loopback forums of the tests: title, author UID and name.
#pragma once

#include <string>

inline std::string ThreadPage(const std::string& forum, const std::string& title, const std::string& uid,
                              const std::string& name) {
    const std::string link = forum + "home.php?mod=space&amp;uid=" + uid;
    return "<span rel=\"start\" id=\"thread_subject\">" + title + "</span><strong><a href=\"" + link +
           "\"><div class=\"authi\"><a href=\"" + link + "\" target=\"_blank\" class=\"xw1\">" + name + "</a>";
}
