// The list file: result rows kept in an INI file, written step by step during a run, saved and loaded whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/result_row.h"

// Layout: section "配置" with "当前开始项" (number of the first entry section) and "总数" (entry count), and
// one section per entry, named by a decimal number, with "序列号", "标题", "UID" and "用户名" (cells 0 to 3)
// and, for a row that has one, "状态" (why it holds the id only). A run's temporary list file also holds, in
// "配置", "计划总数": how many entries the run set out to write.
// The system's reader trims blanks around a value and strips one pair of enclosing quotes, so values that
// would lose either are written inside double quotes; they read back exactly as the rows hold them.

// Longest value a list file holds, in bytes; the system's reader returns at most 10,239.
inline constexpr size_t kListValueLimit = 8192;

// A value as a list file can hold it. Callers put this, not the raw value, into the rows, so that rows and
// file agree: CR, LF and zero bytes become spaces (a value is one line), the value is cut to kListValueLimit
// bytes without splitting a two-byte character, and a lead byte dangling at its end is dropped.
std::string ListValue(std::string_view value);

// Writes the temporary list file of a run. After every call the file is a complete list file of the entries
// appended so far, and a call costs the same however many came before: entries are appended and only the
// fixed-width count is rewritten in place, after the entry, so a reader never counts an entry not yet there.
class ListFileWriter {
  public:
    // Replaces the file, in one step, by a list file of the start entry as typed, the planned number of
    // entries and `rows` as the entries of ids first_id, first_id + 1 …; appended entries follow them.
    bool Open(const std::string& path, std::string_view typed_start, int64_t planned, int64_t first_id = 0,
              const std::vector<SharedRow>& rows = {});
    // Appends the entry section of `id` and raises the count. After a failed write the writer stops, so the
    // file stays a complete list file of the entries before.
    bool Append(int64_t id, const ResultRow& row);

  private:
    static void AppendEntry(std::string& out, int64_t id, const ResultRow& row);
    bool WriteCount();

    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    long count_offset_ = 0;
    int64_t count_ = 0;
};

// The rows of the list file at `path`, in entry order; none for a missing or unreadable file. The entry
// sections read are those from "当前开始项" on, "总数" of them, but none past the highest-numbered entry
// section the file has (sections missing below it give empty rows); when the file has no section "当前开始项"
// but a section 1, from 1 on. Values read as the system's reader gives them; cell 4 is the thread address of
// the entry's "序列号" by `thread_address` (a template with {id}), when the title is not empty and "序列号"
// is a 32-bit decimal number.
std::vector<ResultRow> LoadListFile(const std::string& path, std::string_view thread_address);

// A run the temporary list file at `path` records that wrote fewer entries than it planned (a program closed
// or killed half-way): the start entry as typed, the planned count, and the rows of the entries it wrote
// (LoadListFile). None when the file holds no such run.
struct UnfinishedRun {
    std::string typed_start;
    int64_t planned = 0;
    std::vector<ResultRow> rows;
};
std::optional<UnfinishedRun> UnfinishedRunIn(const std::string& path, std::string_view thread_address);

// Writes `rows` into the list file at `path` as sections 1 to n with "当前开始项" = 1; other sections and
// keys of an existing file stay. The file is replaced in one step, so it is either as it was or complete,
// even when the program is killed half-way. `progress` gets the number of rows done, now and then and at the
// end. False when the file could not be read or written.
bool SaveListFile(const std::string& path, const std::vector<SharedRow>& rows,
                  const std::function<void(size_t done)>& progress = {});
