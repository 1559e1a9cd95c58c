#include "budget/FileReplace.h"

#include "budget/OpenFile.h"

#include <QFile>
#include <QList>
#include <QRandomGenerator>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

FileSteps fileSteps{::pwrite, ::fsync, ::ftruncate};

namespace {

constexpr mode_t AnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

// Error numbers. Whatever can be told before a file is opened is asked of the system
// directly (stat, access), which gives its own number. Besides:
// - a name whose folder does not exist gives ENOTDIR ("Invalid filename");
// - a folder gives EISDIR; a device, pipe or socket gives EINVAL;
// - the process may run as root, which ignores permission bits: a file or folder without
//   any write bit is refused with EACCES all the same.

// 0 once all bytes are written from `offset` on, else the error number.
int writeAll(int fd, const char* data, qsizetype size, off_t offset) {
    qsizetype written = 0;
    while (written < size) {
        const ssize_t count =
            fileSteps.write(fd, data + written, size_t(size - written), offset + written);
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
    return fileSteps.flush(fd) == 0 || errno == EINVAL ? 0 : errno;
}

// 0, or the error number of flushing the folder's entries. A folder the user may write but
// not read cannot be opened to flush it; its entries reach the disk with the file system's
// own next commit, which is no failure of the save.
int flushFolder(const QByteArray& folder) {
    OpenFile file(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (file.get() < 0)
        return errno == EACCES ? 0 : errno;
    return flush(file.get());
}

// Copies the whole of one open file into another, from their starts; 0 or the error number.
int copyAll(int from, int to) {
    std::array<char, 65536> chunk;
    for (off_t offset = 0;;) {
        const ssize_t count = ::pread(from, chunk.data(), chunk.size(), offset);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return count < 0 ? errno : 0;
        if (const int error = writeAll(to, chunk.data(), count, offset))
            return error;
        offset += count;
    }
}

// Empties the open file, has `fill` write it, then flushes it; 0 or the error number of
// the first step that failed. The file stays open, and so keeps its lock.
template <class Fill> int rewrite(int fd, Fill fill) {
    int error = fileSteps.truncate(fd, 0) == 0 ? 0 : errno;
    if (error == 0)
        error = fill(fd);
    if (error == 0)
        error = flush(fd);
    return error;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// Where the bytes really go: the path as the system resolves it, every symbolic link
// followed (relative ones from where they stand). A name that does not exist yet is
// resolved in its resolved folder; a link that leads nowhere yet is followed to the file
// it names. A folder that cannot be resolved leaves the path as it is, for the checks
// that follow to give the fitting error.
QByteArray resolved(QByteArray path) {
    for (int depth = 0; depth < 40 && !path.endsWith('/'); ++depth) {
        if (char* real = ::realpath(path.constData(), nullptr)) {
            path = real;
            std::free(real);
            return path;
        }
        char* folder = ::realpath(folderOf(path).constData(), nullptr);
        if (!folder)
            return path;
        const QByteArray realFolder = folder;
        std::free(folder);
        path = (realFolder == "/" ? realFolder : realFolder + '/') + nameOf(path);
        QByteArray link(PATH_MAX, Qt::Uninitialized);
        const ssize_t size = ::readlink(path.constData(), link.data(), size_t(link.size()));
        if (size <= 0 || size == link.size())
            return path;
        link.truncate(size);
        path = link.startsWith('/') ? link : realFolder + '/' + link;
    }
    return path;
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

// A new file in the folder, not there before, named after `name` (or "penvoro", where that
// name would be too long) with a random part and `suffix`; -1 with errno set and `path`
// empty when none can be made.
int createIn(const QByteArray& folder, const QByteArray& name, const char* suffix, mode_t mode,
             QByteArray& path) {
    QByteArray base = name;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = folder + '/' + base + '.' +
               QByteArray::number(QRandomGenerator::global()->generate(), 36) + suffix;
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0)
            return fd;
        if (errno == ENAMETOOLONG && base != "penvoro")
            base = "penvoro";
        else if (errno != EEXIST)
            break;
    }
    const int error = errno;
    path.clear(); // no file of ours
    errno = error;
    return -1;
}

// Creates the folder with only its owner's rights, and any missing folder above it.
bool makeFolder(const QByteArray& folder) {
    if (::mkdir(folder.constData(), 0700) == 0 || errno == EEXIST)
        return true;
    return errno == ENOENT && folder != folderOf(folder) && makeFolder(folderOf(folder)) &&
           (::mkdir(folder.constData(), 0700) == 0 || errno == EEXIST);
}

// The attribute names of an open file; false when they cannot be listed.
bool attributeNames(int fd, QList<QByteArray>& names) {
    names.clear();
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP;
        QByteArray list(size, Qt::Uninitialized);
        const ssize_t listed = ::flistxattr(fd, list.data(), size_t(size));
        if (listed < 0 && errno == ERANGE)
            continue; // one was added meanwhile
        if (listed < 0)
            return false;
        list.truncate(listed);
        for (const QByteArray& name : list.split('\0'))
            if (!name.isEmpty())
                names << name;
        return true;
    }
}

// Gives the new file exactly the extended attributes of the old one: access lists,
// security labels, user attributes. False when one cannot be read, set or removed.
bool copyAttributes(int from, int to) {
    QList<QByteArray> names, present;
    if (!attributeNames(from, names) || !attributeNames(to, present))
        return false;
    for (const QByteArray& name : present)
        if (!names.contains(name) && ::fremovexattr(to, name.constData()) != 0)
            return false;
    for (const QByteArray& name : names) {
        const ssize_t size = ::fgetxattr(from, name.constData(), nullptr, 0);
        QByteArray value(qMax<ssize_t>(size, 0), Qt::Uninitialized);
        if (size < 0 || ::fgetxattr(from, name.constData(), value.data(), size_t(size)) != size ||
            ::fsetxattr(to, name.constData(), value.constData(), size_t(size), 0) != 0)
            return false;
    }
    return true;
}

// A whole copy of an open file, written and flushed, beside it where its folder may be
// written, else in the state folder. Removed when it goes, unless it was kept.
class Copy {
public:
    // Throws NoCopyMade, naming the places tried, when no copy can be made.
    Copy(int original, const QByteArray& target, bool besideIt) {
        QStringList places;
        int error = 0;
        if (besideIt) {
            error = makeIn(original, folderOf(target), target);
            if (error == 0)
                return;
            places << QFile::decodeName(folderOf(target));
        }
        const QByteArray state = stateFolder();
        error = makeFolder(state) ? makeIn(original, state, target) : errno;
        if (error == 0)
            return;
        places << QFile::decodeName(state);
        throw NoCopyMade(error, places);
    }
    Copy(const Copy&) = delete;
    Copy& operator=(const Copy&) = delete;
    ~Copy() {
        if (!kept_ && !path_.isEmpty())
            ::unlink(path_.constData());
    }

    // Writes the copy back over the whole of the open file it was made of, from an empty
    // file on (where overwriting would need space of its own); 0 or the error number.
    int putBack(int original) const {
        return rewrite(original, [&](int fd) { return copyAll(file_.get(), fd); });
    }
    void keep() { kept_ = true; }
    const QByteArray& path() const { return path_; }

private:
    // 0, or the error number; nothing is left behind when the copy fails.
    int makeIn(int original, const QByteArray& folder, const QByteArray& target) {
        file_.reset(createIn(folder, nameOf(target), ".backup", S_IRUSR | S_IWUSR, path_));
        if (file_.get() < 0)
            return errno;
        int error = copyAll(original, file_.get());
        if (error == 0)
            error = flush(file_.get());
        if (error == 0)
            error = flushFolder(folder);
        if (error != 0) {
            ::unlink(path_.constData());
            path_.clear();
        }
        return error;
    }

    OpenFile file_;
    QByteArray path_;
    bool kept_ = false;
};

// Writes a new file beside the target and puts it in the target's place. `old` is the
// open, locked target when it exists, with its status; the new file then takes its owner,
// group, permissions and extended attributes. False, with nothing left behind, when a new
// file cannot keep what the old one is or may not take its place; throws when the write
// itself fails.
bool replaceWithNewFile(const QByteArray& target, const OpenFile* old, const struct stat* status,
                        const QByteArray& bytes) {
    const QByteArray folder = folderOf(target);
    if (const int folderError = folderWriteError(folder)) {
        if (old)
            return false;
        throw InOutError(folderError);
    }
    if (old && status->st_nlink != 1)
        return false;

    QByteArray name;
    OpenFile file(createIn(folder, nameOf(target), "", old ? S_IRUSR | S_IWUSR : 0666, name));
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
            ((made.st_uid != status->st_uid || made.st_gid != status->st_gid) &&
             ::fchown(file.get(), status->st_uid, status->st_gid) != 0) ||
            ::fchmod(file.get(), status->st_mode & 07777) != 0 ||
            !copyAttributes(old->get(), file.get()))
            return giveUp(0);
    }
    if (const int error = writeAll(file.get(), bytes.constData(), bytes.size(), 0))
        return giveUp(error);
    if (const int error = flush(file.get()))
        return giveUp(error);
    if (const int error = file.close())
        return giveUp(error);
    // Any refusal (a sticky folder, a file mounted in its place) leaves writing in place.
    if (::rename(name.constData(), target.constData()) != 0)
        return giveUp(old ? 0 : errno);
    if (const int error = flushFolder(folder))
        throw InOutError(error);
    return true;
}

