// The preset site rules, the checks a user's rule must pass, and a rule made ready for one forum.
#include "crawler/site_rules.h"

#include <algorithm>
#include <charconv>

#include "net/url.h"
#include "runtime/text.h"
#include "state/result_row.h"

namespace {

constexpr std::string_view kId = "{id}";
constexpr std::string_view kUid = "{uid}";
constexpr std::string_view kBase = "{base}";
constexpr std::string_view kQuote = "#引号";

// The notices of Discuz! X (source/language/lang_message.php inside template/default/common/showmessage.htm):
// the thread is missing, or the guest must log in first (the login form is fetched into the empty element).
// Each is markup the forum writes itself, which a post's text, escaped by the forum, can never carry.
constexpr std::string_view kDiscuzXMissing = "<p>抱歉，指定的主题不存在或已被删除或正在被审核</p>";
constexpr std::string_view kDiscuzXLogin = "<div id=\"messagelogin\"></div>";

std::vector<SiteRule> MakePresets() {
    std::vector<SiteRule> presets;
    // The program's own forum: Discuz! X markup with absolute member links and a subject marked rel="start"
    // (as an SEO add-on writes it). The author's UID comes from the first post's profile card.
    presets.push_back({
        .name = std::string(kDefaultRuleName),
        .thread_address = "thread-{id}-1-1.html",
        .home_page = "?{uid}",
        .title_left = "<span rel=\"start\" id=\"thread_subject\">",
        .title_right = "</span>",
        .uid_left = "<strong><a href=\"{base}home.php?mod=space&amp;uid=",
        .uid_right = "\"",
        .name_left =
            "<div class=\"authi\"><a href=\"{base}home.php?mod=space&amp;uid={uid}\" target=\"_blank\" "
            "class=\"xw1\">",
        .name_right = "</a>",
        .members_left = "/em><span class=\"pipe\">|</span>会员: <em>",
        .members_right = "</em><span class=\"pipe\">",
        .missing_marker = std::string(kDiscuzXMissing),
        .login_marker = std::string(kDiscuzXLogin),
    });
    // Discuz! X3 as installed (template/default/forum/viewthread.htm, viewthread_node.htm): relative links,
    // threads and members by query. The first post's author: its profile card's link (which no header or
    // reply above the post carries) gives the UID, the name line of its author column the name.
    SiteRule x3{
        .name = "Discuz! X3",
        .thread_address = "forum.php?mod=viewthread&tid={id}",
        .home_page = "home.php?mod=space&uid={uid}",
        .title_left = "<span id=\"thread_subject\">",
        .title_right = "</span>",
        .uid_left = "<strong><a href=\"home.php?mod=space&amp;uid=",
        .uid_right = "\"",
        .name_left =
            "<div class=\"authi\"><a href=\"home.php?mod=space&amp;uid={uid}\" target=\"_blank\" "
            "class=\"xw1\">",
        .name_right = "</a>",
        .members_left = "<span class=\"pipe\">|</span>会员: <em>",
        .members_right = "</em>",
        .missing_marker = std::string(kDiscuzXMissing),
        .login_marker = std::string(kDiscuzXLogin),
    };
    presets.push_back(x3);
    // Discuz! X3 with its rewritten ("伪静态") addresses: the same markup, links as thread-N-1-1.html and
    // space-uid-N.html.
    SiteRule& rewritten = presets.emplace_back(std::move(x3));
    rewritten.name = "Discuz! X3 伪静态";
    rewritten.thread_address = "thread-{id}-1-1.html";
    rewritten.home_page = "space-uid-{uid}.html";
    rewritten.uid_left = "<strong><a href=\"space-uid-";
    rewritten.uid_right = ".html\"";
    rewritten.name_left =
        "<div class=\"authi\"><a href=\"space-uid-{uid}.html\" target=\"_blank\" class=\"xw1\">";
    // Discuz! 7 (templates/default/viewthread.htm, viewthread_node.htm, showmessage.htm, nopermission.htm):
    // the subject is the page's <h1>, the UID comes from the first post's "发短消息" link, the name from its
    // poster link; a missing thread and a guest are told by showmessage and nopermission.
    presets.push_back({
        .name = "Discuz! 7",
        .thread_address = "viewthread.php?tid={id}",
        .home_page = "space.php?uid={uid}",
        .title_left = "<h1>",
        .title_right = "</h1>",
        .uid_left = "<li class=\"pm\"><a href=\"pm.php?action=new&amp;uid=",
        .uid_right = "\"",
        .name_left = "<a href=\"space.php?uid={uid}\" class=\"posterlink\" target=\"_blank\">",
        .name_right = "</a>",
        .members_left = ", 会员: <em>",
        .members_right = "</em>",
        .missing_marker = "<p>指定的主题不存在或已被删除或正在被审核，请返回。</p>",
        .login_marker = "<p>您无权进行当前操作，原因如下：</p>",
    });
    return presets;
}

std::string Quoted(std::string_view text) {
    return "“" + std::string(text) + "”";
}

// Every text a rule holds, with the name it has in the settings file, in the file's key order.
struct RuleText {
    std::string_view key;
    std::string SiteRule::*member;
    bool required;  // a rule cannot work with it empty
};
constexpr RuleText kRuleTexts[] = {
    {"帖子地址", &SiteRule::thread_address, true},
    {"会员主页", &SiteRule::home_page, true},
    {"标题左", &SiteRule::title_left, true},
    {"标题右", &SiteRule::title_right, true},
    {"UID左", &SiteRule::uid_left, true},
    {"UID右", &SiteRule::uid_right, true},
    {"用户名左", &SiteRule::name_left, true},
    {"用户名右", &SiteRule::name_right, true},
    {"会员数左", &SiteRule::members_left, false},
    {"会员数右", &SiteRule::members_right, false},
    {"不存在标记", &SiteRule::missing_marker, false},
    {"需登录标记", &SiteRule::login_marker, false},
};

bool IsAbsolute(std::string_view address) {
    const std::string lower = AsciiLower(address.substr(0, 8));
    return lower.starts_with("http://") || lower.starts_with("https://");
}

// A template made absolute: relative ones are taken from the base address.
std::string Absolute(std::string_view base, std::string_view address) {
    return IsAbsolute(address) ? std::string(address) : std::string(base) + std::string(address);
}

std::string AddressProblem(std::string_view key, std::string_view address, std::string_view slot,
                           std::string_view base) {
    if (!ContainsText(address, slot)) return std::string(key) + "里没有 " + std::string(slot);
    if (ContainsText(address, " ") || ContainsText(address, "\xA1\xA1"))
        return std::string(key) + "不能含有空格";
    const std::string example = ReplaceText(Absolute(base, address), slot, "1");
    // Cookies belong to a host, whatever its port or scheme, so the host is what must stay the forum's.
    if (!IsWebAddress(example) || UrlHost(example) != UrlHost(base))
        return std::string(key) + "不在论坛的主机上（只能是 http 或 https 的 " + UrlHost(base) + "）";
    return {};
}

// The decimal digits at the start of `text`, as a thread id when they fit 32 bits.
std::string_view LeadingDigits(std::string_view text) {
    return text.substr(0, std::min(text.size(), text.find_first_not_of("0123456789")));
}
std::optional<int32_t> IdOf(std::string_view digits) {
    int32_t id = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return id;
}

}  // namespace

