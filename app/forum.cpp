// Forum addresses, the command-line option that names the forum, and the texts that show it.
#include "app/forum.h"

#include "net/url.h"
#include "runtime/text.h"

namespace {

constexpr std::string_view kProgramTitle = "Quillmoor 标题遍历器V1.0 <Brenwick>";
constexpr std::string_view kOption = "--forum";

std::string_view WithoutTrailingSlash(std::string_view forum) {
    return forum.ends_with('/') ? forum.substr(0, forum.size() - 1) : forum;
}

}  // namespace

std::string ForumAddressProblem(std::string_view url) {
    std::string lower = AsciiLower(url);
    std::string_view scheme = lower.starts_with("http://")    ? "http://"
                              : lower.starts_with("https://") ? "https://"
                                                              : "";
    if (scheme.empty()) return "论坛地址必须以 http:// 或 https:// 开头：" + std::string(url);
    for (unsigned char c : url) {
        if (c <= ' ' || c == 0x7F) return "论坛地址不能含有空白或控制字符：" + std::string(url);
    }
    std::string_view rest = url.substr(scheme.size());
    if (rest.empty() || rest.front() == '/') return "论坛地址缺少主机名：" + std::string(url);
    if (!url.ends_with('/')) return "论坛地址必须以 / 结尾：" + std::string(url);
    return {};
}

std::string ForumFromArguments(int argc, const char* const* argv, std::string& problem) {
    std::string forum(kBuiltInForum);
    problem.clear();
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument == kOption) {
            if (i + 1 >= argc) {
                problem = "--forum 后面缺少论坛地址";
                return forum;
            }
            forum = argv[++i];
        } else if (argument.starts_with(kOption) && argument[kOption.size()] == '=') {
            forum = argument.substr(kOption.size() + 1);
        } else {
            problem = "不认识的命令行参数：" + std::string(argument);
            return forum;
        }
        problem = ForumAddressProblem(forum);
        if (!problem.empty()) return forum;
    }
    return forum;
}

std::string ForumCaption(std::string_view forum) {
    return std::string(kProgramTitle) + std::string(32, ' ') + "<" +
           std::string(WithoutTrailingSlash(forum)) + ">";
}

std::string ForumCaptionWithCount(std::string_view forum, std::string_view member_count) {
    return ForumCaption(forum) + "当前帖子数：" + std::string(member_count);
}

std::string ForumStatusLine(std::string_view forum) {
    return "Quillmoor  " + UrlHost(forum);
}

std::string MemberCountOfHomePage(std::string_view page) {
    return ExtractBetween(page, "/em><span class=#引号pipe#引号>|</span>会员: <em>",
                          "</em><span class=#引号pipe#引号>");
}
