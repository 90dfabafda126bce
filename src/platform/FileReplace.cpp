#include "platform/FileReplace.h"

#include "platform/TextFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

std::string failure(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

bool writeAll(int fd, const std::string& bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Makes the rename itself last through a power cut. Some file systems cannot sync a folder; the
// file's content is on disk already, so that is not an error.
void syncFolder(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool readWholeFile(const std::string& path, std::string& bytes) {
    std::string why;
    return readRegularFile(path, TextFile::kMaxBytes, bytes, why);
}

bool replaceWholeFile(const std::string& path, const std::string& bytes, std::string& why) {
    const std::string temp = path + ".tmp";
    // Whatever an interrupted write left under the temporary name goes first, and the new file is made
    // afresh, so a leftover link or pipe there is never written through.
    ::unlink(temp.c_str());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        why = failure("cannot create", temp, errno);
        return false;
    }
    bool ok = writeAll(fd, bytes);
    if (!ok) why = failure("cannot write", temp, errno);
    if (ok && ::fsync(fd) != 0) {
        why = failure("cannot write", temp, errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        why = failure("cannot write", temp, errno);
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        why = failure("cannot replace", path, errno);
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(path);
    return true;
}
