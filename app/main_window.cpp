// The main window's form description, its size handler and its creation handler.
#include "app/main_window.h"

#include "app/forum.h"
#include "app/layout.h"
#include "app/main_controls.h"
#include "net/page_download.h"
#include "runtime/services.h"

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

MainWindow::MainWindow(std::string forum, int connections, SkinEngine* skin)
    : forum_(std::move(forum)), connections_(connections), skin_(skin), form_(Describe()) {}

bool MainWindow::Create(HICON icon, int show_command) {
    return form_.Create(icon, show_command);
}

FormDescription MainWindow::Describe() {
    using K = ControlKind;
    FormDescription form{ForumCaption(forum_), 50, 50, 975, 696, kDefaultFont, {}, {}, {}};
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
         {{kClicked, [this] { crawler_->FilterEmptyTitles(); }}}},
        {kSearchEdit,
         K::Edit,
         804,
         650,
         156,
         20,
         "",
         {},
         {},
         {{kTextChanged, [this] { crawler_->FilterBySearchText(); }}}},
        {kSearchColumn, K::ComboBox, 735, 651, 66, 20, "", {"序列号", "标题", "UID", "用户名"}, {}, {}},
        {kSearchLabel, K::TransparentLabel, 672, 648, 48, 24, "查找框：", {}, kLabelFont, {}},
        {kStatusLine, K::TransparentLabel, 6, 680, 963, 16, ForumStatusLine(forum_), {}, kLabelFont, {}},
        {kStartButton,
         K::Button,
         272,
         655,
         63,
         23,
         "开始",
         {},
         {},
         {{kClicked, [this] { crawler_->StartOrStopRun(); }}}},
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
    }
    Control list = form_[kResultList];
    for (const Column& column : kColumnHeaders) list.AppendColumn(column.header, column.width);
    crawler_ = std::make_unique<Crawler>(
        CrawlerControls{list, form_[kFirstIdEdit], form_[kCountEdit], form_[kStartButton],
                        form_[kProgressBar], form_[kProgressLabel], form_[kStatusLine],
                        form_[kEmptyTitleFilter], form_[kSearchEdit], form_[kSearchColumn]},
        forum_, ProgramDirectory() + "\\临时文件.ini", connections_);
    commands_ = std::make_unique<ListCommands>(form_, forum_, *crawler_);

    // The home page may take long to answer: fetch it on a worker so the window answers at once, and add the
    // member count to the caption when it arrives.
    Control window = form_.Window();
    window.SetText(ForumCaptionWithCount(forum_, ""));
    StartWorker([window, forum = forum_] {
        std::string count = MemberCountOfHomePage(DownloadPageText(forum));
        window.SetText(ForumCaptionWithCount(forum, count));
    });
}
