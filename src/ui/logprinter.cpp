#include "ui/logprinter.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace lumo {

namespace {
constexpr int leftX = 10;
constexpr int headingY = 100;
constexpr int firstLineY = 200;
constexpr int fontPoints = 10;
} // namespace

bool printLog(QPrinter &printer, const QStringList &lines)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    QFont font = painter.font();
    font.setPointSize(fontPoints);
    painter.setFont(font);
    painter.drawText(leftX, headingY, QCoreApplication::translate("LogPrinter", "Lumo 多媒体任务记录"));

    const int step = int(1.5 * QFontMetrics(font, &printer).height());
    const int bottom = painter.viewport().height();
    int y = firstLineY;
    for (qsizetype i = 0; i < lines.size() && y <= bottom; ++i) {
        painter.drawText(leftX, y, QString::number(i + 1) + QStringLiteral("   ") + lines.at(i));
        y += step;
    }
    return painter.end();
}

} // namespace lumo
