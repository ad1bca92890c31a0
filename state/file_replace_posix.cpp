// Whole-file replacement on POSIX systems: an exclusive new file, fsync, then rename over the old one.
#include "state/file_replace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        content.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

bool ReplaceFileContent(const std::string& path, std::string_view content) {
    // A name of our own, so that two saves of the same file never write into one new file.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = path + "." + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool done = WriteAll(fd, content) && fsync(fd) == 0;
    done = close(fd) == 0 && done;
    done = done && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!done) unlink(temp.c_str());
    return done;
}
