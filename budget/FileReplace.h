#pragma once

#include "platform/Errors.h"

#include <QByteArray>
#include <QString>

// Makes `bytes` the whole content of the file at `path`, keeping everything else the file
// is: its owner, group and permissions, its hard links, and a symbolic link that leads to
// it (the link is followed and stays a link).
//
// A new file is written beside the old one and replaces it once every byte is written and
// flushed, so a failure leaves the old file as it was. Where such a new file could not keep
// all of the above (a folder the user may not write, another user's file, a file with more
// than one name or with extended attributes), the file is written in place instead:
// overwritten, flushed, then cut to its new length. The bytes about to be overwritten are
// held first, and a failure puts them back.
//
// Refused: a file or a folder without any write bit (also for root, who ignores those
// bits), a folder or anything but a plain file, a missing folder. Creating a new file needs
// the folder's write permission. A failure leaves no new file behind. Throws InOutError
// with the platform's error number, or OldContentsLost.
void replaceFileContent(const QString& path, const QByteArray& bytes);

// A write in place failed, and putting the old contents back failed too.
class OldContentsLost : public InOutError {
public:
    explicit OldContentsLost(int code);
};
