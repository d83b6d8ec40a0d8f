#pragma once

#include <QString>

namespace lumo {

class SaveFileHandle;

// Stores `packetCount` in the low four bytes of the File Properties Object's Data Packets Count,
// the point a later task resumes from. Returns 1 when written, 0 otherwise (the caller logs it).
int WriteResumeRecord(SaveFileHandle &file, quint32 headerSize, quint32 packetCount);

struct RepairResult
{
    int ok = 0;           // 1 repaired, 0 failed
    QString errorMessage; // message-box text when a needed object is missing; empty otherwise
};

// Rewrites what a live recording's header cannot know in advance: file size, packet counts,
// durations and the seekable flag. `packetCount` is written as the packet count; packetTime is
// the last packet's send time in milliseconds.
RepairResult RepairLiveHeader(SaveFileHandle &file, quint32 headerSize, quint32 packetCount,
                              quint32 packetTime);

} // namespace lumo
