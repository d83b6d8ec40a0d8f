#pragma once

#include "asf/duration.h"
#include "shell/interaction.h"

#include <QCoreApplication>
#include <QString>

namespace lumo {

// The gauge: packets received of the packets announced, in percent (above 100 when the server
// announced too few); 0 when it announced none. 64-bit, so a long programme does not wrap.
inline int progressPercent(quint32 packetIndex, quint32 packetCount)
{
    return packetCount > 0 ? int(quint64(packetIndex) * 100 / packetCount) : 0;
}

// The texts the windows and the terminal show for a status's media times; "" when cleared.
inline QString sendTimeText(const TaskStatus &status)
{
    return status.sendTimeMs ? FormatDuration(*status.sendTimeMs) : QString();
}

inline QString timeLeftText(const TaskStatus &status)
{
    if (status.live)
        return QCoreApplication::translate("StatusText", "实况");
    return status.timeLeftMs ? FormatDuration(*status.timeLeftMs) : QString();
}

} // namespace lumo