// Copies the open, locked file whole, then overwrites it: emptied, written, flushed. A
// failure puts the copy back through the same open file. Where that fails too, or where
// the file has lost its last name meanwhile (another program put its own file in its
// place), the copy is kept and named in the error.
void writeInPlace(const QByteArray& target, OpenFile& file, const QByteArray& bytes) {
    if ((::fcntl(file.get(), F_GETFL) & O_ACCMODE) != O_RDWR)
        throw InOutError(EACCES); // a file the user may not read cannot be copied
    Copy copy(file.get(), target, folderWriteError(folderOf(target)) == 0);

    const int error = rewrite(
        file.get(), [&](int fd) { return writeAll(fd, bytes.constData(), bytes.size(), 0); });
    if (error == 0) {
        if (const int closeError = file.close())
            throw InOutError(closeError);
        return;
    }
    const int putBackError = copy.putBack(file.get());
    struct stat now;
    if (putBackError != 0 || ::fstat(file.get(), &now) != 0 || now.st_nlink == 0) {
        copy.keep();
        throw OldContentsLost(putBackError != 0 ? putBackError : error, copy.path());
    }
    throw InOutError(error);
}

// Opens the existing file for writing (and for reading where the user may: a copy needs
// it), never blocking, and takes its write lock.
void openLocked(const QByteArray& target, OpenFile& file) {
    const int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    file.reset(::open(target.constData(), O_RDWR | flags));
    if (file.get() < 0 && errno == EACCES)
        file.reset(::open(target.constData(), O_WRONLY | flags));
    if (file.get() < 0)
        throw InOutError(errno);
    if (const int error = file.lock(OpenFile::Sharing::OthersMayNot))
        throw InOutError(error);
}

