#pragma once

#include <QObject>
#include <QRecursiveMutex>
#include <QString>
#include <QStringList>

namespace lumo {

// The task log: the record of one task, or of one log file being viewed.
//
// append() may be called from any thread. Entries are kept in the order of the calls, and
// appended() is emitted in that same order (it is emitted while the log is locked), so a view
// that follows the signal shows what lines() returns. Receivers must not block on another
// thread; queued receivers and direct ones that read the log are fine.
class TaskLog : public QObject
{
    Q_OBJECT

public:
    explicit TaskLog(QObject *parent = nullptr);

    // Adds one entry; an entry may hold several lines separated by CR LF.
    void append(const QString &entry);
    void clear();

    QStringList entries() const;
    // The entries split into lines at CR LF. A CR LF that ends an entry ends its last line
    // and does not start an empty one.
    QStringList lines() const;

    // Appends a hexadecimal dump of the first `count` bytes as one entry: a heading line,
    // then rows of 16 values.
    void DumpBytes(const char *bytes, qsizetype count);

    // The text a saved log file holds: every line followed by one LF, nothing else.
    QString saveText() const;
    // Writes saveText() as UTF-8, replacing the file. Returns the message to show when it
    // fails, or "" when it was written.
    QString saveToFile(const QString &path) const;

    // Appends the lines of a saved log file; a failure appends its line and returns false.
    // Each LF ends a line (a CR before it stays part of the line); bytes after the last LF
    // are dropped. The file is read as UTF-8, or as GBK when it is not valid UTF-8.
    bool LoadLogFile(const QString &path);

    // Messages of the save operation.
    static QString noDataToSaveText();
    static QString createFailedText();
    static QString writeFailedText();

Q_SIGNALS:
    void appended(const QString &entry);
    void cleared();

private:
    // Recursive so that a directly connected receiver may read the log from its slot.
    mutable QRecursiveMutex m_mutex;
    QStringList m_entries;
};

// The name the save dialog proposes for the log: the save file's name, else the opened
// location's, without extension, else "default_lumo"; followed by ".log".
QString proposedLogFileName(const QString &saveWindowText, const QString &mediaWindowText);

} // namespace lumo
