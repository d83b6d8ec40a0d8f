// The copy limit: opens a stream on an MMS server with the fewest commands that make it send,
// then copies every byte the connection carries straight into a file until the server closes.
// Plain POSIX, no framing work after the start, so it bounds what any client can reach.
//
// Usage: copylimit PORT NAME OUTPUT          (the server runs with --close-after-end)
//        copylimit --http PORT NAME OUTPUT   MMS over HTTP: one Play request, its answer copied

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put32(Bytes &b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}
void put16(Bytes &b, uint16_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void putUtf16z(Bytes &b, const std::string &text)
{
    for (char c : text)
        put16(b, uint16_t(uint8_t(c)));
    put16(b, 0);
}
uint32_t get32(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

[[noreturn]] void fail(const char *what)
{
    std::perror(what);
    std::exit(1);
}

void sendAll(int fd, const Bytes &b)
{
    size_t done = 0;
    while (done < b.size()) {
        const ssize_t n = ::send(fd, b.data() + done, b.size() - done, 0);
        if (n <= 0)
            fail("send");
        done += size_t(n);
    }
}

uint16_t g_seq = 0;

void command(int fd, uint16_t id, const Bytes &body)
{
    const size_t total = (40 + body.size() + 7) / 8 * 8;
    Bytes m;
    put32(m, 1);
    put32(m, 0xB00BFACE);
    put32(m, uint32_t(total - 16));
    m.insert(m.end(), {'M', 'M', 'S', ' '});
    put32(m, uint32_t((total - 16) / 8));
    put16(m, g_seq++);
    put16(m, 0);
    put32(m, 0);
    put32(m, 0);
    put32(m, uint32_t((total - 32) / 8));
    put16(m, id);
    put16(m, 3);
    m.insert(m.end(), body.begin(), body.end());
    m.resize(total, 0);
    sendAll(fd, m);
}

// Reads units until the command `id` has arrived; bytes past it stay in `pending`.
void expect(int fd, Bytes &pending, uint16_t id)
{
    unsigned char chunk[65536];
    for (;;) {
        while (pending.size() >= 8) {
            const bool isCommand = get32(pending.data() + 4) == 0xB00BFACE;
            if (isCommand && pending.size() < 16)
                break;
            const size_t length =
                isCommand ? size_t(get32(pending.data() + 8)) + 16 : size_t(pending[6] | pending[7] << 8);
            if (length < 8)
                fail("corrupt unit");
            if (pending.size() < length)
                break;
            const bool found = isCommand && (pending[36] | pending[37] << 8) == id;
            pending.erase(pending.begin(), pending.begin() + std::ptrdiff_t(length));
            if (found)
                return;
        }
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            fail("recv during start");
        pending.insert(pending.end(), chunk, chunk + n);
    }
}

// Copies what is already read and then every byte of the connection into the file.
int copyToEnd(int fd, int out, const Bytes &pending)
{
    std::vector<char> buffer(1 << 20);
    if (!pending.empty() && ::write(out, pending.data(), pending.size()) != ssize_t(pending.size()))
        fail("write");
    for (;;) {
        const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (n < 0)
            fail("recv");
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer.data() + done, size_t(n - done));
            if (w <= 0)
                fail("write");
            done += w;
        }
    }
    ::close(out);
    ::close(fd);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const bool http = argc == 5 && std::strcmp(argv[1], "--http") == 0;
    if (http) {
        --argc;
        ++argv;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: copylimit [--http] PORT NAME OUTPUT\n");
        return 2;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(std::atoi(argv[1])));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
        fail("connect");
    const int out = ::open(argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0)
        fail("open output");

    Bytes pending;
    Bytes b;
    if (http) {
        // The server closes once the stream has ended; the answer's head is copied with the rest.
        const std::string request = std::string("GET /") + argv[2] +
                                    " HTTP/1.0\r\nUser-Agent: NSPlayer/7.10.0.3059\r\nPragma: xPlayStrm=1\r\n"
                                    "Pragma: xClientGUID={3300AD50-2C39-46c0-AE0A-39A2F2B6C4C2}\r\n"
                                    "Connection: Close\r\n\r\n";
        sendAll(fd, Bytes(request.begin(), request.end()));
        return copyToEnd(fd, out, pending);
    }
    put32(b, 0xF0F0F0EF);
    put32(b, 0x0004000B);
    put32(b, 0x0003001C);
    putUtf16z(b, "NSPlayer/9.0.0.2980; {3300AD50-2C39-46c0-AE0A-39A2F2B6C4C2}; Host: 127.0.0.1");
    command(fd, 0x01, b);
    expect(fd, pending, 0x01);
    b.clear();
    put32(b, 0xF0F0F0EF);
    put32(b, 0x0004000B);
    command(fd, 0x18, b);
    expect(fd, pending, 0x15);
    b.clear();
    for (uint32_t v : {0u, 0x00FFFFFFu, 0x00FFFFFFu, 0x00989680u, 2u})
        put32(b, v);
    putUtf16z(b, "\\\\127.0.0.1\\TCP\\1037");
    command(fd, 0x02, b);
    expect(fd, pending, 0x02);
    b.clear();
    for (uint32_t v : {1u, 0xFFFFFFFFu, 0u, 0u})
        put32(b, v);
    putUtf16z(b, argv[2]);
    command(fd, 0x05, b);
    expect(fd, pending, 0x06);
    // Header request, then start at once: the header pieces and the data are copied alike.
    b.clear();
    for (uint32_t v : {1u, 0u, 0u, 0x8000u, 0xFFFFFFFFu, 0u, 0u, 0u, 0u, 0x40AC2000u, 2u, 0u})
        put32(b, v); // the two doubles are 0.0 and 3600.0
    command(fd, 0x15, b);
    expect(fd, pending, 0x11);
    b.clear();
    for (uint32_t v : {1u, 0x0001FFFFu, 0u, 0u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0x00FFFFFFu, 4u})
        put32(b, v);
    command(fd, 0x07, b);

    return copyToEnd(fd, out, pending);
}
