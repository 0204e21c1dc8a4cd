// Opening input files without ever blocking on a pipe or a device.
#include "machine/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileHandle openInputFile(const std::string& path) {
    // Non-blocking, so that opening a named pipe with no writer returns at once; the
    // file type is then judged on the opened file itself, not on a name that could
    // change in between.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return nullptr;
    struct stat st;
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* f = ::fdopen(fd, "rb");
    if (!f) ::close(fd);
    return FileHandle(f);
}
