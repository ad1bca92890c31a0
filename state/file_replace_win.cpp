// Whole-file replacement on Windows: a new file, FlushFileBuffers, then MoveFileExA over the old one.
#include "state/file_replace.h"

#include <windows.h>

#include <algorithm>

#include "runtime/text.h"
#include "runtime/win_handles.h"

namespace {

bool WriteAll(HANDLE file, std::string_view content) {
    while (!content.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size(), 1u << 24));
        DWORD written = 0;
        if (!WriteFile(file, content.data(), chunk, &written, nullptr) || written == 0) return false;
        content.remove_prefix(written);
    }
    return true;
}

// Moves `temp` over `path`. Another program reading the old file (a virus scanner, a spreadsheet opening
// the export, a reader polling it) keeps it from being replaced while it has it open: such a hold is waited
// out for up to a second before the replacement counts as failed.
bool MoveOver(const std::string& temp, const std::string& path) {
    constexpr DWORD kFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(temp.c_str(), path.c_str(), kFlags)) return true;
        const DWORD error = GetLastError();
        const bool held =
            error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!held || attempt == 20) return false;
        Sleep(50);
    }
}

}  // namespace

bool ReplaceFileContent(const std::string& path, std::string_view content) {
    // A name of our own, so that two saves of the same file never write into one new file.
    std::string temp;
    FileHandle file;
    for (int attempt = 0; !file && attempt < 100; ++attempt) {
        temp = path + "." + DecimalText(GetCurrentProcessId()) + "-" + DecimalText(attempt) + ".tmp";
        file.Reset(
            CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    if (!file) return false;
    bool done = WriteAll(file.get(), content) && FlushFileBuffers(file.get());
    file.Reset();
    done = done && MoveOver(temp, path);
    if (!done) DeleteFileA(temp.c_str());
    return done;
}
