// The traversal run and the row filters, each a job of the crawler's queue.
#include "crawler/crawler.h"

#include <atomic>
#include <cstdint>
#include <functional>

#include "app/forum.h"
#include "crawler/thread_page.h"
#include "net/http_request.h"
#include "runtime/text.h"
#include "state/list_file.h"

struct CrawlerState {
    CrawlerControls controls;
    std::string forum;
    std::string temp_file;
    SerialWork work;
    std::atomic<bool> run_going{false};
    std::atomic<bool> stop_asked{false};
    std::atomic<uint64_t> newest_filter{0};
};

namespace {

// How many ids a run visits: count + 1 of them, none when that is below 1, and never past the largest id.
int64_t StepsOfRun(int32_t first_id, int32_t count) {
    int64_t steps = static_cast<int64_t>(count) + 1;
    return std::clamp<int64_t>(steps, 0, static_cast<int64_t>(INT32_MAX) - first_id + 1);
}

ResultRow RowOfPage(int32_t id, std::string_view page, std::string_view forum) {
    ThreadPageFacts facts = ExtractThreadPage(page, forum);
    std::string title = ListValue(facts.title);
    std::string address = title.empty() ? std::string() : ThreadAddress(forum, id);
    return {DecimalText(id), std::move(title), ListValue(facts.uid), ListValue(facts.name),
            std::move(address)};
}

// The rows of the steps done since the list was last brought up to date. A list view under Wine repaints on
// every change of its row count, which would cost a run most of its time if each step paid for one: the list,
// the status line and the progress follow the run a few times a second instead, and always after the last
// step. The temporary list file still gets every step at once.
class StepDisplay {
  public:
    explicit StepDisplay(const CrawlerControls& controls) : c_(controls) {}

    void Add(ResultRow row) {
        rows_.push_back(std::move(row));
        if (GetTickCount64() - shown_at_ >= kInterval) Show();
    }

    void Show() {
        if (rows_.empty()) return;
        RunOnWindowThread(c_.list.hwnd(), [this] {
            const ResultRow& last = rows_.back();
            c_.status_line.SetText("当前运行的值" + last[kColumnId] + "查找到的标题：" + last[kColumnTitle] +
                                   "作者UID：" + last[kColumnUid] + "网址为：" + last[kColumnAddress]);
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
    std::vector<ResultRow> rows_;
    ULONGLONG shown_at_ = GetTickCount64();
};

void Run(CrawlerState& s) {
    const CrawlerControls& c = s.controls;
    c.list.DeleteAllRows();
    c.progress.SetPosition(c.progress.Minimum());
    std::string typed_count = c.count.Text(), typed_first = c.first_id.Text();
    c.progress.SetMaximum(LeadingInteger(typed_count));

    const int32_t first_id = TruncateToInt32(LeadingNumber(typed_first));
    const int64_t steps = StepsOfRun(first_id, TruncateToInt32(LeadingNumber(typed_count)));
    ListFileWriter file;
    file.Open(s.temp_file, typed_first);
    StepDisplay display(c);
    for (int64_t step = 0; step < steps && !s.stop_asked; ++step) {
        const int32_t id = static_cast<int32_t>(first_id + step);
        ResultRow row = RowOfPage(id, PageText(HttpGet(ThreadAddress(s.forum, id))), s.forum);
        file.Append(id, row[kColumnTitle], row[kColumnUid], row[kColumnName]);
        display.Add(std::move(row));
    }
    display.Show();
}

}  // namespace

Crawler::Crawler(CrawlerControls controls, std::string forum, std::string temp_file)
    : state_(std::make_shared<CrawlerState>(std::move(controls), std::move(forum), std::move(temp_file))) {}

void Crawler::StartOrStopRun() {
    CrawlerState& s = *state_;
    if (s.run_going) {
        s.stop_asked = true;
        return;
    }
    s.run_going = true;
    s.stop_asked = false;
    // Filters cannot be asked for while the run fills the list and its file.
    s.controls.empty_title_filter.SetDisabled(true);
    s.controls.search_text.SetDisabled(true);
    s.controls.start_button.SetText("停止");
    s.work.Post([state = state_] {
        Run(*state);
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
void Filter(const std::shared_ptr<CrawlerState>& state, uint64_t filter,
            const std::function<bool(const ResultRow&)>& passes) {
    std::vector<ResultRow> rows = LoadListFile(state->temp_file, state->forum);
    std::erase_if(rows, [&](const ResultRow& row) { return !passes(row); });
    if (filter == state->newest_filter) state->controls.list.ReplaceRows(std::move(rows));
}

}  // namespace

void Crawler::FilterEmptyTitles() {
    const uint64_t filter = ++state_->newest_filter;
    state_->work.PostFilter([state = state_, filter] {
        bool checked = state->controls.empty_title_filter.Checked();
        Filter(state, filter,
               [checked](const ResultRow& row) { return !checked || !row[kColumnTitle].empty(); });
    });
}

void Crawler::FilterBySearchText() {
    const uint64_t filter = ++state_->newest_filter;
    state_->work.PostFilter([state = state_, filter] {
        std::string text = state->controls.search_text.Text();
        int column = state->controls.search_column.Selection();
        Filter(state, filter, [&](const ResultRow& row) {
            if (text.empty()) return true;
            bool valid = column >= 0 && static_cast<size_t>(column) < kResultColumns;
            return valid && ContainsText(row[static_cast<size_t>(column)], text, true);
        });
    });
}
