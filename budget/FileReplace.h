#pragma once

#include "platform/Errors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// Makes `bytes` the whole content of the file at `path`, keeping everything else the file
// is: its owner, group and permissions, its extended attributes (access lists, security
// labels, user attributes), its hard links, and a symbolic link that leads to it (the link
// is followed as the system follows it, and stays a link).
//
// A new file is written beside the old one and replaces it once every byte is written and
// flushed; the folder is flushed after that. A failure leaves the old file as it was.
// Where such a new file could not keep all of the above (a folder the user may not write,
// another user's file, a file with more than one name, attributes that cannot be copied)
// or may not take the old one's place (a refused rename), the file is written in place
// instead. A whole copy of the old file is written and flushed first, beside it where the
// folder may be written, else in the user's state folder (stateFolder()); without that
// copy nothing is overwritten. A failure then puts the old contents back from the copy,
// and the copy is removed once the old or the new contents stand in the file.
//
// An existing file is locked against other programs (OpenFile: others may neither read
// nor write it) before anything is copied or written, until the new contents stand under
// its name; a file another program holds locked is refused with EAGAIN, untouched. A name
// that leads to no file yet is not locked.
//
// Refused: a file or a folder without any write bit (also for root, who ignores those
// bits), a folder or anything but a plain file, a missing folder, a file that must be
// written in place but may not be read (no copy can be made). Creating a new file needs
// the folder's write permission. A failure leaves no new file behind. Throws InOutError
// with the platform's error number, NoCopyMade or OldContentsLost.
void replaceFileContent(const QString& path, const QByteArray& bytes);

// Where the copies of files written in place go when their own folder may not be written:
// $XDG_STATE_HOME/penvoro, else ~/.local/state/penvoro.
QByteArray stateFolder();

// A write in place failed, and the old contents could not be put back into the file (or
// the file lost its last name meanwhile); they are kept in the copy at `copy`.
class OldContentsLost : public InOutError {
public:
    OldContentsLost(int code, const QByteArray& copy);
};

// A file had to be written in place, but no copy of it could be made in any of the
// folders tried (its own, the state folder); nothing was written. `code` is the error of
// the last place tried.
class NoCopyMade : public InOutError {
public:
    NoCopyMade(int code, const QStringList& places);
};

// The calls with which a save writes, flushes and cuts its files (pwrite, fsync and
// ftruncate). Tests put in their own to make a step fail.
struct FileSteps {
    ssize_t (*write)(int fd, const void* data, size_t size, off_t offset);
    int (*flush)(int fd);
    int (*truncate)(int fd, off_t length);
};
extern FileSteps fileSteps;