const std::vector<SiteRule>& PresetRules() {
    static const std::vector<SiteRule> presets = MakePresets();
    return presets;
}

const SiteRule& DefaultRule() {
    return PresetRules().front();
}

std::string RuleProblem(const SiteRule& rule, std::string_view base) {
    for (const RuleText& text : kRuleTexts) {
        const std::string& value = rule.*text.member;
        if (text.required && value.empty()) return std::string(text.key) + "是空的";
        if (value.size() > kMostRuleText)
            return std::string(text.key) + "太长（最多 " + DecimalText(kMostRuleText) + " 字节）";
        if (HasControlCharacters(value)) return std::string(text.key) + "含有控制字符";
    }
    if (std::string problem = AddressProblem("帖子地址", rule.thread_address, kId, base); !problem.empty())
        return problem;
    return AddressProblem("会员主页", rule.home_page, kUid, base);
}

UserRules ReadUserRules(const SettingsFile& file, std::string_view base) {
    UserRules rules;
    for (const std::string& name : file.rule_names) {
        const std::string section = std::string(kRuleSectionPrefix) + name;
        SiteRule rule{.name = name};
        std::string problem;
        if (TrimBlanks(name).empty()) {
            problem = "没有名字";
        } else if (name == kAutoDetectRule || RuleNamed(name, {})) {
            problem = "与程序自带的规则同名";
        }
        for (const RuleText& text : kRuleTexts) {
            const std::optional<std::string> value = file.ini.Find(section, text.key);
            if (!value && problem.empty()) problem = "缺少键" + Quoted(text.key);
            rule.*text.member = value.value_or(std::string());
        }
        if (problem.empty()) problem = RuleProblem(rule, base);
        if (problem.empty()) {
            rules.usable.push_back(std::move(rule));
        } else {
            rules.refused.push_back("规则" + Quoted(name) + "不可用：" + problem);
        }
    }
    return rules;
}

