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

std::string SetForum(ProgramOptions& options, std::string_view forum) {
    options.forum = forum;
    return ForumAddressProblem(forum);
}

std::string SetConnections(ProgramOptions& options, std::string_view text) {
    options.connections = CountInRange(text, 1, kMostConnections);
    if (options.connections) return {};
    return "同时下载的页数必须是 1 到 " + DecimalText(kMostConnections) + " 之间的整数：" + std::string(text);
}

}  // namespace

ForumSettings ProgramOptions::Over(ForumSettings settings) const {
    if (forum) settings.address = *forum;
    if (connections) settings.connections = *connections;
    return settings;
}

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
