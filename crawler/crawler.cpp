// The traversal run, its retry of failed ids and its continuation, and the row filters: each a job of the
// crawler's queue.
#include "crawler/crawler.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

#include "crawler/fetch_ahead.h"
#include "crawler/polite_fetch.h"
#include "crawler/rule_detection.h"
#include "crawler/run_plan.h"
#include "crawler/thread_page.h"
#include "net/page_download.h"
#include "runtime/text.h"
#include "state/file_replace.h"
#include "state/ini_rewrite.h"
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
    // What ends the fetching of the run going at once, for a stop from the window's thread; guarded by the
    // mutex, which also guards stop_asked and found_rule.
    mutable std::mutex run_mutex;
    std::function<void()> stop_fetching;
    bool stop_asked = false;
    std::optional<SiteRule> found_rule;
    std::atomic<uint64_t> newest_filter{0};
    // The rows the filters work on: those of the last run, which its temporary list file holds (read again
    // only when something else has changed the file), or after a load the list's. Touched by queued jobs only.
    std::vector<SharedRow> rows;
    bool rows_are_the_files = true;
    std::optional<FileStamp> file_stamp;  // none until the file has been written or read
};

namespace {

ResultRow RowOfPage(int32_t id, const ThreadPage& page, const ForumRule& rule) {
    std::string title = ListValue(page.title);
    std::string address = title.empty() ? std::string() : rule.ThreadAddress(id);
    ResultRow row{DecimalText(id), std::move(title), ListValue(page.uid), ListValue(page.name), std::move(address)};
    switch (page.verdict) {
        case PageVerdict::kFailed: row[kColumnState] = kStateFailed; break;
        case PageVerdict::kMissing: row[kColumnState] = kStateMissing; break;
        case PageVerdict::kLogin: row[kColumnState] = kStateLogin; break;
        case PageVerdict::kTitled:
        case PageVerdict::kUntitled: break;
    }
    return row;
}

// How the ids of a run ended, for the line that sums the run up.
struct RunCounts {
    int64_t ids = 0, titled = 0, missing = 0, login = 0, failed = 0;

