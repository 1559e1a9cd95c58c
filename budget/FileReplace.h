#pragma once

#include "platform/Errors.h"

#include <QByteArray>
#include <QString>

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
// Refused: a file or a folder without any write bit (also for root, who ignores those
// bits), a folder or anything but a plain file, a missing folder. Creating a new file needs
// the folder's write permission. A failure leaves no new file behind. Throws InOutError
// with the platform's error number, or OldContentsLost.
void replaceFileContent(const QString& path, const QByteArray& bytes);

// Where the copies of files written in place go when their own folder may not be written:
// $XDG_STATE_HOME/penvoro, else ~/.local/state/penvoro.
QByteArray stateFolder();

// A write in place failed, and putting the old contents back failed too; they are kept in
// the copy at `copy`.
class OldContentsLost : public InOutError {
public:
    OldContentsLost(int code, const QByteArray& copy);
};

// The calls with which a save writes, flushes and cuts its files (pwrite, fsync and
// ftruncate). Tests put in their own to make a step fail.
struct FileSteps {
    ssize_t (*write)(int fd, const void* data, size_t size, off_t offset);
    int (*flush)(int fd);
    int (*truncate)(int fd, off_t length);
};
extern FileSteps fileSteps;
