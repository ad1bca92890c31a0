// The result list's popup menu and its commands: copy a cell, open a thread or a home page, save, load,
// clear, export to CSV.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "crawler/crawler.h"
#include "crawler/site_rules.h"
#include "runtime/window.h"

class ListCommands {
  public:
    // `site` gives the forum the window works on as it is when a command runs; its rule, when it has one, is
    // the rule of the rows' addresses (else the default's).
    ListCommands(FormWindow& form, Crawler& crawler, std::function<ForumSite()> site);

    // Shows the popup menu at the cursor: the row commands only with a row selected, the list commands only
    // while no run fills the list.
    void ShowMenu();

    void CopyTitle();
    void CopyUid();
    void CopyAddress();
    void OpenThread();
    void OpenHomePage();
    // Save, load, clear and export wait for the runs and filters asked for before them; save, load and export
    // show their file dialog on a worker thread.
    void Save();
    void Load();
    void Clear();
    // Writes every row of the list, in list order, to a CSV file a spreadsheet opens.
    void ExportCsv();
    // Fetches the failed ids of the list again.
    void RetryFailed();

  private:
    void Copy(int column, std::string_view notice);
    std::string SelectedCell(int column);

    ForumRule AddressRule() const;

    FormWindow& form_;
    Crawler& crawler_;
    std::function<ForumSite()> site_;
};
