// The common open and save file dialog of a form; it keeps the last file name between uses.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>

class FileDialog {
  public:
    enum class Type { Open = 0, Save = 1 };

    void SetType(Type type);
    // Shows the dialog on the calling thread, owned by `owner`. Returns false when the user cancels.
    bool Show(HWND owner);
    std::string FileName() const;

  private:
    mutable std::mutex mutex_;  // workers show the dialog while the window thread may read it
    Type type_ = Type::Open;
    std::string file_name_;
};