    void Add(const ResultRow& row) {
        ++ids;
        titled += !row[kColumnTitle].empty();
        missing += row[kColumnState] == kStateMissing;
        login += row[kColumnState] == kStateLogin;
        failed += row[kColumnState] == kStateFailed;
    }
    static std::string SummaryOf(const std::vector<SharedRow>& rows) {
        RunCounts counts;
        for (const SharedRow& row : rows) counts.Add(*row);
        return counts.Summary();
    }
    std::string Summary() const {
        return "遍历完成：共 " + DecimalText(ids) + " 个，有标题 " + DecimalText(titled) + " 个，不存在 " +
               DecimalText(missing) + " 个，需登录 " + DecimalText(login) + " 个，失败 " + DecimalText(failed) +
               " 个";
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
                                   "作者UID：" + last[kColumnUid] + "网址为：" + rule_.ThreadAddress(last_id_));
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

// Hands the pages at `address(step)` of `steps` steps to `take` in step order, until it wants no more or a
// stop comes, which ends the fetching at once. Pages are fetched ahead, politely (tried again when the forum
// fails for a while, paced to the user's limit and to what the forum bears); `waiting` runs now and then while
// a page is awaited. Threads still waiting on the forum after a stop finish on their own: they hold copies of
// all they use.
void FetchPages(CrawlerState& s, const ForumSite& site, int64_t steps,
                std::function<std::string(int64_t step)> address, const std::function<void(FetchedPage&)>& take,
                const std::function<void()>& waiting = {}) {
    auto polite = std::make_shared<PoliteFetch>(
        PoliteFetch::Options{.connections = site.connections, .pages_per_second = site.pages_per_second});
    FetchAhead::Fetch fetch = [polite, address = std::move(address), cookie = site.cookie](int64_t step) {
        return polite->Fetch([&] { return DownloadPage(address(step), cookie); });
    };
    // A page waiting a second to be tried again holds its place and its thread, and the pages after it wait
    // for it to be taken: room for about a second of pages, and threads to spare beside the connections, keep
    // the connections busy meanwhile. More threads than that would only cost their wake-ups.
    FetchAhead pages(std::move(fetch), steps, std::clamp(site.connections * 16, 32, 64), site.connections * 2 + 4);
    {
        std::lock_guard lock(s.run_mutex);
        s.stop_fetching = [&pages, polite] {
            pages.Stop();
            polite->Stop();
        };
        if (s.stop_asked) s.stop_fetching();
    }
    while (std::optional<FetchedPage> page = pages.Next(waiting)) take(*page);
    std::lock_guard lock(s.run_mutex);
    s.stop_fetching = nullptr;
}

bool StopAsked(CrawlerState& s) {
    std::lock_guard lock(s.run_mutex);
    return s.stop_asked;
}

// The rule of a run on `site`: its own, or the preset that reads thread `first_id` (or one the home page
// links to); none when nothing fits or the run was stopped meanwhile, which the status line then says.
std::optional<ForumRule> RuleOfRun(CrawlerState& s, const ForumSite& site, std::optional<int32_t> first_id) {
    if (site.rule) return ForumRule(*site.rule, site.base);
    const Control& status = s.controls.status_line;
    status.SetText("自动识别：正在逐个试用程序自带的规则……");
    const PageFetch fetch = [&](const std::string& url) {
        FetchedPage fetched;
        FetchPages(s, site, 1, [url](int64_t) { return url; }, [&](FetchedPage& page) { fetched = std::move(page); });
        return fetched;
    };
    RuleDetection detection = DetectRule(site.base, first_id, PresetRules(), fetch);
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

// What a run visits: the ids from first_id on, `planned` of them, of which `done` were visited before (a run
// that goes on where an earlier one stopped).
struct RunScope {
    std::string typed_first;  // as typed, for the file
    int32_t first_id = 0;
    int64_t planned = 0;
    int32_t progress_maximum = 0;
    std::vector<SharedRow> done;
};

void Run(CrawlerState& s, const ForumSite& site, RunScope scope) {
    const CrawlerControls& c = s.controls;
    const int64_t done = static_cast<int64_t>(scope.done.size());
    const int32_t next_id = static_cast<int32_t>(scope.first_id + done);
    const std::optional<ForumRule> rule =
        RuleOfRun(s, site, scope.planned > done ? std::optional(next_id) : std::nullopt);
    if (!rule) return;

    c.list.ReplaceRows(scope.done);
    c.progress.SetPosition(c.progress.Minimum());
    c.progress.SetMaximum(scope.progress_maximum);
    c.progress.SetPosition(c.progress.Minimum() + static_cast<int>(done));
    ListFileWriter file;
    bool file_whole = file.Open(s.temp_file, scope.typed_first, scope.planned, scope.first_id, scope.done);
    s.rows = scope.done;
    s.rows_are_the_files = true;
    StepDisplay display(c, *rule);
    int32_t id = next_id;
    FetchPages(
        s, site, scope.planned - done, [rule = *rule, next_id](int64_t step) { return rule.ThreadAddress(next_id + step); },
        [&](FetchedPage& fetched) {
            auto row = std::make_shared<const ResultRow>(RowOfPage(id, ReadThreadPage(fetched, *rule), *rule));
            file_whole = file_whole && file.Append(id, *row);
            s.rows.push_back(row);
            display.Add(std::move(row), id++);
        },
        [&] { display.Show(); });  // rows already fetched reach the screen while a slow page is awaited
    display.Show();
    c.status_line.SetText(RunCounts::SummaryOf(s.rows));
    // When a write failed, the file holds less than the run showed: the next filter reads what it holds.
    s.file_stamp = file_whole ? std::optional(StampOf(s.temp_file)) : std::nullopt;
}

// Writes the rows of the ids fetched again into their entry sections of the run's file, in one step.
bool RewriteEntries(const std::string& path, const std::map<std::string, SharedRow>& by_id) {
    std::string old;
    if (!ReadFileContent(path, old) || IsUnicodeText(old)) return false;
    std::vector<const std::pair<const std::string, SharedRow>*> sections;
    for (const auto& entry : by_id) sections.push_back(&entry);
    IniOwnedSections owned;
    owned.sections = sections.size();
    owned.number_of = [&](std::string_view name) {
        for (size_t k = 0; k < sections.size(); ++k) {
            if (sections[k]->first == name) return k;
        }
        return IniOwnedSections::kNotOwned;
    };
    owned.name_of = [&](size_t k) { return sections[k]->first; };
    owned.owns_key = [](size_t, std::string_view key) {
        for (std::string_view ours : {"序列号", "标题", "UID", "用户名", "状态"}) {
            if (SameIniName(key, ours)) return true;
        }
        return false;
    };
    owned.write_keys = [&](size_t k, std::string& out) {
        const ResultRow& row = *sections[k]->second;
        AppendIniKey(out, "序列号", row[kColumnId]);
        AppendIniKey(out, "标题", row[kColumnTitle]);
        AppendIniKey(out, "UID", row[kColumnUid]);
        AppendIniKey(out, "用户名", row[kColumnName]);
        if (!row[kColumnState].empty()) AppendIniKey(out, "状态", row[kColumnState]);
    };
    return ReplaceFileContent(path, RewriteIni(old, owned, old.size() + 256 * sections.size()));
}

// Fetches the failed ids the list shows again and puts their rows in place: in the list, in the rows the
// filters work on and, when those are the last run's, in its file.
void FetchFailedAgain(CrawlerState& s, const ForumSite& site) {
    const CrawlerControls& c = s.controls;
    std::vector<SharedRow> shown = c.list.Rows();
    std::vector<size_t> failed;
    std::vector<int32_t> ids;
    for (size_t k = 0; k < shown.size(); ++k) {
        const ResultRow& row = *shown[k];
        const int32_t id = TruncateToInt32(LeadingNumber(row[kColumnId]));
        // Only a row whose 序列号 is a thread id can be fetched again.
        if (row[kColumnState] != kStateFailed || DecimalText(id) != row[kColumnId]) continue;
        failed.push_back(k);
        ids.push_back(id);
    }
    const std::optional<ForumRule> rule = RuleOfRun(s, site, std::nullopt);
    if (failed.empty() || !rule) return;
    c.status_line.SetText("正在重试 " + DecimalText(static_cast<int64_t>(failed.size())) + " 个失败项……");
    c.progress.SetPosition(c.progress.Minimum());
    c.progress.SetMaximum(static_cast<int>(failed.size()));
    std::map<const ResultRow*, SharedRow> fetched_again;
    std::map<std::string, SharedRow> by_id;
    size_t step = 0;
    FetchPages(s, site, static_cast<int64_t>(ids.size()),
               [rule = *rule, ids](int64_t k) { return rule.ThreadAddress(ids[static_cast<size_t>(k)]); },
               [&](FetchedPage& fetched) {
                   const SharedRow& old = shown[failed[step]];
                   auto row = std::make_shared<const ResultRow>(RowOfPage(ids[step], ReadThreadPage(fetched, *rule), *rule));
                   fetched_again[old.get()] = row;
                   by_id[(*old)[kColumnId]] = row;
                   shown[failed[step]] = std::move(row);
                   c.progress.SetPosition(static_cast<int>(++step));
                   c.progress_label.SetText(DecimalText(static_cast<int64_t>(step)) + "/" +
                                            DecimalText(static_cast<int64_t>(failed.size())));
               });
    for (SharedRow& row : s.rows) {
        if (auto found = fetched_again.find(row.get()); found != fetched_again.end()) row = found->second;
    }
    c.list.ReplaceRows(std::move(shown));
    if (s.rows_are_the_files && s.file_stamp == StampOf(s.temp_file) && !by_id.empty()) {
        s.file_stamp = RewriteEntries(s.temp_file, by_id) ? std::optional(StampOf(s.temp_file)) : std::nullopt;
    }
    c.status_line.SetText(RunCounts::SummaryOf(s.rows_are_the_files ? s.rows : c.list.Rows()));
}

// Ends the fetching of the run going at once: the pages in hand and those fetched ahead are dropped. Called
// with run_mutex held; a run that has not reached its fetching yet sees stop_asked.
void AskStop(CrawlerState& s) {
    s.stop_asked = true;
    if (s.stop_fetching) s.stop_fetching();
}

// Brings the rows of the temporary list file up to date when they are what the filters work on and something
// else has changed the file; their address cells come from `thread_address`.
void ReadTempFileIfChanged(CrawlerState& s, const std::string& thread_address) {
    if (!s.rows_are_the_files) return;
    FileStamp stamp = StampOf(s.temp_file);
    if (stamp == s.file_stamp) return;
    s.rows = ShareRows(LoadListFile(s.temp_file, thread_address));
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

void Crawler::Begin(std::function<void(CrawlerState&)> work) {
    CrawlerState& s = *state_;
    s.run_going = true;
    {
        std::lock_guard lock(s.run_mutex);
        s.stop_asked = false;
    }
    // Filters cannot be asked for while the run fills the list and its file.
    s.controls.empty_title_filter.SetDisabled(true);
    s.controls.search_text.SetDisabled(true);
    s.controls.start_button.SetText("停止");
    s.work.Post([state = state_, work = std::move(work)] {
        work(*state);
        const CrawlerControls& c = state->controls;
        c.empty_title_filter.SetDisabled(false);
        c.search_text.SetDisabled(false);
        c.start_button.SetText("开始");
        state->run_going = false;
    });
}

void Crawler::StartOrStopRun(const ForumSite& site) {
    CrawlerState& s = *state_;
    if (s.run_going) {
        std::lock_guard lock(s.run_mutex);
        AskStop(s);
        return;
    }
    Begin([site](CrawlerState& state) {
        const std::string typed_first = state.controls.first_id.Text();
        const RunPlan plan = PlanRun(typed_first, state.controls.count.Text());
        Run(state, site, {typed_first, plan.first_id, plan.steps, plan.progress_maximum, {}});
    });
}

void Crawler::ContinueRun(const ForumSite& site, UnfinishedRun run) {
    if (RunGoing()) return;
    const int32_t first_id = TruncateToInt32(LeadingNumber(run.typed_start));
    // The window shows what the run was asked for.
    state_->controls.first_id.SetText(run.typed_start);
    state_->controls.count.SetText(DecimalText(run.planned - 1));
    Begin([site, run = std::move(run), first_id](CrawlerState& state) {
        const int32_t maximum = static_cast<int32_t>(std::min<int64_t>(run.planned - 1, INT32_MAX));
        Run(state, site, {run.typed_start, first_id, run.planned, maximum, ShareRows(run.rows)});
    });
}

void Crawler::RetryFailed(const ForumSite& site) {
    if (RunGoing()) return;
    Begin([site](CrawlerState& state) { FetchFailedAgain(state, site); });
}

namespace {

// Keeps the rows the filters work on that pass and shows them, unless a newer filter has been asked for
// meanwhile: the list always ends as the last filter asked.
void Filter(const std::shared_ptr<CrawlerState>& state, uint64_t filter, const std::string& thread_address,
            const std::function<bool(const ResultRow&)>& passes) {
    CrawlerState& s = *state;
    ReadTempFileIfChanged(s, thread_address);
    std::vector<SharedRow> rows;
    for (const SharedRow& row : s.rows) {
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

void Crawler::Load(std::function<std::optional<std::vector<SharedRow>>()> read) {
    state_->work.Post([state = state_, read = std::move(read)] {
        std::optional<std::vector<SharedRow>> rows = read();
        if (!rows) return;
        CrawlerState& s = *state;
        s.controls.list.AppendRows(std::move(*rows));
        // From now on the filters work on what the list shows, not on an older run's file.
        s.rows = s.controls.list.Rows();
        s.rows_are_the_files = false;
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
