#include "mmshwire.h"

#include "bytes.h"

namespace mmsserver {

namespace chunk {

namespace {
constexpr quint8 frameStart = 0x24; // '$'

QByteArray framing(char type, quint16 length)
{
    QByteArray bytes;
    ByteWriter(bytes).u8(frameStart).u8(quint8(type)).u16(length);
    return bytes;
}
} // namespace

std::array<char, packetPrefixBytes> packetPrefix(char type, quint32 location, quint8 incarnation,
                                                 quint8 flags, quint32 payloadBytes)
{
    const quint16 length = quint16(8 + payloadBytes);
    std::array<char, packetPrefixBytes> prefix;
    putU8(prefix.data(), frameStart);
    putU8(prefix.data() + 1, quint8(type));
    putU16(prefix.data() + 2, length);
    putU32(prefix.data() + 4, location);
    putU8(prefix.data() + 8, incarnation);
    putU8(prefix.data() + 9, flags);
    putU16(prefix.data() + 10, length);
    return prefix;
}

QByteArray endOfStream(quint32 reason)
{
    QByteArray bytes = framing(end, 4);
    ByteWriter(bytes).u32(reason);
    return bytes;
}

QByteArray streamChange()
{
    QByteArray bytes = framing(change, 4);
    ByteWriter(bytes).u32(0);
    return bytes;
}

QByteArray brokenFraming(quint32 bytesAfter)
{
    QByteArray bytes;
    ByteWriter(bytes).u8(0x00).u8(quint8(data)).u16(quint16(bytesAfter));
    return bytes;
}

} // namespace chunk

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    }
    if (status >= 500)
        return "Server Error";
    if (status >= 400)
        return "Client Error";
    return status >= 300 ? "Redirection" : "Success";
}

QByteArray httpAnswerHead(int status, const HttpHeaders &headers)
{
    QByteArray head = "HTTP/1.0 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    for (const auto &[name, value] : headers)
        head += name + ": " + value + "\r\n";
    return head + "\r\n";
}

} // namespace mmsserver
