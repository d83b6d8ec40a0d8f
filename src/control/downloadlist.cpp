#include "control/downloadlist.h"

#include "asf/duration.h"
#include "control/address.h"
#include "control/savefilechoice.h"
#include "control/statustext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QLocale>

namespace lumo {

namespace {

struct StateName
{
    RowState state;
    const char *name;
};
constexpr StateName stateNames[] = {
    {RowState::Waiting, "waiting"},     {RowState::Connecting, "connecting"},
    {RowState::Recording, "recording"}, {RowState::Completed, "completed"},
    {RowState::Stopped, "stopped"},     {RowState::Interrupted, "interrupted"},
    {RowState::Failed, "failed"},
};

} // namespace

QString rowStateName(RowState state)
{
    for (const StateName &entry : stateNames) {
        if (entry.state == state)
            return QString::fromLatin1(entry.name);
    }
    return {};
}

std::optional<RowState> rowStateFromName(const QString &name)
{
    for (const StateName &entry : stateNames) {
        if (name == QLatin1String(entry.name))
            return entry.state;
    }
    return std::nullopt;
}

QString rowStateText(RowState state)
{
    switch (state) {
    case RowState::Waiting:
        return QCoreApplication::translate("DownloadList", "等待");
    case RowState::Connecting:
        return QCoreApplication::translate("DownloadList", "正在连接");
    case RowState::Recording:
        return QCoreApplication::translate("DownloadList", "正在录制");
    case RowState::Completed:
        return QCoreApplication::translate("DownloadList", "已完成");
    case RowState::Stopped:
        return QCoreApplication::translate("DownloadList", "已停止");
    case RowState::Interrupted:
        return QCoreApplication::translate("DownloadList", "已中断");
    case RowState::Failed:
        return QCoreApplication::translate("DownloadList", "失败");
    }
    return {};
}

RowState rowStateAfter(TaskEnd end)
{
    switch (end) {
    case TaskEnd::Completed:
        return RowState::Completed;
    case TaskEnd::StoppedByPerson:
        return RowState::Stopped;
    case TaskEnd::Interrupted:
        return RowState::Interrupted;
    case TaskEnd::Failed:
        return RowState::Failed;
    }
    return RowState::Failed;
}

QString speedText(qint64 bytesPerSecond)
{
    const QLocale c = QLocale::c();
    if (bytesPerSecond < 1024)
        return QStringLiteral("%1 B/s").arg(bytesPerSecond);
    if (bytesPerSecond < 1024 * 1024)
        return c.toString(double(bytesPerSecond) / 1024, 'f', 1) + QStringLiteral(" KB/s");
    return c.toString(double(bytesPerSecond) / (1024 * 1024), 'f', 1) + QStringLiteral(" MB/s");
}

DownloadList::DownloadList(QObject *parent) : QAbstractTableModel(parent) {}

int DownloadList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DownloadList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DownloadList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const DownloadRow &row = m_rows.at(index.row());
    // A row that never received anything has no progress to show, not 0 %.
    const bool progressShown = !row.live && (row.progress > 0 || row.timeMs);
    if (role == PercentRole && index.column() == ProgressColumn)
        return progressShown ? qBound(0, row.progress, 100) : -1;
    if (role == Qt::ToolTipRole) {
        if (index.column() == StateColumn)
            return row.note;
        if (index.column() == AddressColumn || index.column() == SaveFileColumn)
            return data(index, Qt::DisplayRole);
        return {};
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (Column(index.column())) {
    case AddressColumn:
        return row.address;
    case SaveFileColumn:
        return QDir::toNativeSeparators(row.saveFile);
    case StateColumn:
        return rowStateText(row.state);
    case ProgressColumn:
        if (row.live)
            return QCoreApplication::translate("StatusText", "实况");
        return progressShown ? QStringLiteral("%1%").arg(qBound(0, row.progress, 100)) : QString();
    case SpeedColumn:
        return isActive(row.state) && row.sampleBytes >= 0 ? speedText(row.speed) : QString();
    case TimeColumn:
        return row.timeMs ? FormatDuration(*row.timeMs) : QString();
    case ColumnCount:
        break;
    }
    return {};
}

QVariant DownloadList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (Column(section)) {
    case AddressColumn:
        return QCoreApplication::translate("DownloadList", "地址");
    case SaveFileColumn:
        return QCoreApplication::translate("DownloadList", "保存文件");
    case StateColumn:
        return QCoreApplication::translate("DownloadList", "状态");
    case ProgressColumn:
        return QCoreApplication::translate("DownloadList", "进度");
    case SpeedColumn:
        return QCoreApplication::translate("DownloadList", "速度");
    case TimeColumn:
        return QCoreApplication::translate("DownloadList", "时间");
    case ColumnCount:
        break;
    }
    return {};
}

