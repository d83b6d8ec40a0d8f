#pragma once

#include "faultinjector.h"
#include "mediasource.h"
#include "pacer.h"
#include "streamselection.h"

#include <vector>

namespace mmsserver {

// The data packets of one play, in order: read from the source, looped and re-timed for a live
// broadcast, trimmed to the streams the client selected, held back by the pacer, and cut short by the
// faults asked for. Both sessions stream through it and differ only in how they frame a packet.
class PacketFeed
{
public:
    // A looped live source starts at these, so that a client has to rebase what it receives.
    static constexpr quint64 liveLocationBase = 1000000;
    static constexpr qint64 liveTimeOffsetMs = 36000000;

    enum class Step
    {
        Send,      // packet() is ready to go
        Wait,      // not yet: ask again after the wait
        End,       // the content is over
        ReadError, // the source failed
        Drop,      // the connection is to be cut here
    };

    PacketFeed(const ServerOptions &options, FaultInjector &faults);

    // A new source (not owned); a live one is looped for ever.
    void setSource(MediaSource *source, bool live);
    // The next packet is `index` (counted over the loops for a live source), numbered from `locationBase`.
    void startAt(quint64 index, quint64 locationBase);
    // The streams the client wants, from the next packet on; the others' payloads are left out.
    void setSelection(const StreamSelection &selection);
    const StreamSelection &selection() const { return m_selection; }
    // What the selection did to the packets sent so far, for the log.
    QString selectionReport() const;
    // A new play: the next packet is time zero for the pacer.
    void restartPacing() { m_pacer.restart(); }
    // Where a live broadcast that began `elapsedMs` ago is now, as an index for startAt.
    quint64 liveIndexAt(qint64 elapsedMs);

    // Decides what happens to the next packet; *waitMs is set for Step::Wait.
    Step next(qint64 *waitMs);
    const char *packet() const { return m_packet.data(); }
    // How many bytes of packet() go out: all, or without the trailing zeros when padding is stripped.
    quint32 sendBytes() const;
    quint64 location() const { return m_locationBase + m_next; }
    // packet() has gone out.
    void sent();
    quint64 dataSent() const { return m_dataSent; }
    quint64 nextIndex() const { return m_next; }

private:
    bool stage();
    void trimToSelection();
    qint64 loopMs();

    const ServerOptions &m_options;
    FaultInjector &m_faults;
    Pacer m_pacer;
    MediaSource *m_source = nullptr;
    bool m_live = false;
    qint64 m_loopMs = 0;
    qint64 m_firstSendMs = 0;
    quint64 m_next = 0;
    quint64 m_locationBase = 0;
    quint64 m_dataSent = 0;
    bool m_staged = false;
    qint64 m_stagedTimeMs = 0;
    std::vector<char> m_packet;
    StreamSelection m_selection;
    quint64 m_trimmed = 0;
    quint64 m_emptied = 0;
    quint64 m_unreadable = 0;
};

} // namespace mmsserver
