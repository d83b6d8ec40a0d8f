#pragma once

#include <QList>
#include <QString>

namespace lumo {

class SaveFileHandle;
struct HeaderPatch;
struct PacketGeometry;

// Stores `packetCount` in the low four bytes of the File Properties Object's Data Packets Count,
// the point a later task resumes from. False when it could not be written (the caller logs it).
bool WriteResumeRecord(SaveFileHandle &file, quint32 headerSize, quint32 packetCount);

struct RepairResult
{
    bool ok = false;
    QString errorMessage; // message-box text when a needed object is missing; empty otherwise
};

// Rewrites what a live recording's header cannot know in advance: file size, packet counts,
// durations and the seekable flag. `packetCount` is written as the packet count; packetTime is
// the last packet's send time in milliseconds.
RepairResult RepairLiveHeader(SaveFileHandle &file, quint32 headerSize, quint32 packetCount,
                              quint32 packetTime);

// The same two at a task's end: a failed write may have left packets off the disk, so the
// restart point and the count never go past the first of them. One lock covers both steps.
bool WriteResumePoint(SaveFileHandle &file, const PacketGeometry &geometry, quint32 restartPacket);
RepairResult RepairLiveRecording(SaveFileHandle &file, const PacketGeometry &geometry, quint32 packetsHeld,
                                 quint32 packetTime);

// Writes the header changes that state which streams a recording holds (StreamChoicePatches).
// Only changes that lie wholly inside the header and the file are written; false when one
// could not be.
bool WriteHeaderPatches(SaveFileHandle &file, quint32 headerSize, const QList<HeaderPatch> &patches);

} // namespace lumo
