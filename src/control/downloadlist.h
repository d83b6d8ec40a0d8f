#pragma once

#include "control/taskendtexts.h"
#include "shell/interaction.h"

#include <QAbstractTableModel>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace lumo {

// Where a row of the download list stands. The names are what the list file stores.
enum class RowState
{
    Waiting,     // added, not started
    Connecting,  // started; the server has not begun sending media
    Recording,   // media arrives
    Completed,   // the end of media arrived
    Stopped,     // the person stopped it
    Interrupted, // a stored download ended before its end (a start resumes it)
    Failed,      // it could not start, or it ended any other way
};

// A row's task is at work (a start is refused, and so is a removal).
inline bool isActive(RowState state)
{
    return state == RowState::Connecting || state == RowState::Recording;
}

QString rowStateName(RowState state);
std::optional<RowState> rowStateFromName(const QString &name);
// What the list window shows for a state, in the language of the run.
QString rowStateText(RowState state);
// The state a task's end leaves its row in.
RowState rowStateAfter(TaskEnd end);

struct DownloadRow
{
    quint64 id = 0; // stable while the program runs; rows are found by it, not by position
    QString address;
    QString saveFile;
    RowState state = RowState::Waiting;
    int progress = 0; // percent of a stored programme
    bool live = false;
    std::optional<quint32> timeMs; // media time recorded
    qint64 bytes = 0;              // data packets on disk, as the status counts them
    qint64 speed = 0;              // bytes per second over the last measured second
    QString note;                  // the last thing the task told the person

    // Speed measurement, not stored.
    qint64 sampleBytes = -1;
    qint64 sampleAtMs = 0;
};

// The rows of the desktop program's download list: addresses, their save files, how far each
// has come. A table model (address, save file, state, progress, speed, time) the list window
// shows; it knows nothing of tasks or windows. Event thread.
class DownloadList final : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        AddressColumn,
        SaveFileColumn,
        StateColumn,
        ProgressColumn,
        SpeedColumn,
        TimeColumn,
        ColumnCount,
    };
    // The progress column's percentage (0..100) under this role; -1 for a live recording and
    // for a row that has received nothing yet.
    static constexpr int PercentRole = Qt::UserRole + 1;
    // How long speed samples are apart.
    static constexpr qint64 SpeedIntervalMs = 1000;

    explicit DownloadList(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The folder new rows save into.
    QString folder() const { return m_folder; }
    void setFolder(const QString &folder);

    struct Added
    {
        std::optional<quint64> id; // the new row; nullopt when the address was refused
        QString problem;           // why it was refused
    };
    // Adds a row for `address`, saving into folder() under the name proposed for it, made
    // unique among the rows and the files already there. An address already listed, or one
    // that is not a stream's, is refused.
    Added add(const QString &address);
    // Removes a row that is not at work; false otherwise.
    bool remove(quint64 id);

    const QList<DownloadRow> &rows() const { return m_rows; }
    const DownloadRow *row(quint64 id) const;
    int position(quint64 id) const;
    bool contains(const QString &address) const;
    // The row of an address (blanks around it aside); nullopt when it is not listed.
    std::optional<quint64> idOf(const QString &address) const;

    void setState(quint64 id, RowState state);
    void setNote(quint64 id, const QString &note);
    // Gives a row a new save file in its folder, unique as add() makes it (a live recording
    // that starts again keeps the one it made).
    void renewSaveFile(quint64 id);
    // Takes the numbers of a task's status; `nowMs` is a monotonic clock, for the speed.
    void updateStatus(quint64 id, const TaskStatus &status, qint64 nowMs);

    // The list as the file keeps it, and back. fromJson refuses (nullopt) anything that is
    // not a list written by toJson; rows that were at work read as interrupted, as the
    // program ended under them.
    QJsonObject toJson() const;
    bool fromJson(const QJsonObject &object);

Q_SIGNALS:
    // Something the file keeps changed: rows added or removed, a state, a save file, the folder.
    void listChanged();

private:
    DownloadRow *find(quint64 id);
    QString uniqueSavePath(const QString &folder, const QString &name) const;
    void rowChanged(int position);

    QList<DownloadRow> m_rows;
    QString m_folder;
    quint64 m_nextId = 1;
};

// Formats a speed in bytes per second ("850 B/s", "12.5 KB/s", "1.2 MB/s").
QString speedText(qint64 bytesPerSecond);

} // namespace lumo
