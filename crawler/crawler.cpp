// The traversal run and the row filters, each a job of the crawler's queue.
#include "crawler/crawler.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "crawler/fetch_ahead.h"
#include "crawler/rule_detection.h"
#include "crawler/run_plan.h"
#include "crawler/thread_page.h"
#include "net/page_download.h"
#include "runtime/text.h"
#include "state/list_file.h"
#include "state/result_row.h"

namespace {

// Size and last write time of a file, to tell whether it changed; all zero for a missing file.
struct FileStamp {
    ULONGLONG size = 0, written = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return {};
    return {(ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
            (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime};
}

}  // namespace

struct CrawlerState {
    CrawlerControls controls;
    std::string temp_file;
    SerialWork work;
    std::atomic<bool> run_going{false};
    // The pages of the run going, for a stop from the window's thread; guarded by the mutex, which also
    // guards stop_asked and found_rule.
    mutable std::mutex run_mutex;
    FetchAhead* pages = nullptr;
    bool stop_asked = false;
    std::optional<SiteRule> found_rule;
    std::atomic<uint64_t> newest_filter{0};
    // The rows of the temporary list file as this program last wrote or read it, and the file's stamp then:
    // filters read the file again only when something else has changed it. Touched by queued jobs only.
    std::vector<SharedRow> file_rows;
    std::optional<FileStamp> file_stamp;  // none until the file has been written or read
};

namespace {

ResultRow RowOfPage(int32_t id, const ThreadPage& page, const ForumRule& rule) {
    std::string title = ListValue(page.title);
    std::string address = title.empty() ? std::string() : rule.ThreadAddress(id);
    return {DecimalText(id), std::move(title), ListValue(page.uid), ListValue(page.name), std::move(address)};
}

// How many ids of a run ended in each verdict, for the line that sums the run up.
struct RunCounts {
    int64_t ids = 0, titled = 0, missing = 0, login = 0, failed = 0;

    void Add(PageVerdict verdict) {
        ++ids;
        switch (verdict) {
            case PageVerdict::kTitled: ++titled; break;
            case PageVerdict::kMissing: ++missing; break;
            case PageVerdict::kLogin: ++login; break;
            case PageVerdict::kFailed: ++failed; break;
            case PageVerdict::kUntitled: break;
        }
    }
    std::string Summary() const {
        return "遍历完成：共 " + DecimalText(ids) + " 个，有标题 " + DecimalText(titled) + " 个，不存在 " +
               DecimalText(missing) + " 个，需登录 " + DecimalText(login) + " 个，失败 " +
               DecimalText(failed) + " 个";
    }
};

// The rows of the steps done since the list was last brought up to date. A list view under Wine repaints on
// every change of its row count, which would cost a run most of its time if each step paid for one: the list,
// the status line and the progress follow the run a few times a second instead, and always after the last
// step. The temporary list file still gets every step at once.
class StepDisplay {
  public:
    StepDisplay(const CrawlerControls& controls, const ForumRule& rule) : c_(controls), rule_(rule) {}

    void Add(SharedRow row, int32_t id) {
        rows_.push_back(std::move(row));
        last_id_ = id;
        if (GetTickCount64() - shown_at_ >= kInterval) Show();
    }

    void Show() {
        if (rows_.empty()) return;
        RunOnWindowThread(c_.list.hwnd(), [this] {
            const ResultRow& last = *rows_.back();
            // The address of the id visited, with or without a title.
            c_.status_line.SetText("当前运行的值" + last[kColumnId] + "查找到的标题：" + last[kColumnTitle] +
                                   "作者UID：" + last[kColumnUid] + "网址为：" +
                                   rule_.ThreadAddress(last_id_));
            c_.progress.SetPosition(c_.progress.Position() + static_cast<int>(rows_.size()));
            c_.progress_label.SetText(DecimalText(c_.progress.Position()) + "/" +
                                      DecimalText(c_.progress.Maximum()));
            c_.list.AppendRows(std::move(rows_));
        });
        rows_.clear();
        shown_at_ = GetTickCount64();
    }

  private:
    static constexpr ULONGLONG kInterval = 250;  // milliseconds

