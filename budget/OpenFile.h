#pragma once

// An open file, closed when it goes, and the record locks through which this program and
// other programs share a year.
//
// The locks are the system's record locks over the whole file, held by the open file
// (open file description locks): they conflict with the classic fcntl and lockf locks
// that other programs take, so each sees the other's. They are never waited for. They bind
// only programs that take locks: Linux has no mandatory locking, so a program that takes
// none may still write a year while this one reads or writes it.
class OpenFile {
public:
    explicit OpenFile(int fd = -1)
        : fd_(fd) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile();

    int get() const { return fd_; }
    // Closes the file held (and with it its lock) and holds `fd` instead.
    void reset(int fd = -1);
    // Closes the file; 0, or the error number of the close.
    int close();

    enum class Sharing {
        OthersMayRead, // a read lock: others may read too, but not write
        OthersMayNot,  // a write lock: others may neither read nor write
    };
    // Locks the whole file for as long as it stays open; 0, EAGAIN when another program
    // holds a lock that conflicts, or the error number of the refusal. A file system that
    // keeps no record locks (some network file systems) is no failure: nothing is locked.
    int lock(Sharing sharing) const;

private:
    int fd_;
};
