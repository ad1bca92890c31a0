// The runtime's services beside windows: worker threads, clipboard, message boxes, INI keys, the program's
// folder.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

// Runs `work` on a new thread whose handle is closed at once; nobody waits for it.
bool StartWorker(std::function<void()> work);

// Puts text (CF_TEXT, ANSI bytes) on the clipboard. False when the clipboard cannot be opened.
bool SetClipboardText(std::string_view text);

// A task-modal message box; the title defaults to the runtime's "信息：".
int ShowMessage(std::string_view text, std::string_view title = "信息：", UINT icon = MB_ICONINFORMATION);

// One key of an INI file through the system's private-profile calls: values longer than 10,239 bytes come
// back cut; leading characters 1 to 32 of the file, section and key names are skipped, and an empty name
// reads as the empty text without touching the file.
std::string ReadIniKey(std::string_view file, std::string_view section, std::string_view key);
void WriteIniKey(std::string_view file, std::string_view section, std::string_view key,
                 std::string_view value);

// Shows an http:// or https:// address in the default browser; anything else is not handed to the shell, so
// a text from a page or a file can never start a program.
void OpenInBrowser(const std::string& url);

// The folder of the program file, without a trailing separator.
std::string ProgramDirectory();