    const CrawlerControls& c_;
    const ForumRule& rule_;
    std::vector<SharedRow> rows_;
    int32_t last_id_ = 0;
    ULONGLONG shown_at_ = GetTickCount64();
};

// Hands the pages of `steps` steps to `take` in step order, fetched ahead on `connections` threads, until
// `take` wants no more or a stop comes, which ends the fetching at once (fetches in flight finish on their
// own). `waiting` runs now and then while a page is awaited. The last page taken; none after a stop.
std::optional<FetchedPage> FetchUnlessStopped(CrawlerState& s, FetchAhead::Fetch fetch, int64_t steps,
                                              int connections, const std::function<bool(FetchedPage&)>& take,
                                              const std::function<void()>& waiting = {}) {
    FetchAhead pages(std::move(fetch), steps, connections);
    {
        std::lock_guard lock(s.run_mutex);
        if (s.stop_asked) pages.Stop();
        s.pages = &pages;
    }
    std::optional<FetchedPage> page;
    while ((page = pages.Next(waiting)) && take(*page)) {
    }
    std::lock_guard lock(s.run_mutex);
    s.pages = nullptr;
    return page;
}

bool StopAsked(CrawlerState& s) {
    std::lock_guard lock(s.run_mutex);
    return s.stop_asked;
}

// The rule of a run on `site`: its own, or the preset that reads the first thread of the run (or one the home
// page links to); none when nothing fits or the run was stopped meanwhile, which the status line then says.
std::optional<ForumRule> RuleOfRun(CrawlerState& s, const ForumSite& site, const RunPlan& plan) {
    if (site.rule) return ForumRule(*site.rule, site.base);
    const Control& status = s.controls.status_line;
    status.SetText("自动识别：正在逐个试用程序自带的规则……");
    const PageFetch fetch = [&](const std::string& url) {
        const auto one = FetchUnlessStopped(
            s, [&](int64_t) { return DownloadPage(url, site.cookie); }, 1, 1,
            [](FetchedPage&) { return false; });
        return one.value_or(FetchedPage{});
    };
    const std::optional<int32_t> first = plan.steps > 0 ? std::optional(plan.first_id) : std::nullopt;
    RuleDetection detection = DetectRule(site.base, first, PresetRules(), fetch);
    if (StopAsked(s)) {
        status.SetText("自动识别已停止，遍历没有开始");
        return std::nullopt;
    }
    if (!detection.rule) {
        status.SetText("自动识别：" + detection.report + "。遍历没有开始");
        return std::nullopt;
    }
    status.SetText("自动识别：使用规则“" + detection.rule->name + "”");
    std::lock_guard lock(s.run_mutex);
    s.found_rule = detection.rule;
    return ForumRule(*detection.rule, site.base);
}

void Run(CrawlerState& s, const ForumSite& site) {
    const CrawlerControls& c = s.controls;
    const std::string typed_first = c.first_id.Text();
    const RunPlan plan = PlanRun(typed_first, c.count.Text());
    const std::optional<ForumRule> rule = RuleOfRun(s, site, plan);
    if (!rule) return;

    c.list.DeleteAllRows();
    c.progress.SetPosition(c.progress.Minimum());
    c.progress.SetMaximum(plan.progress_maximum);
    ListFileWriter file;
    bool file_whole = file.Open(s.temp_file, typed_first);
    s.file_rows.clear();
    StepDisplay display(c, *rule);
    RunCounts counts;
    int64_t step = 0;
    const auto fetch = [&rule, &site, first = plan.first_id](int64_t step) {
        return DownloadPage(rule->ThreadAddress(first + step), site.cookie);
    };
    FetchUnlessStopped(
        s, fetch, plan.steps, site.connections,
        [&](FetchedPage& fetched) {
            const int32_t id = static_cast<int32_t>(plan.first_id + step++);
            const ThreadPage page = ReadThreadPage(fetched, *rule);
            counts.Add(page.verdict);
            auto row = std::make_shared<const ResultRow>(RowOfPage(id, page, *rule));
            file_whole =
                file_whole && file.Append(id, (*row)[kColumnTitle], (*row)[kColumnUid], (*row)[kColumnName]);
            s.file_rows.push_back(row);
            display.Add(std::move(row), id);
            return true;
        },
        [&] { display.Show(); });  // rows already fetched reach the screen while a slow page is awaited
    display.Show();
    c.status_line.SetText(counts.Summary());
    // When a write failed, the file holds less than the run showed: the next filter reads what it holds.
    s.file_stamp = file_whole ? std::optional(StampOf(s.temp_file)) : std::nullopt;
}

}  // namespace

namespace {

// Ends the run going at once: the page in hand and those fetched ahead are dropped. Called with run_mutex
// held; a run that has not reached its fetching yet sees stop_asked.
void AskStop(CrawlerState& s) {
    s.stop_asked = true;
    if (s.pages) s.pages->Stop();
}

// Brings the rows of the temporary list file up to date when something else has changed the file; their
// address cells come from `thread_address`.
void ReadTempFileIfChanged(CrawlerState& s, const std::string& thread_address) {
    FileStamp stamp = StampOf(s.temp_file);
    if (stamp == s.file_stamp) return;
    s.file_rows = ShareRows(LoadListFile(s.temp_file, thread_address));
    s.file_stamp = stamp;
}

}  // namespace

Crawler::Crawler(CrawlerControls controls, std::string temp_file, std::string thread_address)
    : state_(std::make_shared<CrawlerState>(std::move(controls), std::move(temp_file))) {
    // The temporary list file of an earlier session is read ahead, so the first filter finds its rows ready.
    state_->work.Post([state = state_, thread_address = std::move(thread_address)] {
        ReadTempFileIfChanged(*state, thread_address);
    });
}

Crawler::~Crawler() {
    // The window closes: end a run at once and let it finish its file, so the program leaves it whole. Its
    // last step may be sending its rows to this thread, so sent messages are answered while waiting.
    CrawlerState& s = *state_;
    {
        std::lock_guard lock(s.run_mutex);
        AskStop(s);
    }
    const ULONGLONG give_up = GetTickCount64() + 1000;
    while (s.run_going && GetTickCount64() < give_up) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void Crawler::StartOrStopRun(const ForumSite& site) {
    CrawlerState& s = *state_;
    if (s.run_going) {
        std::lock_guard lock(s.run_mutex);
        AskStop(s);
        return;
    }
    s.run_going = true;
    {
        std::lock_guard lock(s.run_mutex);
        s.stop_asked = false;
    }
    // Filters cannot be asked for while the run fills the list and its file.
    s.controls.empty_title_filter.SetDisabled(true);
    s.controls.search_text.SetDisabled(true);
    s.controls.start_button.SetText("停止");
    s.work.Post([state = state_, site] {
        Run(*state, site);
        const CrawlerControls& c = state->controls;
        c.empty_title_filter.SetDisabled(false);
        c.search_text.SetDisabled(false);
        c.start_button.SetText("开始");
        state->run_going = false;
    });
}

namespace {

// Reloads the temporary list file, keeps the rows that pass and shows them, unless a newer filter has been
// asked for meanwhile: the list always ends as the last filter asked.
void Filter(const std::shared_ptr<CrawlerState>& state, uint64_t filter, const std::string& thread_address,
            const std::function<bool(const ResultRow&)>& passes) {
    CrawlerState& s = *state;
    ReadTempFileIfChanged(s, thread_address);
    std::vector<SharedRow> rows;
    for (const SharedRow& row : s.file_rows) {
        if (passes(*row)) rows.push_back(row);
    }
    if (filter == s.newest_filter) s.controls.list.ReplaceRows(std::move(rows));
}

}  // namespace

void Crawler::FilterEmptyTitles(std::string thread_address) {
    const uint64_t filter = ++state_->newest_filter;
    state_->work.PostFilter([state = state_, filter, thread_address = std::move(thread_address)] {
        bool checked = state->controls.empty_title_filter.Checked();
        Filter(state, filter, thread_address,
               [checked](const ResultRow& row) { return !checked || !row[kColumnTitle].empty(); });
    });
}

void Crawler::FilterBySearchText(std::string thread_address) {
    const uint64_t filter = ++state_->newest_filter;
    state_->work.PostFilter([state = state_, filter, thread_address = std::move(thread_address)] {
        std::string text = state->controls.search_text.Text();
        int column = state->controls.search_column.Selection();
        Filter(state, filter, thread_address, [&](const ResultRow& row) {
            if (text.empty()) return true;
            bool valid = column >= 0 && static_cast<size_t>(column) < kResultColumns;
            return valid && ContainsText(row[static_cast<size_t>(column)], text, true);
        });
    });
}

void Crawler::PostListWork(std::function<void()> job) {
    state_->work.Post(std::move(job));
}

bool Crawler::RunGoing() const {
    return state_->run_going;
}

std::optional<SiteRule> Crawler::FoundRule() const {
    std::lock_guard lock(state_->run_mutex);
    return state_->found_rule;
}
