#pragma once

#include <QString>
#include <exception>
#include <utility>

namespace quendra {

// Error numbers used where the failure is not a provider's own.
namespace errnum {
constexpr qint32 Overflow = 6;
constexpr qint32 OutOfMemory = 7;
constexpr qint32 SubscriptOutOfRange = 9;
constexpr qint32 TypeMismatch = 13;
constexpr qint32 UserInterrupt = 18; // stopped from outside (a signal, a cancel)
constexpr qint32 FileNotFound = 53;
constexpr qint32 DiskFull = 61;
constexpr qint32 FileAlreadyOpen = 55;
constexpr qint32 PathFileAccess = 75;
constexpr qint32 PathNotFound = 76;
constexpr qint32 ObjectMissing = 91;
constexpr qint32 InvalidProcedureCall = 5;
constexpr qint32 NoCurrentRecord = 3021; // either begin or end of the row set reached
constexpr qint32 ItemNotFound = 3265;    // no column of that name or ordinal
constexpr qint32 Unsupported = 3251;     // the operation is not offered for this medium
constexpr qint32 Repeat = 3022;          // the source already went into the same target
} // namespace errnum

// The one exception type of Quendra. It carries what a failing operation reports
// (number, source, description, help file and context) on its way up to the edge
// that shows it (a message box in the GUI, standard error in the batch runner).
class Error : public std::exception {
public:
    Error(qint32 number, QString source, QString description, QString helpFile = {},
          qint32 helpContext = 0);

    qint32 number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }
    const QString& helpFile() const { return m_helpFile; }
    qint32 helpContext() const { return m_helpContext; }

    const char* what() const noexcept override { return m_what.constData(); }

private:
    qint32 m_number;
    QString m_source;
    QString m_description;
    QString m_helpFile;
    qint32 m_helpContext;
    QByteArray m_what;
};

// An error with one of the numbers above and its standard German text; detail, when
// given, follows after ": " (a file name, a column, the offending value).
Error standardError(qint32 number, const QString& detail = {});

// The error of a failed open, read or write of the file at path, by the system's error
// code (errno): a missing file, a full disk, a file at its largest allowed size, any
// other refusal.
Error fileSystemError(int code, const QString& path);

// A German sentence that says what went wrong, with a database driver's own text on a
// line of its own after it, for the expert.
QString withDriverText(const QString& sentence, const QString& driverText);

// A value as an error message quotes it: between double quotes, at most the first
// MaxQuotedChars characters, then "…" and the full length, so that a message about a
// field of a megabyte stays readable.
constexpr qsizetype MaxQuotedChars = 100;
QString quotedValue(QStringView value);

// Rebuilds the source text ("Modul: " module, then "Source: " and the given source on
// the next line) and throws. Called from the catch block of every class procedure.
[[noreturn]] void raiseError(qint32 number, const QString& source, const QString& description,
                             const QString& module);
[[noreturn]] void raiseError(const Error& pending, const QString& module);

// Turns whatever is in flight (a quendra::Error, another std::exception, anything)
// into an Error; call only from inside a catch block.
Error currentError();

// Runs body; any exception leaves it re-raised with where as the module ("cls.proc").
template <class Body> decltype(auto) trapped(const char* where, Body&& body)
{
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        raiseError(currentError(), QString::fromLatin1(where));
    }
}

} // namespace quendra
