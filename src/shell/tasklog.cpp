#include "shell/tasklog.h"

#include "shell/pathtext.h"
#include "shell/textcodec.h"

#include <QFile>
#include <QMutexLocker>

namespace lumo {

namespace {

constexpr qsizetype dumpRowBytes = 16;

} // namespace

TaskLog::TaskLog(QObject *parent) : QObject(parent) {}

void TaskLog::append(const QString &entry)
{
    const QMutexLocker lock(&m_mutex);
    m_entries.append(entry);
    Q_EMIT appended(entry);
}

void TaskLog::clear()
{
    const QMutexLocker lock(&m_mutex);
    m_entries.clear();
    Q_EMIT cleared();
}

QStringList TaskLog::entries() const
{
    const QMutexLocker lock(&m_mutex);
    return m_entries;
}

QStringList TaskLog::lines() const
{
    QStringList result;
    for (const QString &entry : entries()) {
        QStringList parts = entry.split(QStringLiteral("\r\n"));
        if (parts.size() > 1 && parts.last().isEmpty())
            parts.removeLast();
        result += parts;
    }
    return result;
}

void TaskLog::DumpBytes(const char *bytes, qsizetype count)
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    QString text = tr(" 数据转储: \r\n");
    text.reserve(text.size() + count * 3 + (count / dumpRowBytes) * 2);
    for (qsizetype i = 0; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text += QLatin1Char(hexDigits[byte >> 4]);
        text += QLatin1Char(hexDigits[byte & 0x0F]);
        text += u' ';
        if ((i + 1) % dumpRowBytes == 0)
            text += QLatin1String("\r\n");
    }
    append(text);
}

QString TaskLog::saveText() const
{
    QString text;
    for (const QString &line : lines())
        text += line + u'\n';
    return text;
}

QString TaskLog::saveToFile(const QString &path) const
{
    const QByteArray bytes = saveText().toUtf8();
    if (bytes.isEmpty())
        return noDataToSaveText();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return createFailedText();
    if (file.write(bytes) != bytes.size() || !file.flush())
        return writeFailedText();
    file.close();
    return file.error() == QFileDevice::NoError ? QString() : writeFailedText();
}

bool TaskLog::LoadLogFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        append(tr("打开记录文件错误"));
        return false;
    }
    QByteArray bytes = file.readAll();
    file.close();
    if (bytes.isEmpty()) {
        append(tr("记录文件不包含任何数据"));
        return false;
    }
    // Only what ends in LF counts; LF is a single byte in both UTF-8 and GBK.
    bytes.truncate(bytes.lastIndexOf('\n') + 1);
    const QString text = decodeUtf8OrGbk(bytes);
    const QStringList fileLines = text.split(u'\n');
    for (qsizetype i = 0; i + 1 < fileLines.size(); ++i)
        append(fileLines[i]);
    return true;
}

QString TaskLog::noDataToSaveText()
{
    return tr("没有记录数据来保存");
}

QString TaskLog::createFailedText()
{
    return tr("创建记录文件错误");
}

QString TaskLog::writeFailedText()
{
    return tr("保存记录文件发生错误");
}

QString proposedLogFileName(const QString &saveWindowText, const QString &mediaWindowText)
{
    QString name = QStringLiteral("default_lumo");
    if (!saveWindowText.isEmpty())
        name = StripExtension(FileNameOf(saveWindowText));
    else if (!mediaWindowText.isEmpty())
        name = StripExtension(FileNameOf(mediaWindowText));
    return name + QStringLiteral(".log");
}

} // namespace lumo
