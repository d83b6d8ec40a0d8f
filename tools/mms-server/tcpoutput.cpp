#include "tcpoutput.h"

namespace mmsserver {

namespace {
constexpr qsizetype blockBytes = 256 * 1024;
constexpr qint64 highWaterBytes = 1024 * 1024;
} // namespace

TcpOutput::TcpOutput(QTcpSocket &socket, bool drip) : m_socket(socket), m_drip(socket), m_drips(drip) {}

void TcpOutput::append(const char *data, qsizetype size)
{
    if (m_stopped)
        return;
    if (m_block.capacity() < blockBytes)
        m_block.reserve(blockBytes + size);
    m_block.append(data, size);
    if (m_block.size() >= blockBytes)
        flush();
}

void TcpOutput::flush()
{
    if (m_block.isEmpty() || m_stopped)
        return;
    if (m_drips) {
        m_drip.write(m_block.constData(), m_block.size());
        m_block.clear();
        return;
    }
    // Handed over whole, Qt keeps the block itself instead of copying it.
    m_socket.write(m_block);
    m_block = QByteArray();
}

qint64 TcpOutput::backlog() const
{
    return m_socket.bytesToWrite() + m_drip.queuedBytes() + m_block.size();
}

bool TcpOutput::isFull() const
{
    return backlog() >= highWaterBytes;
}

void TcpOutput::bytesWritten()
{
    if (m_stopped)
        return;
    m_drip.writeNext();
    if (m_closeWhenDrained && m_drip.queuedBytes() == 0) {
        m_closeWhenDrained = false;
        closeWhenSent();
    }
}

void TcpOutput::closeWhenSent()
{
    flush();
    if (m_stopped)
        return;
    if (m_drip.queuedBytes() > 0) {
        m_closeWhenDrained = true;
        return;
    }
    // The socket itself still sends what it holds before it closes.
    m_socket.disconnectFromHost();
}

void TcpOutput::closeNow()
{
    if (m_stopped)
        return;
    if (!m_drips)
        flush();
    m_socket.disconnectFromHost();
    m_stopped = true;
}

} // namespace mmsserver
