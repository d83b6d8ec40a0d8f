#include "asf/savefilewriter.h"

#include "asf/savefilehandle.h"

#include "control/address.h"
#include "mms/downloadtask.h"
#include "shell/interaction.h"
#include "shell/settings.h"
#include "shell/tasklog.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace lumo {

namespace {
QString createFailedText()
{
    return QStringLiteral("创建保存文件时发生问题");
}
} // namespace

SaveFileWriter::SaveFileWriter(DownloadTask &task, TaskLog &log, Interaction &person, Settings &settings)
    : m_task(task), m_log(log), m_person(person), m_settings(settings)
{}

QString SaveFileWriter::fileFilter()
{
    return QStringLiteral("Windows 媒体文件 (*.asf *.wmv *.wma *.wm);;"
                          "WM 重定向文件 (*.asx *.wmx *.wax *.wvx);;"
                          "Lumo 记录文件 (*.log);;"
                          "所有文件 (*)");
}

int SaveFileWriter::PrepareSaveFile(const QString &urlText)
{
    FileDialogRequest request;
    request.startFolder = m_settings.AsfDir();
    request.defaultSuffix = QStringLiteral("asf");
    request.title = QStringLiteral("创建 / 续传 保存文件");
    request.filter = fileFilter();
    request.filterIndex = 1;
    request.overwritePrompt = false;

    QString name = StripQuery(FileNameOf(urlText));
    const AddressClass kind = ClassifyAddress(name);
    if (kind & OtherFile) {
        name += QStringLiteral("_live.asf");
    } else if (!(kind & MediaFile)) {
        m_person.showMessage(QStringLiteral("文件的类型是非法的, 请检查你的地址输入"));
        return 0;
    }
    request.proposedName = name;

    const std::optional<QString> chosen = m_person.chooseSaveFile(request);
    if (!chosen || chosen->isEmpty())
        return 0;
    m_savePath = *chosen;
    m_settings.setAsfDir(folderOf(m_savePath));

    // A file that exists but cannot be measured counts as holding data.
    const QFileInfo info(m_savePath);
    const bool holdsData = info.exists() && (info.size() > 0 || !info.isReadable() || !info.isFile());

    if (holdsData) {
        switch (m_person.askResume(m_savePath)) {
        case ResumeChoice::Resume:
            m_task.ResumeMode = 1;
            if (!m_task.SaveFile.openExisting(m_savePath)) {
                m_person.showMessage(createFailedText());
                return 0;
            }
            return 1;
        case ResumeChoice::Cancel:
        case ResumeChoice::NoChoice:
            return 0;
        case ResumeChoice::Overwrite:
            break;
        }
    }

    m_task.ResumeMode = 0;
    QFile::remove(m_savePath);
    if (!m_task.SaveFile.createNew(m_savePath)) {
        m_person.showMessage(createFailedText());
        return 0;
    }
    return 1;
}

SaveFileWriter::HeaderState SaveFileWriter::WriteHeaderPacket(const char *payload, qsizetype size)
{
    m_task.HeaderBuffer.append(payload, size);
    const qsizetype expected = m_task.HeaderSize;
    if (m_task.HeaderBuffer.size() < expected)
        return HeaderState::Incomplete;
    if (m_task.HeaderBuffer.size() > expected) {
        m_failure = QStringLiteral("接收到的文件头长度已超过预设值");
        return HeaderState::Failed;
    }
    if (m_task.ResumeMode == 1)
        return HeaderState::Complete;
    const auto written =
        m_task.SaveFile.writeAt(0, m_task.HeaderBuffer.constData(), m_task.HeaderBuffer.size());
    if (written != SaveFileHandle::Write::Ok) {
        m_failure = QStringLiteral("无法访问本地文件来写入文件头");
        return HeaderState::Failed;
    }
    return HeaderState::Complete;
}

SaveFileWriter::DataState SaveFileWriter::WriteDataPacket(QByteArray &packet)
{
    const qsizetype packetSize = m_task.PacketSize;
    if (packet.size() < packetSize) {
        packet.append(m_task.PadBytes.constData(), qMin(packetSize - packet.size(), m_task.PadBytes.size()));
        if (packet.size() < packetSize) // no padding made yet (header not analysed)
            packet.append(packetSize - packet.size(), '\0');
    } else if (packet.size() > packetSize) {
        // The byte after the blanks is a stray code-page byte the message has always carried.
        m_log.append(QStringLiteral("警告   \u00EC 必须要将信息包长度剪切到适当长度"));
        packet.truncate(packetSize);
    }
    const qint64 offset = dataPacketOffset(m_task.PacketIndex);
    return dataState(m_task.SaveFile.writeGathered(offset, packet.constData(), packet.size()));
}

SaveFileWriter::DataState SaveFileWriter::WriteDataPacketInPlace(FunctionRef<qsizetype(char *)> fill)
{
    const qsizetype packetSize = m_task.PacketSize;
    const qint64 offset = dataPacketOffset(m_task.PacketIndex);
    return dataState(m_task.SaveFile.writeGatheredInPlace(offset, packetSize, [&](char *packet) {
        const qsizetype filled = qBound<qsizetype>(0, fill(packet), packetSize);
        const qsizetype padded = qMin(packetSize - filled, m_task.PadBytes.size());
        std::memcpy(packet + filled, m_task.PadBytes.constData(), size_t(padded));
        std::memset(packet + filled + padded, 0, size_t(packetSize - filled - padded));
    }));
}

qint64 SaveFileWriter::dataPacketOffset(quint32 index) const
{
    // 64-bit position: files past 2 GiB and 4 GiB stay correct.
    return qint64(m_task.HeaderSize.load()) + qint64(index) * qint64(m_task.PacketSize.load());
}

SaveFileWriter::DataState SaveFileWriter::WriteDataPieces(qint64 offset, const iovec *pieces, int count)
{
    return dataState(m_task.SaveFile.writePieces(offset, pieces, count));
}

SaveFileWriter::DataState SaveFileWriter::FlushData()
{
    return dataState(m_task.SaveFile.flush());
}

SaveFileWriter::DataState SaveFileWriter::dataState(SaveFileHandle::Write written)
{
    switch (written) {
    case SaveFileHandle::Write::Ok:
        return DataState::Written;
    case SaveFileHandle::Write::Closed:
        return DataState::Dropped;
    case SaveFileHandle::Write::Failed:
        break;
    }
    m_failure = m_task.SaveFile.lastError();
    return DataState::Failed;
}

std::optional<quint32> SaveFileWriter::firstUnwrittenPacket() const
{
    const qint64 at = m_task.SaveFile.unwrittenFrom();
    const qint64 packetSize = m_task.PacketSize;
    if (at < 0 || packetSize <= 0)
        return std::nullopt;
    return quint32(qMax<qint64>(0, at - qint64(m_task.HeaderSize.load())) / packetSize);
}

std::optional<quint32> SaveFileWriter::packetsOnDisk() const
{
    const qint64 size = m_task.SaveFile.size();
    const qint64 packetSize = m_task.PacketSize;
    if (size < 0 || packetSize <= 0)
        return std::nullopt;
    return quint32(
        qMin<qint64>(0xFFFFFFFF, qMax<qint64>(0, size - qint64(m_task.HeaderSize.load())) / packetSize));
}

} // namespace lumo
