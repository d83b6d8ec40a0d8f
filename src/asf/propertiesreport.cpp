#include "asf/propertiesreport.h"

#include "asf/headeranalysis.h"

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

} // namespace

QStringList describeFileProperties(const HeaderAnalysis &analysis)
{
    const FileProperties &p = analysis.properties;
    QStringList out;

    out << QStringLiteral("[剪辑]");
    addField(out, QStringLiteral("剪辑:"), p.Clip);
    addField(out, QStringLiteral("作者:"), p.Author);
    addField(out, QStringLiteral("版权:"), p.Copyright);
    addField(out, QStringLiteral("速率:"), p.Rating);
    addField(out, QStringLiteral("位置:"), p.Location);
    addField(out, QStringLiteral("说明:"), p.Description);

    out << QString() << QStringLiteral("[详细资料]");
    addField(out, QStringLiteral("类型:"), p.Type.trimmed());
    addField(out, QStringLiteral("文件大小:"), p.FileSize);
    addField(out, QStringLiteral("长度:"), p.Length);
    addField(out, QStringLiteral("视频大小:"), p.VidSize);
    addField(out, QStringLiteral("创建日期1:"), p.Created_Asf);
    addField(out, QStringLiteral("创建日期2:"), p.Created_File);

    out << QString() << QStringLiteral("[解码器]");
    addMemo(out, QStringLiteral("解码器版本"), p.Version);
    addMemo(out, QStringLiteral("正在使用的解码器"), p.Codecs);

    out << QString() << QStringLiteral("[统计]");
    addMemo(out, QStringLiteral("多种速率值"), p.BitRateInfo);
    return out;
}

} // namespace lumo
