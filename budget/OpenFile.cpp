#include "budget/OpenFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

OpenFile::~OpenFile() {
    reset();
}

void OpenFile::reset(int fd) {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

int OpenFile::close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
}

int OpenFile::lock(Sharing sharing) const {
    struct flock whole {};
    whole.l_type = sharing == Sharing::OthersMayRead ? F_RDLCK : F_WRLCK;
    whole.l_whence = SEEK_SET;
    whole.l_start = 0;
    whole.l_len = 0; // to the end, however long the file grows
    if (::fcntl(fd_, F_OFD_SETLK, &whole) == 0)
        return 0;
    switch (errno) {
    case EACCES: // the other name of a conflict
    case EAGAIN:
        return EAGAIN;
    case ENOLCK:     // a file system without locks
    case EOPNOTSUPP: // ... or without these locks
    case EINVAL:     // a system older than these locks
        return 0;
    default:
        return errno;
    }
}
