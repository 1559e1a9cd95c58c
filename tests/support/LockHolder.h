#pragma once

#include <QString>

#include <sys/types.h>

// Another program holding a classic record lock (fcntl F_SETLK, as lockf takes) over a
// whole file, for as long as this object lives: a child process that takes the lock and
// waits until it is told to go.
class LockHolder {
public:
    enum class Kind { Read, Write };
    LockHolder(const QString& path, Kind kind);
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    ~LockHolder();

    // True once the child holds the lock.
    bool holds() const { return holds_; }

private:
    pid_t child_ = -1;
    int release_ = -1; // closing it tells the child to go
    bool holds_ = false;
};
