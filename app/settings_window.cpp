// The settings window's form, its check of a forum and the validation and application of its settings.
#include "app/settings_window.h"

#include "app/settings_controls.h"
#include "crawler/rule_detection.h"
#include "net/page_download.h"
#include "runtime/services.h"
#include "runtime/text.h"

namespace {

const FontDescription kDefaultFont{-12, FW_NORMAL, GB2312_CHARSET, "宋体"};
const FontDescription kLabelFont{-12, FW_BOLD, GB2312_CHARSET, ""};

constexpr char kRunGoing[] = "遍历正在进行：设置现在只能查看，要等遍历结束（或点“停止”）后才能应用。";

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

}  // namespace

SettingsWindow::SettingsWindow(Host host, SkinEngine* skin, HWND owner)
    : host_(std::move(host)),
      skin_(skin),
      owner_(owner),
      user_rules_(host_.settings_file.empty()
                      ? UserRules{}
                      : ReadUserRules(ReadSettings(host_.settings_file), host_.settings.address)),
      form_(Describe()) {}

bool SettingsWindow::Open(HICON icon) {
    return form_.Create(icon, SW_SHOWNORMAL, owner_);
}

FormDescription SettingsWindow::Describe() {
    using K = ControlKind;
    rule_names_ = {std::string(kAutoDetectRule)};
    for (const SiteRule& rule : PresetRules()) rule_names_.push_back(rule.name);
    for (const SiteRule& rule : user_rules_.usable) rule_names_.push_back(rule.name);
    const ForumSettings& now = host_.settings;
    // Over the middle of the main window.
    constexpr int kWidth = 520, kHeight = 384;
    RECT main{};
    GetWindowRect(owner_, &main);
    FormDescription form{"设置",
                         (main.left + main.right - kWidth) / 2,
                         (main.top + main.bottom - kHeight) / 2,
                         kWidth,
                         kHeight,
                         kDefaultFont,
                         {},
                         {},
                         {}};
    form.owned = true;
    form.controls = {
        {kAddressLabel, K::TransparentLabel, 16, 46, 80, 20, "论坛地址：", {}, kLabelFont, {}},
        {kAddressEdit, K::Edit, 100, 42, 400, 22, now.address, {}, {}, {}},
        {kRuleLabel, K::TransparentLabel, 16, 80, 80, 20, "规则：", {}, kLabelFont, {}},
        {kRuleChoice, K::ComboBox, 100, 76, 240, 22, "", rule_names_, {}, {}},
        {kConnectionsLabel, K::TransparentLabel, 16, 114, 80, 20, "连接数：", {}, kLabelFont, {}},
        {kConnectionsEdit, K::Edit, 100, 110, 60, 22, DecimalText(now.connections), {}, {}, {}},
        {kPaceLabel, K::TransparentLabel, 190, 114, 80, 20, "每秒最多：", {}, kLabelFont, {}},
        {kPaceEdit, K::Edit, 270, 110, 60, 22, DecimalText(now.pages_per_second), {}, {}, {}},
        {kPaceHint, K::TransparentLabel, 340, 114, 160, 20, "页（0 = 不限）", {}, {}, {}},
        {kCookieLabel, K::TransparentLabel, 16, 148, 80, 20, "Cookie：", {}, kLabelFont, {}},
        {kCookieEdit, K::Edit, 100, 144, 400, 22, now.cookie, {}, {}, {}},
        {kSettingsNote, K::Note, 16, 182, 484, 144, "", {}, {}, {}},
        {kCheckButton, K::Button, 245, 338, 75, 26, "检测", {}, {}, {{kClicked, [this] { Check(); }}}},
        {kOkButton, K::Button, 335, 338, 75, 26, "确定", {}, {}, {{kClicked, [this] { Apply(); }}}},
        {kCancelButton, K::Button, 425, 338, 75, 26, "取消", {}, {}, {{kClicked, [this] { Close(); }}}},
    };
    form.events = {{kFormCreated, [this] { OnCreated(); }}};
    return form;
}

