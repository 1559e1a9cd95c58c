#include "support/LockHolder.h"

#include <QFile>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

LockHolder::LockHolder(const QString& path, Kind kind) {
    int taken[2], release[2];
    if (pipe(taken) != 0)
        return;
    if (pipe(release) != 0) {
        ::close(taken[0]);
        ::close(taken[1]);
        return;
    }
    const QByteArray name = QFile::encodeName(path);
    child_ = fork();
    if (child_ == 0) {
        ::close(taken[0]);
        ::close(release[1]);
        const int fd = ::open(name.constData(), kind == Kind::Read ? O_RDONLY : O_RDWR);
        struct flock whole {};
        whole.l_type = kind == Kind::Read ? F_RDLCK : F_WRLCK;
        whole.l_whence = SEEK_SET;
        const char answer = fd >= 0 && ::fcntl(fd, F_SETLK, &whole) == 0 ? 'y' : 'n';
        if (::write(taken[1], &answer, 1) != 1)
            _exit(1);
        char ignored;
        while (::read(release[0], &ignored, 1) > 0) {
        }
        _exit(0);
    }
    ::close(taken[1]);
    ::close(release[0]);
    release_ = release[1];
    char answer = 'n';
    holds_ = child_ > 0 && ::read(taken[0], &answer, 1) == 1 && answer == 'y';
    ::close(taken[0]);
}

LockHolder::~LockHolder() {
    if (release_ >= 0)
        ::close(release_);
    if (child_ > 0)
        waitpid(child_, nullptr, 0);
}
