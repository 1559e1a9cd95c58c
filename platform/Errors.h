#pragma once

#include <QString>

#include <utility>

// The errors that reach the user. A handler that meets one ends where it arose;
// the guard around every handler shows the message in the error box.
class AppError {
public:
    explicit AppError(QString message)
        : message_(std::move(message)) {}
    virtual ~AppError() = default;
    const QString& message() const { return message_; }

private:
    QString message_;
};

// A number beyond the range of a double where an amount, a sum or a difference is stored.
class FloatingPointOverflow : public AppError {
public:
    FloatingPointOverflow()
        : AppError(QStringLiteral("Floating point overflow")) {}
};

// Printing was asked for on a machine with no printer.
class NoDefaultPrinter : public AppError {
public:
    NoDefaultPrinter()
        : AppError(QStringLiteral("There is no default printer currently selected")) {}
};

// A failure of the budget file, with the platform's error number.
class InOutError : public AppError {
public:
    explicit InOutError(int code);
    int code() const { return code_; }

    // "File not found", "Invalid filename", "Too many open files", "File access denied"
    // or "I/O error N".
    static QString messageFor(int code);

protected:
    // The error of that number with a message of its own.
    InOutError(int code, QString message);

private:
    int code_;
};

// The error box's text: a period is added unless the message is empty or its last
// character is ordered at or before ".".
QString withPeriod(const QString& message);
