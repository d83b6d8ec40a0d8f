#pragma once

#include <QByteArray>
#include <QString>

namespace lumo {

class Interaction;
class Settings;
class TaskLog;
struct DownloadTask;

// Chooses, creates or resumes the save file and writes the ASF header and the data packets
// into it, each packet at the place its number fixes.
class SaveFileWriter
{
public:
    SaveFileWriter(DownloadTask &task, TaskLog &log, Interaction &person, Settings &settings);

    // Asks for the save file (the name proposed from the address), asks whether to resume a
    // file that holds data, and opens it. 1: the task may start; 0: it must not (a message,
    // where there is one, has been shown). Event thread.
    int PrepareSaveFile(const QString &urlText);
    // The chosen path (the main window's SaveWindow caption).
    QString savePath() const { return m_savePath; }

    enum class HeaderState
    {
        Incomplete, // more header packets to come
        Complete,   // HeaderBuffer holds HeaderSize bytes and is written (not in resume mode)
        Failed,     // failureMessage() tells why; the caller shows it and ends the task
    };
    // Adds one header packet's payload. Worker thread.
    HeaderState WriteHeaderPacket(const char *payload, qsizetype size);

    enum class DataState
    {
        Written,
        Dropped, // the task has closed the file
        Failed,  // failureMessage() tells why; the caller ends the task
    };
    // Pads or cuts `packet` to PacketSize and writes it at HeaderSize + PacketIndex x PacketSize.
    DataState WriteDataPacket(QByteArray &packet);

    QString failureMessage() const { return m_failure; }

    static QString fileFilter();

private:
    DownloadTask &m_task;
    TaskLog &m_log;
    Interaction &m_person;
    Settings &m_settings;
    QString m_savePath;
    QString m_failure;
};

} // namespace lumo
