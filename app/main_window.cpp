// The main window's form description, its size handler and its creation handler.
#include "app/main_window.h"

#include "app/forum.h"
#include "app/layout.h"
#include "app/main_controls.h"
#include "net/page_download.h"
#include "runtime/services.h"
#include "runtime/text.h"
#include "skin/skin_images.h"

namespace {

const FontDescription kDefaultFont{-12, FW_NORMAL, GB2312_CHARSET, "宋体"};
const FontDescription kLabelFont{-12, FW_BOLD, GB2312_CHARSET, ""};
const FontDescription kListFont{-14, FW_BOLD, GB2312_CHARSET, ""};

struct Column {
    const char* header;
    int width;
};
constexpr Column kColumnHeaders[] = {
    {"序列号", 80}, {"标题名称", 500}, {"发布者UID", 150}, {"发布者名称", 150}, {"网址", 300},
};

}  // namespace

MainWindow::MainWindow(ForumSettings settings, SkinEngine* skin, std::string settings_file,
                       std::vector<std::string> notices)
    : settings_file_(std::move(settings_file)),
      notices_(std::move(notices)),
      skin_(skin),
      // The form shows the forum of the settings, so they are taken first.
      form_((TakeSettings(settings, notices_), Describe())) {}

bool MainWindow::Create(HICON icon, int show_command) {
    icon_ = icon;
    return form_.Create(icon, show_command);
}

void MainWindow::TakeSettings(const ForumSettings& settings, std::vector<std::string>& notices) {
    settings_ = settings;
    site_ = {.base = settings.address,
             .rule = std::nullopt,
             .cookie = settings.cookie,
             .connections = settings.connections,
             .pages_per_second = settings.pages_per_second};
    if (settings.rule == kAutoDetectRule) return;
    UserRules user_rules;
    if (!settings_file_.empty()) user_rules = ReadUserRules(ReadSettings(settings_file_), settings.address);
    site_.rule = RuleNamed(settings.rule, user_rules.usable);
    if (site_.rule) return;
    std::string why = "没有名为“" + settings.rule + "”的规则";
    for (const std::string& refused : user_rules.refused) {
        if (refused.starts_with("规则“" + settings.rule + "”")) why = refused;
    }
    notices.push_back("设置.ini：" + why + "，已改用默认规则");
    site_.rule = DefaultRule();
    settings_.rule = DefaultRule().name;
}

ForumSite MainWindow::SiteInUse() const {
    ForumSite site = site_;
    if (!site.rule) site.rule = crawler_ ? crawler_->FoundRule().value_or(DefaultRule()) : DefaultRule();
    return site;
}

std::string MainWindow::ThreadAddress() const {
    const ForumSite site = SiteInUse();
    return ForumRule(*site.rule, site.base).ThreadAddressTemplate();
}

FormDescription MainWindow::Describe() {
    using K = ControlKind;
    FormDescription form{ForumCaption(site_.base), 50, 50, 975, 696, kDefaultFont, {}, {}, {}};
    form.controls = {
        {kProgressLabel, K::TransparentLabel, 344, 656, 176, 16, "", {}, {}, {}},
        {kProgressBar, K::ProgressBar, 344, 656, 176, 24, "", {}, {}, {}},
        {kListFileDialog, K::FileDialog, 448, 272, 26, 26, "", {}, {}, {}},
        {kEmptyTitleFilter,
         K::CheckBox,
         536,
         648,
         113,
         24,
         "不显示查找为空",
         {},
         {},
         {{kClicked, [this] { crawler_->FilterEmptyTitles(ThreadAddress()); }}}},
        {kSearchEdit,
         K::Edit,
         804,
         650,
         156,
         20,
         "",
         {},
         {},
         {{kTextChanged, [this] { crawler_->FilterBySearchText(ThreadAddress()); }}}},
        {kSearchColumn, K::ComboBox, 735, 651, 66, 20, "", {"序列号", "标题", "UID", "用户名"}, {}, {}},
        {kSearchLabel, K::TransparentLabel, 672, 648, 48, 24, "查找框：", {}, kLabelFont, {}},
        {kStatusLine, K::TransparentLabel, 6, 680, 963, 16, ForumStatusLine(site_.base), {}, kLabelFont, {}},
        {kStartButton,
         K::Button,
         272,
         655,
         63,
         23,
         "开始",
         {},
         {},
         {{kClicked, [this] { crawler_->StartOrStopRun(site_); }}}},
        {kCountLabel, K::TransparentLabel, 144, 652, 48, 24, "遍历数：", {}, kLabelFont, {}},
        {kCountEdit, K::Edit, 196, 656, 66, 20, "", {}, {}, {}},
        {kFirstIdEdit, K::Edit, 68, 656, 66, 20, "", {}, {}, {}},
        {kFirstIdLabel, K::TransparentLabel, 16, 652, 48, 24, "开始段：", {}, kLabelFont, {}},
        {kResultList,
         K::ListView,
         8,
         34,
         960,
         601,
         "",
         {},
         kListFont,
         {{kRightClicked, [this] { commands_->ShowMenu(); }}}},
    };
    form.menu = {
        {"复制标题", [this] { commands_->CopyTitle(); }},
        {"复制UID", [this] { commands_->CopyUid(); }},
        {"复制网址", [this] { commands_->CopyAddress(); }},
        {"-", {}},
        {"打开网址", [this] { commands_->OpenThread(); }},
        {"打开UID主页", [this] { commands_->OpenHomePage(); }},
        {"-", {}},
        {"保存数据", [this] { commands_->Save(); }},
        {"读取数据", [this] { commands_->Load(); }},
        {"-", {}},
        {"清空列表", [this] { commands_->Clear(); }},
        {"-", {}},
        {"导出CSV", [this] { commands_->ExportCsv(); }},
        {"重试失败项", [this] { commands_->RetryFailed(); }},
        {"-", {}},
        {"设置…", [this] { OpenSettings(); }},
    };
    form.events = {
        {kFormCreated, [this] { OnCreated(); }},
        {kFormResized, [this] { OnResized(); }},
    };
    return form;
}