void DownloadList::setFolder(const QString &folder)
{
    if (folder == m_folder)
        return;
    m_folder = folder;
    Q_EMIT listChanged();
}

DownloadRow *DownloadList::find(quint64 id)
{
    const int at = position(id);
    return at < 0 ? nullptr : &m_rows[at];
}

const DownloadRow *DownloadList::row(quint64 id) const
{
    const int at = position(id);
    return at < 0 ? nullptr : &m_rows.at(at);
}

int DownloadList::position(quint64 id) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).id == id)
            return i;
    }
    return -1;
}

bool DownloadList::contains(const QString &address) const
{
    return idOf(address).has_value();
}

std::optional<quint64> DownloadList::idOf(const QString &address) const
{
    const QString wanted = address.trimmed();
    for (const DownloadRow &row : m_rows) {
        if (row.address == wanted)
            return row.id;
    }
    return std::nullopt;
}

QString DownloadList::uniqueSavePath(const QString &folder, const QString &name) const
{
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    const QString base = StripExtension(name);
    const QString suffix = name.mid(base.size()); // ".asf", or "" when there is none
    const auto taken = [&](const QString &path) {
        return QFileInfo::exists(path) ||
               std::any_of(m_rows.cbegin(), m_rows.cend(),
                           [&](const DownloadRow &row) { return row.saveFile == path; });
    };
    QString path = dir.absoluteFilePath(name);
    for (int n = 2; taken(path); ++n)
        path = dir.absoluteFilePath(QStringLiteral("%1-%2%3").arg(base).arg(n).arg(suffix));
    return path;
}

DownloadList::Added DownloadList::add(const QString &text)
{
    const QString address = text.trimmed();
    if (address.isEmpty())
        return {std::nullopt, AddressRule::emptyMessage()};
    // What Start would refuse is refused here, before it becomes a row.
    const AddressClass kind = ClassifyAddress(address);
    if (!(kind & MmsAddress) && !((kind & HttpAddress) && !(kind & RedirectFile)))
        return {std::nullopt, AddressRule::notMmsMessage()};
    if (HostOf(address).isEmpty())
        return {std::nullopt, AddressRule::noHostMessage()};
    if (PathOf(address).isEmpty())
        return {std::nullopt, AddressRule::noPathMessage()};
    const std::optional<QString> name = ProposedSaveName(address);
    if (!name)
        return {std::nullopt,
                QCoreApplication::translate("SaveFileChoice", "文件的类型是非法的, 请检查你的地址输入")};
    if (contains(address))
        return {std::nullopt,
                QCoreApplication::translate("DownloadList", "这个地址已经在列表中: %1").arg(address)};

    DownloadRow row;
    row.id = m_nextId++;
    row.address = address;
    row.saveFile = uniqueSavePath(m_folder, *name);
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.append(row);
    endInsertRows();
    Q_EMIT listChanged();
    return {row.id, {}};
}

bool DownloadList::remove(quint64 id)
{
    const int at = position(id);
    if (at < 0 || isActive(m_rows.at(at).state))
        return false;
    beginRemoveRows({}, at, at);
    m_rows.removeAt(at);
    endRemoveRows();
    Q_EMIT listChanged();
    return true;
}

void DownloadList::rowChanged(int at)
{
    Q_EMIT dataChanged(index(at, 0), index(at, ColumnCount - 1));
}

void DownloadList::setState(quint64 id, RowState state)
{
    DownloadRow *row = find(id);
    if (!row || row->state == state)
        return;
    row->state = state;
    if (state == RowState::Connecting) {
        // A new run: the note and the speed of the last one no longer hold.
        row->note.clear();
        row->sampleBytes = -1;
        row->speed = 0;
    }
    rowChanged(position(id));
    Q_EMIT listChanged();
}

