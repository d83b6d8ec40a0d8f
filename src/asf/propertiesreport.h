#pragma once

#include <QList>
#include <QStringList>

namespace lumo {

struct HeaderAnalysis;
struct StreamList;
struct StreamPick;

// The stream table of the window and of lumo-cli info: its column titles, and one row per
// stream (number, kind, rate, picture, language, exclusion groups, recorded). Without picks
// every stream counts as recorded.
QStringList streamColumnTitles();
QList<QStringList> streamTableRows(const StreamList &list, const QList<StreamPick> &picks);
// One line per exclusion group: its number, kind and streams.
QStringList exclusionGroupLines(const StreamList &list);

// Plain-text rendering of what the file-properties window shows: one heading per page, then
// each field under its window caption. Multi-line values are indented under their caption.
// The streams page lists what the header states of each stream.
QStringList describeFileProperties(const HeaderAnalysis &analysis);

} // namespace lumo
