#pragma once

#include "dripwriter.h"

#include <QByteArray>
#include <QTcpSocket>

namespace mmsserver {

// What a session writes on its TCP connection: gathered into large blocks (or dripped one byte at a
// time when asked), and closed only once all of it has left.
class TcpOutput
{
public:
    TcpOutput(QTcpSocket &socket, bool drip);

    // Adds to the block being gathered; a full block goes out by itself.
    void append(const char *data, qsizetype size);
    void append(const QByteArray &bytes) { append(bytes.constData(), bytes.size()); }
    void flush();
    // Bytes written but not yet taken by the system, gathered ones included.
    qint64 backlog() const;
    // A session streams on only while this is false; the socket's bytesWritten resumes it.
    bool isFull() const;
    // Call on the socket's bytesWritten: feeds the drip and finishes a close that waits for it.
    void bytesWritten();
    // Closes once everything written has left.
    void closeWhenSent();
    // Closes now: what has not reached the socket yet is dropped.
    void closeNow();
    // The connection is gone: nothing more is written.
    void stop() { m_stopped = true; }
    bool isStopped() const { return m_stopped; }

private:
    QTcpSocket &m_socket;
    DripWriter m_drip;
    const bool m_drips;
    QByteArray m_block;
    bool m_closeWhenDrained = false;
    bool m_stopped = false;
};

} // namespace mmsserver
