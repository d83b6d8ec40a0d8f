#include "asf/duration.h"

#include <cmath>
#include <limits>

namespace lumo {

QString FormatDuration(double milliseconds)
{
    // Whole seconds, rounded as (ms + 1) / 1000 truncated. A negative or unusable value
    // (a remaining time that would wrap) shows as zero.
    const double seconds = std::trunc((milliseconds + 1) / 1000);
    qint64 total = 0;
    if (std::isfinite(seconds) && seconds > 0)
        total = seconds >= 9.2e18 ? std::numeric_limits<qint64>::max() : qint64(seconds);
    const qint64 h = total / 3600;
    const qint64 m = (total - 3600 * h) / 60;
    const qint64 s = total - 3600 * h - 60 * m;
    const auto part = [](qint64 v) { return QString::number(v).rightJustified(2, u'0'); };
    return part(h) + QStringLiteral(" : ") + part(m) + QStringLiteral(" : ") + part(s);
}

} // namespace lumo