std::optional<SiteRule> RuleNamed(std::string_view name, const std::vector<SiteRule>& user_rules) {
    for (const std::vector<SiteRule>* rules : {&PresetRules(), &user_rules}) {
        for (const SiteRule& rule : *rules) {
            if (rule.name == name) return rule;
        }
    }
    return std::nullopt;
}

ForumRule::ForumRule(SiteRule rule, std::string_view base) : rule_(std::move(rule)), base_(base) {
    for (const RuleText& text : kRuleTexts) {
        std::string& value = rule_.*text.member;
        value = ReplaceText(ReplaceText(value, kQuote, "\""), kBase, base);
    }
    thread_address_ = Absolute(base, rule_.thread_address);
    home_page_ = Absolute(base, rule_.home_page);
}

std::string ForumRule::ThreadAddress(int64_t id) const {
    return ::ThreadAddress(thread_address_, id);
}

std::string ForumRule::HomePage(std::string_view uid) const {
    return ReplaceText(home_page_, kUid, PercentEncode(uid));
}

std::string ForumRule::MemberCount(std::string_view home_page) const {
    if (rule_.members_left.empty() || rule_.members_right.empty()) return {};
    return ExtractBetween(PageText(home_page), rule_.members_left, rule_.members_right);
}

std::optional<int32_t> ForumRule::FirstThreadLink(std::string_view page) const {
    // Links stand relative to the forum or absolute, with "&" written "&amp;" in the page's markup.
    const std::string_view address = thread_address_;
    const size_t slot = address.find(kId);
    if (slot == std::string_view::npos) return std::nullopt;
    std::string_view prefix = address.substr(0, slot);
    if (AsciiLower(prefix).starts_with(AsciiLower(base_))) prefix.remove_prefix(base_.size());
    const std::string_view suffix = address.substr(slot + kId.size());
    const std::string text = PageText(page);
    const std::string_view view = text;
    for (const std::string& form : {std::string(prefix), ReplaceText(prefix, "&", "&amp;")}) {
        if (form.empty()) continue;
        for (int found = FindText(text, form); found > 0; found = FindText(text, form, found + 1)) {
            const size_t at = static_cast<size_t>(found - 1);
            // Only a whole link counts: one that starts an attribute value or follows the forum's address.
            if (at > 0 && std::string_view("\"'/=").find(view[at - 1]) == std::string_view::npos) continue;
            const std::string_view digits = LeadingDigits(view.substr(at + form.size()));
            const std::string_view rest = view.substr(at + form.size() + digits.size());
            const std::optional<int32_t> id = IdOf(digits);
            if (id && (rest.starts_with(suffix) || rest.starts_with(ReplaceText(suffix, "&", "&amp;"))))
                return id;
        }
    }
    return std::nullopt;
}
