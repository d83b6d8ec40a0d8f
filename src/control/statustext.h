#pragma once

#include "asf/duration.h"
#include "shell/interaction.h"

#include <QString>

namespace lumo {

// The texts the windows and the terminal show for a status's media times; "" when cleared.
inline QString sendTimeText(const TaskStatus &status)
{
    return status.sendTimeMs ? FormatDuration(*status.sendTimeMs) : QString();
}

inline QString timeLeftText(const TaskStatus &status)
{
    if (status.live)
        return QStringLiteral("实况");
    return status.timeLeftMs ? FormatDuration(*status.timeLeftMs) : QString();
}

} // namespace lumo
