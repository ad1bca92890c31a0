// Forum addresses, the command-line option that names the forum, and the texts that show it.
#include "app/forum.h"

#include "net/url.h"
#include "runtime/text.h"

namespace {

constexpr std::string_view kProgramTitle = "Quillmoor 标题遍历器V1.0 <Brenwick>";
constexpr std::string_view kForumOption = "--forum";
constexpr std::string_view kConnectionsOption = "--connections";

std::string_view WithoutTrailingSlash(std::string_view forum) {
    return forum.ends_with('/') ? forum.substr(0, forum.size() - 1) : forum;
}

// Which option `argument` is ("--name" or "--name=value"; the value then goes to `value`); empty for none.
std::string_view OptionOf(std::string_view argument, std::string_view& value) {
    for (std::string_view option : {kForumOption, kConnectionsOption}) {
        if (argument == option) return option;
        if (argument.starts_with(option) && argument[option.size()] == '=') {
            value = argument.substr(option.size() + 1);
            return option;
        }
    }
    return {};
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

namespace {

std::string SetForum(ProgramOptions& options, std::string_view forum) {
    options.forum = forum;
    return ForumAddressProblem(forum);
}

std::string SetConnections(ProgramOptions& options, std::string_view text) {
    const bool digits =
        !text.empty() && text.size() <= 2 && text.find_first_not_of("0123456789") == text.npos;
    const int count = digits ? static_cast<int>(LeadingInteger(text)) : 0;
    if (count < 1 || count > kMostConnections)
        return "同时下载的页数必须是 1 到 " + DecimalText(kMostConnections) + " 之间的整数：" +
               std::string(text);
    options.connections = count;
    return {};
}

}  // namespace

ProgramOptions OptionsFromArguments(int argc, const char* const* argv, std::string& problem) {
    ProgramOptions options;
    problem.clear();
    for (int i = 1; i < argc && problem.empty(); ++i) {
        const std::string_view argument = argv[i];
        std::string_view value;
        const std::string_view option = OptionOf(argument, value);
        if (option.empty()) {
            problem = "不认识的命令行参数：" + std::string(argument);
        } else if (value.data() == nullptr && i + 1 >= argc) {
            problem = std::string(option) + " 后面缺少值";
        } else {
            if (value.data() == nullptr) value = argv[++i];
            problem = option == kForumOption ? SetForum(options, value) : SetConnections(options, value);
        }
    }
    return options;
}

std::string ThreadAddress(std::string_view forum, int64_t thread_id) {
    return std::string(forum) + "thread-" + DecimalText(thread_id) + "-1-1.html";
}

std::string HomePageAddress(std::string_view forum, std::string_view uid) {
    return std::string(forum) + "?" + std::string(uid);
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
