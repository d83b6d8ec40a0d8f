#pragma once

#include <QByteArray>
#include <QTcpSocket>

namespace mmsserver {

// Writes to a TCP socket one byte at a time, each only after the one before has left, so that a client
// meets every message split at every byte.
class DripWriter
{
public:
    explicit DripWriter(QTcpSocket &socket) : m_socket(socket) {}

    void write(const char *data, qsizetype size);
    // Sends the next byte if the socket has nothing left to write; call it whenever bytes were written.
    void writeNext();
    qint64 queuedBytes() const { return m_queue.size() - m_at; }

private:
    QTcpSocket &m_socket;
    QByteArray m_queue;
    qsizetype m_at = 0;
};

} // namespace mmsserver
