// The crawler's commands: the traversal run started and stopped by the start button, and the two row filters.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "crawler/site_rules.h"
#include "runtime/control.h"
#include "runtime/serial_work.h"
#include "state/list_file.h"

// The main window's controls the crawler reads and changes. Control values only name windows, so workers may
// hold them: an operation on a window that is gone does nothing.
struct CrawlerControls {
    Control list;                // result list
    Control first_id;            // "开始段"
    Control count;               // "遍历数"
    Control start_button;        // "开始" / "停止"
    Control progress;            // progress bar
    Control progress_label;      // over the progress bar
    Control status_line;         // bottom line of the window
    Control empty_title_filter;  // "不显示查找为空"
    Control search_text;         // search box
    Control search_column;       // column the search box looks in
};

// Every command that changes the result list goes through one queue, so runs, filters, loads, saves and
// clears never interleave. Commands are called on the window's thread.
struct CrawlerState;

class Crawler {
  public:
    // `connections`: how many pages of a run are fetched at once (at least 1).
    // `thread_address` rebuilds the address cells of the temporary list file an earlier session left.
    Crawler(CrawlerControls controls, std::string temp_file, std::string thread_address);
    // Stops a run going and waits up to a second for it to finish its last step.
    ~Crawler();
    Crawler(const Crawler&) = delete;
    Crawler& operator=(const Crawler&) = delete;

    // Starts a run over the ids the window asks for on `site`, or stops the run going at once: the id in hand
    // and any fetched ahead leave no row. A run without a rule first finds one among the presets, and does
    // not start when none fits. At its end the status line sums the run up.
    void StartOrStopRun(const ForumSite& site);
    // Goes on with a run that did not finish, from the id after the last one its file holds, appending to it.
    void ContinueRun(const ForumSite& site, UnfinishedRun run);
    // Fetches the failed ids the list shows again and puts their rows in place, in the list and, when the
    // rows are the last run's, in its file; the status line sums the rows up again. "开始" stops it, as a run.
    void RetryFailed(const ForumSite& site);
    // Rebuild the list from the temporary list file and keep the rows with a title, when the box is checked.
    // `thread_address` rebuilds the address cells when the file must be read again.
    void FilterEmptyTitles(std::string thread_address);
    // Rebuild the list from the temporary list file and keep the rows whose chosen column holds the text.
    void FilterBySearchText(std::string thread_address);

    // Appends the rows `read` gives (none: nothing to append) to the list, behind the work asked for before;
    // the filters work on the list's rows from then on, not on an older run's file.
    void Load(std::function<std::optional<std::vector<SharedRow>>()> read);
    // Queues other work on the list (save, clear, export) behind the runs and filters asked for before it.
    void PostListWork(std::function<void()> job);
    bool RunGoing() const;
    // The rule the latest run found by itself; none before any did.
    std::optional<SiteRule> FoundRule() const;

  private:
    // Runs `work` as a run: filters disabled, "开始" showing "停止", until it ends.
    void Begin(std::function<void(CrawlerState&)> work);

    std::shared_ptr<CrawlerState> state_;  // shared with the queued jobs, which may outlive the crawler
};
