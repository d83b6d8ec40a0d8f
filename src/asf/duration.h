#pragma once

#include <QString>

namespace lumo {

// Milliseconds as "hh : mm : ss"; each part has at least two digits, hours may have more.
QString FormatDuration(double milliseconds);

} // namespace lumo
