// Reading and writing the settings file, and the rules every setting's value must keep.
#include "state/settings.h"

#include "runtime/text.h"
#include "state/file_replace.h"
#include "state/ini_rewrite.h"
#include "state/list_file.h"

namespace {

constexpr std::string_view kAddressKey = "地址";
constexpr std::string_view kRuleKey = "规则";
constexpr std::string_view kCookieKey = "Cookie";
constexpr std::string_view kConnectionsKey = "连接数";
constexpr std::string_view kPagesPerSecondKey = "每秒最多";
constexpr std::string_view kForumKeys[] = {kAddressKey, kRuleKey, kCookieKey, kConnectionsKey,
                                           kPagesPerSecondKey};

std::string Quoted(std::string_view text) {
    return "“" + std::string(text) + "”";
}

std::string CountProblem(std::string_view text, std::string_view what, int least, int most) {
    if (CountInRange(text, least, most)) return {};
    return std::string(what) + Quoted(text) + "不是 " + DecimalText(least) + " 到 " + DecimalText(most) +
           " 之间的整数";
}

// Reads one value of the forum section into `value` when it is there and passes `problem_of`; a bad value
// leaves the default, and the problem and `fallback` (what was done instead) are said.
template <class Value, class Check, class Convert>
void ReadValue(SettingsFile& file, std::string_view key, Value& value, Check problem_of, Convert convert,
               std::string_view fallback) {
    const std::optional<std::string> text = file.ini.Find(kForumSection, key);
    if (!text) return;
    if (const std::string problem = problem_of(*text); !problem.empty()) {
        file.problems.push_back("设置.ini：" + problem + "，" + std::string(fallback));
        return;
    }
    value = convert(*text);
}

std::string DefaultUsed(std::string_view value) {
    return "已改用默认值" + Quoted(value);
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

std::string CookieProblem(std::string_view cookie) {
    if (HasControlCharacters(cookie)) return "Cookie 不能含有换行或其他控制字符";
    if (cookie.size() > kListValueLimit)
        return "Cookie 太长（最多 " + DecimalText(kListValueLimit) + " 字节）";
    return {};
}

std::optional<int> CountInRange(std::string_view text, int least, int most) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const int count = LeadingInteger(text);
    if (count < least || count > most) return std::nullopt;
    return count;
}

std::string ConnectionsProblem(std::string_view text) {
    return CountProblem(text, "连接数", 1, kMostConnections);
}

std::string PagesPerSecondProblem(std::string_view text) {
    return CountProblem(text, "每秒最多", 0, kMostPagesPerSecond);
}

SettingsFile ReadSettings(const std::string& path) {
    SettingsFile file;
    std::string bytes;
    if (!ReadFileContent(path, bytes)) {
        file.problems.push_back("无法读取设置文件，已使用默认设置：" + path);
        return file;
    }
    file.ini = IniReader::FromBytes(std::move(bytes));
    ForumSettings& forum = file.forum;
    const auto as_text = [](const std::string& text) { return text; };
    const auto as_count = [](const std::string& text) { return *CountInRange(text, 0, kMostPagesPerSecond); };
    ReadValue(file, kAddressKey, forum.address, ForumAddressProblem, as_text, DefaultUsed(kBuiltInForum));
    ReadValue(
        file, kRuleKey, forum.rule, [](const std::string&) { return std::string(); },
        [](const std::string& text) { return text.empty() ? std::string(kDefaultRuleName) : text; }, "");
    ReadValue(file, kCookieKey, forum.cookie, CookieProblem, as_text, "已不用它");
    ReadValue(file, kConnectionsKey, forum.connections, ConnectionsProblem, as_count,
              DefaultUsed(DecimalText(kDefaultConnections)));
    ReadValue(file, kPagesPerSecondKey, forum.pages_per_second, PagesPerSecondProblem, as_count,
              DefaultUsed("0"));
    for (const std::string& section : file.ini.SectionNames()) {
        if (section.starts_with(kRuleSectionPrefix))
            file.rule_names.push_back(section.substr(kRuleSectionPrefix.size()));
    }
    return file;
}

std::string SaveForumSettings(const std::string& path, const ForumSettings& settings) {
    std::string old;
    if (!ReadFileContent(path, old)) return "无法读取设置文件：" + path;
    if (IsUnicodeText(old))
        return "设置文件是 Unicode 编码，本程序只能写入 ANSI（GBK）编码的文件；请用记事本另存为 ANSI "
               "后再试：" +
               path;
    const std::string values[] = {settings.address, settings.rule, settings.cookie,
                                  DecimalText(settings.connections), DecimalText(settings.pages_per_second)};
    IniOwnedSections owned;
    owned.sections = 1;
    owned.number_of = [](std::string_view name) {
        return SameIniName(name, kForumSection) ? size_t{0} : IniOwnedSections::kNotOwned;
    };
    owned.name_of = [](size_t) { return std::string(kForumSection); };
    owned.owns_key = [](size_t, std::string_view key) {
        for (std::string_view ours : kForumKeys) {
            if (SameIniName(key, ours)) return true;
        }
        return false;
    };
    owned.write_keys = [&values](size_t, std::string& out) {
        for (size_t key = 0; key < std::size(kForumKeys); ++key)
            AppendIniKey(out, kForumKeys[key], ListValue(values[key]));
    };
    if (!ReplaceFileContent(path, RewriteIni(old, owned, old.size() + 256)))
        return "无法写入设置文件：" + path;
    return {};
}
