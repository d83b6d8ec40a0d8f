#include "asf/propertiesreport.h"

#include "asf/headeranalysis.h"

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

} // namespace

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
    return out;
}

} // namespace lumo
