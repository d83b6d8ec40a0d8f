#pragma once

#include <QStringList>

namespace lumo {

struct HeaderAnalysis;

// Plain-text rendering of what the file-properties window shows: one heading per page, then
// each field under its window caption. Multi-line values are indented under their caption.
QStringList describeFileProperties(const HeaderAnalysis &analysis);

} // namespace lumo
