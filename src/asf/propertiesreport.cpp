#include "asf/propertiesreport.h"

#include "asf/headeranalysis.h"
#include "asf/streamchoice.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace lumo {

namespace {

const QString indent = QStringLiteral("    ");

void addField(QStringList &out, const QString &caption, const QString &value)
{
    // A description may hold line breaks of its own; later lines go under the first.
    const QStringList lines = value.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    const QString &first = lines.first();
    out << QStringLiteral("  ") + caption + (first.isEmpty() ? QString() : QLatin1Char(' ') + first);
    for (qsizetype i = 1; i < lines.size(); ++i)
        out << indent + lines[i];
}

void addMemo(QStringList &out, const QString &caption, const QStringList &lines)
{
    out << QStringLiteral("  ") + caption;
    for (const QString &line : lines)
        out << indent + line;
}

void addStreams(QStringList &out, const HeaderAnalysis &analysis)
{
    const StreamList &list = analysis.streams;
    const auto stated = ChoiceStatedInHeader(list);
    QList<QStringList> rows = streamTableRows(list, stated ? stated->picks : QList<StreamPick>());
    rows.prepend(streamColumnTitles());
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList &row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = qMax(widths[i], row[i].size());
    }
    for (const QStringList &row : rows) {
        QString line = indent;
        for (qsizetype i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(widths[i] + 2) : row[i];
        out << line;
    }
    for (const QString &line : exclusionGroupLines(list))
        out << indent + line;
}

} // namespace

QStringList streamColumnTitles()
{
    return {QCoreApplication::translate("PropertiesReport", "流"),
            QCoreApplication::translate("PropertiesReport", "类型"),
            QCoreApplication::translate("PropertiesReport", "速率"),
            QCoreApplication::translate("PropertiesReport", "画面"),
            QCoreApplication::translate("PropertiesReport", "语言"),
            QCoreApplication::translate("PropertiesReport", "互斥组"),
            QCoreApplication::translate("PropertiesReport", "录制")};
}

QList<QStringList> streamTableRows(const StreamList &list, const QList<StreamPick> &picks)
{
    QList<QStringList> rows;
    for (const AsfStream &s : list.streams) {
        QStringList groups;
        for (int g : list.groupsOf(s.number))
            groups << QStringLiteral("%1 (%2)").arg(g + 1).arg(exclusionKindText(list.groups[g].kind));
        bool recorded = true;
        for (const StreamPick &p : picks) {
            if (p.number == s.number)
                recorded = p.chosen;
        }
        const bool picture = s.kind == StreamKind::Video && s.width && s.height;
        rows.append({QString::number(s.number), streamKindText(s.kind), bitRateText(s.bitRate),
                     picture ? QStringLiteral("%1 x %2").arg(s.width).arg(s.height) : QStringLiteral("-"),
                     s.language.isEmpty() ? QStringLiteral("-") : s.language,
                     groups.isEmpty() ? QStringLiteral("-") : groups.join(QStringLiteral(", ")),
                     recorded ? QCoreApplication::translate("PropertiesReport", "是")
                              : QCoreApplication::translate("PropertiesReport", "否")});
    }
    return rows;
}

QStringList exclusionGroupLines(const StreamList &list)
{
    QStringList lines;
    for (qsizetype i = 0; i < list.groups.size(); ++i) {
        QStringList numbers;
        for (quint8 n : list.groups[i].streams)
            numbers << QString::number(n);
        lines << QCoreApplication::translate("PropertiesReport", "互斥组 %1 (%2): %3")
                     .arg(i + 1)
                     .arg(exclusionKindText(list.groups[i].kind), numbers.join(QStringLiteral(", ")));
    }
    return lines;
}

QStringList describeFileProperties(const HeaderAnalysis &analysis)
{
    const FileProperties &p = analysis.properties;
    QStringList out;

    out << QCoreApplication::translate("PropertiesReport", "[剪辑]");
    addField(out, QCoreApplication::translate("PropertiesReport", "剪辑:"), p.Clip);
    addField(out, QCoreApplication::translate("PropertiesReport", "作者:"), p.Author);
    addField(out, QCoreApplication::translate("PropertiesReport", "版权:"), p.Copyright);
    addField(out, QCoreApplication::translate("PropertiesReport", "速率:"), p.Rating);
    addField(out, QCoreApplication::translate("PropertiesReport", "位置:"), p.Location);
    addField(out, QCoreApplication::translate("PropertiesReport", "说明:"), p.Description);

    out << QString() << QCoreApplication::translate("PropertiesReport", "[详细资料]");
    addField(out, QCoreApplication::translate("PropertiesReport", "类型:"), p.Type.trimmed());
    addField(out, QCoreApplication::translate("PropertiesReport", "文件大小:"), p.FileSize);
    addField(out, QCoreApplication::translate("PropertiesReport", "长度:"), p.Length);
    addField(out, QCoreApplication::translate("PropertiesReport", "视频大小:"), p.VidSize);
    addField(out, QCoreApplication::translate("PropertiesReport", "创建日期1:"), p.Created_Asf);
    addField(out, QCoreApplication::translate("PropertiesReport", "创建日期2:"), p.Created_File);

    out << QString() << QCoreApplication::translate("PropertiesReport", "[解码器]");
    addMemo(out, QCoreApplication::translate("PropertiesReport", "解码器版本"), p.Version);
    addMemo(out, QCoreApplication::translate("PropertiesReport", "正在使用的解码器"), p.Codecs);

    out << QString() << QCoreApplication::translate("PropertiesReport", "[统计]");
    addMemo(out, QCoreApplication::translate("PropertiesReport", "多种速率值"), p.BitRateInfo);

    out << QString() << QCoreApplication::translate("PropertiesReport", "[流]");
    addStreams(out, analysis);
    return out;
}

} // namespace lumo
