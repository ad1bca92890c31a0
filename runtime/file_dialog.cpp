// The common open and save file dialog.
#include "runtime/file_dialog.h"

#include <commdlg.h>

void FileDialog::SetType(Type type) {
    std::lock_guard lock(mutex_);
    type_ = type;
}

bool FileDialog::Show(HWND owner) {
    Type type;
    char path[MAX_PATH * 4];
    {
        std::lock_guard lock(mutex_);
        type = type_;
        lstrcpynA(path, file_name_.c_str(), sizeof path);
    }
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (type == Type::Open) dialog.Flags |= OFN_FILEMUSTEXIST;
    bool chosen = type == Type::Save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!chosen) return false;
    std::lock_guard lock(mutex_);
    file_name_ = path;
    return true;
}

std::string FileDialog::FileName() const {
    std::lock_guard lock(mutex_);
    return file_name_;
}