void MainWindow::OnResized() {
    Control window = form_.Window();
    int status_height = form_[kStatusLine].Height();
    for (const Placement& placement : MainWindowPlacements(window.Width(), window.Height(), status_height)) {
        Control control = form_[placement.control];
        switch (placement.edge) {
            case Edge::Left: control.SetLeft(placement.value); break;
            case Edge::Top: control.SetTop(placement.value); break;
            case Edge::Width: control.SetWidth(placement.value); break;
            case Edge::Height: control.SetHeight(placement.value); break;
        }
    }
}

void MainWindow::OnCreated() {
    if (skin_) {
        // The skin takes the window over before it is first shown: the embedded background stretched over a
        // dark red ground, an azure theme, see-through backgrounds for the children.
        skin_->SetProgramSkin(EmbeddedImage(SkinImage::Background), RGB(25, 0, 0), RGB(0x00, 0x88, 0xFF),
                              BackgroundMode::Stretched);
        skin_->SetOptions(true, 25);
        skin_->SkinWindow(form_.hwnd(), {.caption_height = 25});
        skin_->AddCaptionButton(form_.hwnd(), EmbeddedImage(SkinImage::Settings), "设置",
                                [this] { OpenSettings(); });
    }
    Control list = form_[kResultList];
    for (const Column& column : kColumnHeaders) list.AppendColumn(column.header, column.width);
    crawler_ = std::make_unique<Crawler>(
        CrawlerControls{list, form_[kFirstIdEdit], form_[kCountEdit], form_[kStartButton],
                        form_[kProgressBar], form_[kProgressLabel], form_[kStatusLine],
                        form_[kEmptyTitleFilter], form_[kSearchEdit], form_[kSearchColumn]},
        TempFile(), ThreadAddress());
    commands_ = std::make_unique<ListCommands>(form_, *crawler_, [this] { return SiteInUse(); });
    ShowForum();
    // What was wrong with the settings is said once, in place of the forum's name.
    std::string notice;
    for (const std::string& line : notices_) notice += (notice.empty() ? "" : "；") + line;
    if (!notice.empty()) form_[kStatusLine].SetText(notice);
}

void MainWindow::ShowForum() {
    // The home page may take long to answer: fetch it on a worker so the window answers at once, and add the
    // member count to the caption when it arrives. Without a rule, the first preset that finds a count on
    // the page gives it.
    Control window = form_.Window();
    window.SetText(ForumCaptionWithCount(site_.base, ""));
    std::vector<SiteRule> rules = site_.rule ? std::vector{*site_.rule} : PresetRules();
    StartWorker([window, site = site_, rules = std::move(rules)] {
        const FetchedPage home = DownloadPage(site.base, site.cookie);
        std::string count;
        for (const SiteRule& rule : rules) {
            if (count.empty()) count = ForumRule(rule, site.base).MemberCount(home.text);
        }
        window.SetText(ForumCaptionWithCount(site.base, count));
    });
}

std::string MainWindow::TempFile() {
    return ProgramDirectory() + "\\临时文件.ini";
}

void MainWindow::OfferToContinueRun() {
    std::optional<UnfinishedRun> run = UnfinishedRunIn(TempFile(), ThreadAddress());
    if (!run || crawler_->RunGoing()) return;
    const int64_t done = static_cast<int64_t>(run->rows.size());
    const std::string question = "上次的遍历没有完成（已完成 " + DecimalText(done) + " / " + DecimalText(run->planned) +
                                 " 个），是否接着遍历剩下的 " + DecimalText(run->planned - done) + " 个？";
    if (ShowMessage(question, "Quillmoor", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    crawler_->ContinueRun(site_, std::move(*run));
}

void MainWindow::OpenSettings() {
    if (settings_window_ && settings_window_->IsOpen()) {
        SetForegroundWindow(settings_window_->form().hwnd());
        return;
    }
    SettingsWindow::Host host{
        .settings = settings_,
        .settings_file = settings_file_,
        .apply = [this](const ForumSettings& settings) { return ApplySettings(settings); },
        .run_going = [this] { return crawler_->RunGoing(); },
        .first_id = [this] { return form_[kFirstIdEdit].Text(); },
    };
    settings_window_ = std::make_unique<SettingsWindow>(std::move(host), skin_, form_.hwnd());
    settings_window_->Open(icon_);
}

std::string MainWindow::ApplySettings(const ForumSettings& settings) {
    std::vector<std::string> notices;
    TakeSettings(settings, notices);
    ShowForum();
    form_[kStatusLine].SetText(ForumStatusLine(site_.base));
    if (settings_file_.empty()) return {};
    const std::string problem = SaveForumSettings(settings_file_, settings_);
    return problem.empty() ? problem : "设置已在本次运行中生效，但" + problem;
}
