// DownloadPage: HttpRequest, then the charset the response declares decides on a conversion to GBK.
#include "net/page_download.h"

#include <windows.h>

#include <string_view>

#include "net/charset.h"
#include "net/http_request.h"
#include "runtime/text.h"

namespace {

// The extraction markers are GBK whatever the system's ANSI code page, so the page's text must be too.
constexpr UINT kGbkCodePage = 936;

std::string GbkFromUtf8(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    const int wide_size = static_cast<int>(wide.size());
    std::string gbk(
        WideCharToMultiByte(kGbkCodePage, 0, wide.data(), wide_size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(kGbkCodePage, 0, wide.data(), wide_size, gbk.data(), static_cast<int>(gbk.size()),
                        nullptr, nullptr);
    return gbk;
}

}  // namespace

FetchedPage DownloadPage(const std::string& url, const std::string& cookie) {
    HttpRequestArgs args;
    args.url = url;
    args.cookies = cookie;
    // The forum's own cookies are neither kept nor sent: each request carries exactly the user's cookie.
    args.merge_cookies = true;
    std::string text = PageText(HttpRequest(args));
    FetchedPage page{.outcome = args.outcome, .status = args.status, .retry_after = args.retry_after};
    if (page.Answered()) page.text = DeclaresUtf8(args.returned_headers, text) ? GbkFromUtf8(text) : text;
    return page;
}