void DownloadList::setNote(quint64 id, const QString &note)
{
    DownloadRow *row = find(id);
    if (!row || row->note == note)
        return;
    row->note = note;
    rowChanged(position(id));
    Q_EMIT listChanged();
}

void DownloadList::renewSaveFile(quint64 id)
{
    DownloadRow *row = find(id);
    if (!row)
        return;
    const QFileInfo current(row->saveFile);
    const QString old = row->saveFile;
    row->saveFile.clear(); // its own name is taken by the file, not by the row
    row->saveFile = uniqueSavePath(current.absolutePath(), current.fileName());
    if (row->saveFile == old)
        return;
    rowChanged(position(id));
    Q_EMIT listChanged();
}

void DownloadList::updateStatus(quint64 id, const TaskStatus &status, qint64 nowMs)
{
    DownloadRow *row = find(id);
    if (!row)
        return;
    row->progress = status.progress;
    row->live = status.live || status.label == TaskLabel::Live;
    row->timeMs = status.sendTimeMs;
    if (status.statistics)
        row->bytes = qint64(status.statistics->packets) * status.statistics->packetSize;
    if (row->sampleBytes < 0 || row->bytes < row->sampleBytes) {
        row->sampleBytes = row->bytes;
        row->sampleAtMs = nowMs;
    } else if (nowMs - row->sampleAtMs >= SpeedIntervalMs) {
        row->speed = (row->bytes - row->sampleBytes) * 1000 / (nowMs - row->sampleAtMs);
        row->sampleBytes = row->bytes;
        row->sampleAtMs = nowMs;
    }
    // Media arriving is the sign that the row records.
    if (row->state == RowState::Connecting && status.label != TaskLabel::Standby && status.disconnectEnabled)
        setState(id, RowState::Recording);
    rowChanged(position(id));
}

QJsonObject DownloadList::toJson() const
{
    QJsonArray rows;
    for (const DownloadRow &row : m_rows) {
        QJsonObject entry{
            {QStringLiteral("address"), row.address},
            {QStringLiteral("saveFile"), row.saveFile},
            {QStringLiteral("state"), rowStateName(row.state)},
            {QStringLiteral("progress"), row.progress},
            {QStringLiteral("live"), row.live},
        };
        if (row.timeMs)
            entry.insert(QStringLiteral("timeMs"), qint64(*row.timeMs));
        if (!row.note.isEmpty())
            entry.insert(QStringLiteral("note"), row.note);
        rows.append(entry);
    }
    return {
        {QStringLiteral("version"), 1}, {QStringLiteral("folder"), m_folder}, {QStringLiteral("rows"), rows}};
}

bool DownloadList::fromJson(const QJsonObject &object)
{
    if (object.value(QStringLiteral("version")).toInt() != 1 ||
        !object.value(QStringLiteral("rows")).isArray())
        return false;
    QList<DownloadRow> rows;
    quint64 nextId = 1;
    for (const QJsonValue &value : object.value(QStringLiteral("rows")).toArray()) {
        const QJsonObject entry = value.toObject();
        DownloadRow row;
        row.address = entry.value(QStringLiteral("address")).toString();
        row.saveFile = entry.value(QStringLiteral("saveFile")).toString();
        const std::optional<RowState> state =
            rowStateFromName(entry.value(QStringLiteral("state")).toString());
        if (!value.isObject() || row.address.isEmpty() || row.saveFile.isEmpty() || !state)
            return false;
        row.id = nextId++;
        // No task outlives the program: a row it was running when it ended was cut short.
        row.state = isActive(*state) ? RowState::Interrupted : *state;
        row.progress = entry.value(QStringLiteral("progress")).toInt();
        row.live = entry.value(QStringLiteral("live")).toBool();
        if (entry.contains(QStringLiteral("timeMs")))
            row.timeMs = quint32(entry.value(QStringLiteral("timeMs")).toInteger());
        row.note = entry.value(QStringLiteral("note")).toString();
        rows.append(row);
    }
    beginResetModel();
    m_rows = rows;
    m_nextId = nextId;
    m_folder = object.value(QStringLiteral("folder")).toString();
    endResetModel();
    return true;
}

} // namespace lumo