bool sameFile(const struct stat& one, const struct stat& other) {
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// What may not be written, as far as the status tells.
void requireWritable(const QByteArray& target, const struct stat& status) {
    if (S_ISDIR(status.st_mode))
        throw InOutError(EISDIR);
    if (!S_ISREG(status.st_mode))
        throw InOutError(EINVAL);
    if ((status.st_mode & AnyWriteBit) == 0)
        throw InOutError(EACCES);
    if (::access(target.constData(), W_OK) != 0)
        throw InOutError(errno);
}

} // namespace

QByteArray stateFolder() {
    QByteArray base = qgetenv("XDG_STATE_HOME");
    if (!base.startsWith('/'))
        base = qgetenv("HOME") + "/.local/state";
    return base + "/penvoro";
}

OldContentsLost::OldContentsLost(int code, const QByteArray& copy)
    : InOutError(code, messageFor(code) +
                           QStringLiteral(": the old contents could not be put back; they are "
                                          "kept in ") +
                           QFile::decodeName(copy)) {}

NoCopyMade::NoCopyMade(int code, const QStringList& places)
    : InOutError(code, messageFor(code) +
                           QStringLiteral(": no copy of the old year could be made in ") +
                           places.join(QStringLiteral(" nor in ")) +
                           QStringLiteral(", so the file was not written")) {}

void replaceFileContent(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        throw InOutError(ENOENT);
    const QByteArray target = resolved(QFile::encodeName(path));
    // The lock is taken on the file the name leads to, then the name is asked again:
    // another program may have put a new file in its place meanwhile, and that one is
    // locked instead.
    for (int attempt = 0;; ++attempt) {
        struct stat status;
        if (::stat(target.constData(), &status) != 0) {
            if (errno != ENOENT)
                throw InOutError(errno);
            replaceWithNewFile(target, nullptr, nullptr, bytes); // nobody's file: no lock
            return;
        }
        requireWritable(target, status);
        OpenFile file;
        openLocked(target, file);
        struct stat locked;
        if (::fstat(file.get(), &locked) != 0)
            throw InOutError(errno);
        if (::stat(target.constData(), &status) != 0 || !sameFile(status, locked)) {
            if (attempt < 100)
                continue;
            throw InOutError(EAGAIN);
        }
        requireWritable(target, locked);
        // The lock is let go once the new year stands under the name.
        if (!replaceWithNewFile(target, &file, &locked, bytes))
            writeInPlace(target, file, bytes);
        return;
    }
}