void SettingsWindow::OnCreated() {
    if (skin_) skin_->SkinWindow(form_.hwnd(), {.caption_height = 25, .resizable = false});
    // The rule in force is chosen; one the window does not offer (a rule refused since) leaves the default.
    Control choice = form_[kRuleChoice];
    for (size_t item = 0; item < rule_names_.size(); ++item) {
        if (rule_names_[item] == host_.settings.rule) choice.SetSelection(static_cast<int>(item));
    }
    if (choice.Text() != host_.settings.rule) choice.SetSelection(1);
    std::vector<std::string> note = user_rules_.refused;
    if (host_.run_going()) note.insert(note.begin(), kRunGoing);
    if (note.empty()) note.push_back("点“检测”可以先试试这些设置能否读出帖子。");
    form_[kSettingsNote].SetText(Joined(note));
}

ForumSettings SettingsWindow::Typed(std::string& problem) {
    ForumSettings typed;
    typed.address = TrimBlanks(form_[kAddressEdit].Text());
    typed.rule = form_[kRuleChoice].Text();
    typed.cookie = TrimBlanks(form_[kCookieEdit].Text());
    const std::string connections = TrimBlanks(form_[kConnectionsEdit].Text());
    const std::string pace = TrimBlanks(form_[kPaceEdit].Text());
    problem = ForumAddressProblem(typed.address);
    if (problem.empty()) problem = ConnectionsProblem(connections);
    if (problem.empty()) problem = PagesPerSecondProblem(pace);
    if (problem.empty()) problem = CookieProblem(typed.cookie);
    if (problem.empty() && typed.rule != kAutoDetectRule) {
        // A rule of the user's was checked against the address the window opened with.
        const std::optional<SiteRule> rule = RuleNamed(typed.rule, user_rules_.usable);
        if (rule) problem = RuleProblem(*rule, typed.address);
        if (!problem.empty()) problem = "规则“" + typed.rule + "”不能用于这个地址：" + problem;
    }
    if (!problem.empty()) return typed;
    typed.connections = *CountInRange(connections, 1, kMostConnections);
    typed.pages_per_second = *CountInRange(pace, 0, kMostPagesPerSecond);
    return typed;
}

std::vector<SiteRule> SettingsWindow::Candidates(const std::string& choice,
                                                 const std::string& address) const {
    if (choice == kAutoDetectRule) return PresetRules();
    std::optional<SiteRule> rule = RuleNamed(choice, user_rules_.usable);
    if (rule && RuleProblem(*rule, address).empty()) return {*rule};
    return {};
}

void SettingsWindow::Check() {
    std::string problem;
    const ForumSettings typed = Typed(problem);
    Control note = form_[kSettingsNote], button = form_[kCheckButton];
    if (!problem.empty()) {
        note.SetText(problem);
        return;
    }
    const std::string first = TrimBlanks(host_.first_id());
    std::optional<int32_t> first_id;
    if (!first.empty()) first_id = TruncateToInt32(LeadingNumber(first));
    note.SetText("正在检测 " + typed.address + " ……");
    button.SetDisabled(true);
    // The forum may take long to answer: the window stays usable while a worker asks it.
    StartWorker([typed, first_id, candidates = Candidates(typed.rule, typed.address), note, button] {
        const RuleDetection found =
            DetectRule(typed.address, first_id, candidates,
                       [&](const std::string& url) { return DownloadPage(url, typed.cookie); });
        std::string report = found.report;
        if (!found.member_count.empty()) report += "\r\n首页会员数：" + found.member_count;
        note.SetText(report);
        button.SetDisabled(false);
    });
}

void SettingsWindow::Apply() {
    Control note = form_[kSettingsNote];
    if (host_.run_going()) {
        note.SetText(kRunGoing);
        return;
    }
    std::string problem;
    const ForumSettings typed = Typed(problem);
    if (problem.empty()) problem = host_.apply(typed);
    if (!problem.empty()) {
        note.SetText(problem);
        return;
    }
    Close();
}

void SettingsWindow::Close() {
    DestroyWindow(form_.hwnd());
}
