// Worker threads, clipboard text, message boxes, INI keys and the program's folder.
#include "runtime/services.h"

#include <cstring>
#include <memory>

#include <shellapi.h>

#include "runtime/text.h"
#include "runtime/win_handles.h"

namespace {

DWORD WINAPI RunWorker(void* parameter) {
    std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    (*work)();
    return 0;
}

std::string SkipControlCharacters(std::string_view name) {
    size_t first = 0;
    while (first < name.size() && static_cast<unsigned char>(name[first]) >= 1 &&
           static_cast<unsigned char>(name[first]) <= 32) {
        ++first;
    }
    return std::string(name.substr(first));
}

}  // namespace

bool StartWorker(std::function<void()> work) {
    auto* parameter = new std::function<void()>(std::move(work));
    UniqueHandle thread(CreateThread(nullptr, 0, &RunWorker, parameter, 0, nullptr));
    if (!thread) delete parameter;
    return static_cast<bool>(thread);
}

namespace {

// Another program may hold the clipboard for a moment (a clipboard manager, Wine's own that copies every
// change to X among them): a copy waits a little for it rather than being lost.
bool OpenClipboardSoon() {
    for (int attempt = 0; attempt < 25; ++attempt) {
        if (OpenClipboard(nullptr)) return true;
        Sleep(10);
    }
    return false;
}

}  // namespace

bool SetClipboardText(std::string_view text) {
    if (!OpenClipboardSoon()) return false;
    EmptyClipboard();
    bool handed_over = false;
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1)) {
        std::memcpy(GlobalLock(block), text.data(), text.size());
        GlobalUnlock(block);
        handed_over = SetClipboardData(CF_TEXT, block) != nullptr;
        if (!handed_over) GlobalFree(block);
    }
    CloseClipboard();
    return handed_over;
}

int ShowMessage(std::string_view text, std::string_view title, UINT icon) {
    return MessageBoxA(nullptr, std::string(text).c_str(), std::string(title).c_str(),
                       MB_OK | MB_TASKMODAL | icon);
}

std::string ReadIniKey(std::string_view file, std::string_view section, std::string_view key) {
    std::string file_name = SkipControlCharacters(file), section_name = SkipControlCharacters(section),
                key_name = SkipControlCharacters(key);
    if (file_name.empty() || section_name.empty() || key_name.empty()) return {};
    std::string value(10240, '\0');
    DWORD length = GetPrivateProfileStringA(section_name.c_str(), key_name.c_str(), "", value.data(),
                                            static_cast<DWORD>(value.size()), file_name.c_str());
    value.resize(length);
    return value;
}

void WriteIniKey(std::string_view file, std::string_view section, std::string_view key,
                 std::string_view value) {
    WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                               std::string(value).c_str(), std::string(file).c_str());
}

void OpenInBrowser(const std::string& url) {
    if (IsWebAddress(url)) ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string ProgramDirectory() {
    std::string path(MAX_PATH, '\0');
    DWORD length;
    while ((length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    size_t separator = path.find_last_of("\\/");
    path.resize(separator == std::string::npos ? 0 : separator);
    return path;
}
