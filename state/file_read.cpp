// Reading a whole file at once, telling a missing file from one that cannot be read.
#include "state/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <memory>

bool ReadFileContent(const std::string& path, std::string& bytes) {
    bytes.clear();
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return errno == ENOENT;
    char buffer[1 << 16];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, read);
    return !std::ferror(file.get());
}
