#include "dripwriter.h"

namespace mmsserver {

void DripWriter::write(const char *data, qsizetype size)
{
    m_queue.append(data, size);
    writeNext();
}

void DripWriter::writeNext()
{
    if (m_socket.bytesToWrite() > 0 || m_at == m_queue.size())
        return;
    m_socket.write(m_queue.constData() + m_at, 1);
    if (++m_at == m_queue.size()) {
        m_queue.clear();
        m_at = 0;
    }
}

} // namespace mmsserver
