#include "budget/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

constexpr mode_t AnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

// Error numbers. Whatever can be told before a file is opened is asked of the system
// directly (stat, access), which gives its own number. Besides:
// - a name whose folder does not exist gives ENOTDIR ("Invalid filename");
// - a folder gives EISDIR; a device, pipe or socket gives EINVAL;
// - the process may run as root, which ignores permission bits: a file or folder without
//   any write bit is refused with EACCES all the same.

// An open file, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    void reset(int fd) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // 0, or the error number of the close.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// 0 once all bytes are written from `offset` on, else the error number; `written` counts
// the bytes that reached the file.
int writeAll(int fd, const char* data, qsizetype size, off_t offset, qsizetype& written) {
    written = 0;
    while (written < size) {
        const ssize_t count =
            ::pwrite(fd, data + written, size_t(size - written), offset + written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return count < 0 ? errno : EIO;
        written += count;
    }
    return 0;
}

// 0, or the error number of a flush the file system could have done.
int flush(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
}

// Where the bytes really go: a symbolic link is followed to its target.
QString finalTarget(const QString& path) {
    QFileInfo info(path);
    int depth = 128;
    while (--depth > 0 && info.isSymLink())
        info.setFile(info.symLinkTarget());
    return depth > 0 ? info.filePath() : path;
}

// The folder must exist, be a folder, carry a write bit and be writable by the user.
int folderWriteError(const QByteArray& folder) {
    struct stat status;
    if (::stat(folder.constData(), &status) != 0)
        return errno == ENOENT ? ENOTDIR : errno;
    if (!S_ISDIR(status.st_mode))
        return ENOTDIR;
    if ((status.st_mode & AnyWriteBit) == 0)
        return EACCES;
    return ::access(folder.constData(), W_OK | X_OK) == 0 ? 0 : errno;
}

// A new file beside `target`, not there before; -1 with errno set when none can be made.
int createBeside(const QByteArray& target, mode_t mode, QByteArray& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Writes a new file beside the target and puts it in the target's place. `old` is the
// target's status when it exists; the new file then takes its owner, group and
// permissions. False, with nothing left behind, when a new file cannot keep what the old
// one is; throws when the write itself fails.
bool replaceWithNewFile(const QByteArray& target, const struct stat* old, const QByteArray& bytes) {
    const QByteArray folder =
        QFile::encodeName(QFileInfo(QFile::decodeName(target)).absolutePath());
    if (old) {
        const int folderError = folderWriteError(folder);
        if (old->st_nlink != 1 || folderError != 0 ||
            ::listxattr(target.constData(), nullptr, 0) > 0)
            return false;
    } else if (const int folderError = folderWriteError(folder)) {
        throw InOutError(folderError);
    }

    QByteArray name;
    Descriptor file(createBeside(target, old ? S_IRUSR | S_IWUSR : 0666, name));
    if (file.get() < 0) {
        if (old)
            return false;
        throw InOutError(errno);
    }
    const auto giveUp = [&](int error) {
        ::unlink(name.constData());
        if (error == 0)
            return false;
        throw InOutError(error);
    };
    if (old) {
        struct stat made;
        if (::fstat(file.get(), &made) != 0 ||
            ((made.st_uid != old->st_uid || made.st_gid != old->st_gid) &&
             ::fchown(file.get(), old->st_uid, old->st_gid) != 0) ||
            ::fchmod(file.get(), old->st_mode & 07777) != 0)
            return giveUp(0);
    }
    qsizetype written = 0;
    if (const int error = writeAll(file.get(), bytes.constData(), bytes.size(), 0, written))
        return giveUp(error);
    if (const int error = flush(file.get()))
        return giveUp(error);
    if (const int error = file.close())
        return giveUp(error);
    if (::rename(name.constData(), target.constData()) != 0) {
        // A sticky folder lets only a file's owner replace it.
        return giveUp(old && (errno == EPERM || errno == EACCES) ? 0 : errno);
    }
    return true;
}

// Overwrites the file, flushes it and cuts it to the new length. The old bytes about to be
// overwritten are held first and put back when a step fails.
void writeInPlace(const QByteArray& target, const QByteArray& bytes) {
    bool readable = true;
    Descriptor file(::open(target.constData(), O_RDWR | O_CLOEXEC));
    if (file.get() < 0 && errno == EACCES) { // a file the user may write but not read
        readable = false;
        file.reset(::open(target.constData(), O_WRONLY | O_CLOEXEC));
    }
    struct stat status;
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0)
        throw InOutError(errno);

    QByteArray held;
    if (readable) {
        held.resize(std::min<qsizetype>(bytes.size(), status.st_size));
        qsizetype read = 0;
        while (read < held.size()) {
            const ssize_t count =
                ::pread(file.get(), held.data() + read, size_t(held.size() - read), read);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0) {
                if (count < 0)
                    throw InOutError(errno);
                break; // the file got shorter meanwhile
            }
            read += count;
        }
        held.truncate(read);
    }

    qsizetype written = 0;
    bool cut = false;
    int error = writeAll(file.get(), bytes.constData(), bytes.size(), 0, written);
    if (error == 0)
        error = flush(file.get());
    if (error == 0) {
        cut = bytes.size() < status.st_size; // the old tail was never held
        error = ::ftruncate(file.get(), bytes.size()) == 0 ? flush(file.get()) : errno;
    }
    if (error == 0)
        error = file.close();
    if (error == 0)
        return;

    // Put back what was overwritten, and the old length.
    qsizetype restored = 0;
    const bool putBack =
        (written == 0 && !cut) ||
        (readable && !cut &&
         writeAll(file.get(), held.constData(), std::min(written, held.size()), 0, restored) == 0 &&
         ::ftruncate(file.get(), status.st_size) == 0 && flush(file.get()) == 0);
    if (!putBack)
        throw OldContentsLost(error);
    throw InOutError(error);
}

} // namespace

OldContentsLost::OldContentsLost(int code)
    : InOutError(code,
                 messageFor(code) + QStringLiteral(": the old contents could not be put back")) {}

void replaceFileContent(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        throw InOutError(ENOENT);
    const QByteArray target = QFile::encodeName(finalTarget(path));
    struct stat status;
    if (::stat(target.constData(), &status) != 0) {
        if (errno != ENOENT)
            throw InOutError(errno);
        replaceWithNewFile(target, nullptr, bytes);
        return;
    }
    if (S_ISDIR(status.st_mode))
        throw InOutError(EISDIR);
    if (!S_ISREG(status.st_mode))
        throw InOutError(EINVAL);
    if ((status.st_mode & AnyWriteBit) == 0)
        throw InOutError(EACCES);
    if (::access(target.constData(), W_OK) != 0)
        throw InOutError(errno);
    if (!replaceWithNewFile(target, &status, bytes))
        writeInPlace(target, bytes);
}
