#include "platform/Errors.h"

#include <cerrno>
#include <utility>

InOutError::InOutError(int code)
    : AppError(messageFor(code))
    , code_(code) {}

InOutError::InOutError(int code, QString message)
    : AppError(std::move(message))
    , code_(code) {}

QString InOutError::messageFor(int code) {
    switch (code) {
    case ENOENT:
        return QStringLiteral("File not found");
    case ENOTDIR:
        return QStringLiteral("Invalid filename");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("File access denied");
    default:
        return QStringLiteral("I/O error %1").arg(code);
    }
}

QString withPeriod(const QString& message) {
    if (message.isEmpty() || message.back() <= QLatin1Char('.'))
        return message;
    return message + QLatin1Char('.');
}
