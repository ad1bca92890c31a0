// Whole files: read at once, and replaced in one step, so that a reader, or a program killed half-way, sees
// either the old file or the new one.
#pragma once

#include <string>
#include <string_view>

// Writes `content` to a new file beside `path`, flushes it to disk and moves it over `path`, waiting up to a
// second for another program that holds `path` open to let go. False when any step fails; `path` is then
// untouched and the new file removed.
bool ReplaceFileContent(const std::string& path, std::string_view content);

// The whole file into `bytes`; a missing file reads as empty. False when the file is there but cannot be
// read.
bool ReadFileContent(const std::string& path, std::string& bytes);
