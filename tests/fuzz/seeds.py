#!/usr/bin/env python3
"""Makes the seed corpora of the fuzz targets from an ffmpeg-made ASF file and from sessions
captured from lumo-mms-server serving it.

    seeds.py SERVER_BINARY OUT_DIR
"""

import base64
import os
import socket
import struct
import subprocess
import sys
import tempfile

CAPTURE_LIMIT = 256 * 1024


def make_asf(path, seconds=1):
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                    "testsrc=size=64x48:rate=10:duration=%d" % seconds, "-f", "lavfi", "-i",
                    "sine=frequency=440:duration=%d" % seconds, "-c:v", "wmv2", "-b:v", "100k", "-c:a", "wmav2",
                    "-b:a", "32k", "-metadata", "title=Lumo 样本", "-f", "asf", path], check=True)


def asf_layout(data):
    """Header bytes (up to the data packets), packet size and the data packets."""
    header_object = struct.unpack_from("<Q", data, 16)[0]
    header_size = header_object + 50
    at = 30
    packet_size = 0
    while at + 24 <= header_object:
        size = struct.unpack_from("<Q", data, at + 16)[0]
        if data[at:at + 4] == bytes.fromhex("a1dcab8c") and size >= 104:  # File Properties
            packet_size = struct.unpack_from("<I", data, at + 92)[0]
        if size < 24:
            break
        at += size
    packets = [data[i:i + packet_size] for i in range(header_size, len(data) - packet_size + 1, packet_size)]
    return data[:header_size], packet_size, packets


def command(seq, cid, body):
    total = (40 + len(body) + 7) // 8 * 8
    m = struct.pack("<II", 1, 0xB00BFACE) + struct.pack("<I", total - 16) + b"MMS "
    m += struct.pack("<IHHII", (total - 16) // 8, seq, 0, 0, 0)
    m += struct.pack("<IHH", (total - 32) // 8, cid, 3) + body
    return m + b"\0" * (total - len(m))


def utf16z(text):
    return text.encode("utf-16-le") + b"\0\0"


def capture(server, root, name, extra):
    """Everything a client receives from the first command to the end of the stream."""
    proc = subprocess.Popen([server, "--listen", "127.0.0.1:0", "--root", root] + extra, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True)
    try:
        port = int(proc.stdout.readline().rsplit(":", 1)[1])
        s = socket.create_connection(("127.0.0.1", port), timeout=20)
        seq = 0

        def send(cid, body):
            nonlocal seq
            s.sendall(command(seq, cid, body))
            seq += 1

        send(0x01, struct.pack("<III", 0xF0F0F0EF, 0x0004000B, 0x0003001C) +
             utf16z("NSPlayer/9.0.0.2980; {3300AD50-2C39-46c0-AE0A-39A2F2B6C4C2}; Host: 127.0.0.1"))
        send(0x18, struct.pack("<II", 0xF0F0F0EF, 0x0004000B))
        send(0x02, struct.pack("<IIIII", 0, 0xFFFFFF, 0xFFFFFF, 0x989680, 2) + utf16z("\\\\127.0.0.1\\TCP\\1037"))
        send(0x05, struct.pack("<IIII", 1, 0xFFFFFFFF, 0, 0) + utf16z(name))
        send(0x15, struct.pack("<IIIIII", 1, 0, 0, 0x8000, 0xFFFFFFFF, 0) + struct.pack("<dd", 0, 3600) +
             struct.pack("<II", 2, 0))
        send(0x07, struct.pack("<II", 1, 0x0001FFFF) + struct.pack("<d", 0) +
             struct.pack("<IIII", 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFF, 4))
        got = b""
        while len(got) < CAPTURE_LIMIT:
            chunk = s.recv(65536)
            if not chunk:
                break
            got += chunk
        s.close()
        return got[:CAPTURE_LIMIT]
    finally:
        proc.terminate()
        proc.wait(timeout=10)


def chunk(kind, location, payload, flags=0):
    """One framed chunk of an answer over HTTP: framing header, MMS data packet header, payload."""
    length = 8 + len(payload)
    return struct.pack("<cBH", b"$", ord(kind), length) + struct.pack("<IBBH", location, 0, flags, length) + payload


def framed(header, packets, strip=False):
    body = chunk("H", 0, header[:len(header) // 2], 0x04) + chunk("H", 1, header[len(header) // 2:], 0x0C)
    for i, packet in enumerate(packets):
        body += chunk("D", i, packet.rstrip(b"\0") if strip else packet)
        if i == 2:
            body += chunk("M", 0, b"meta")
    return body + struct.pack("<cBHI", b"$", ord("E"), 4, 0)


def guid(text):
    """A GUID in the byte order ASF stores it."""
    a, b, c, d, e = text.split("-")
    return struct.pack("<IHH", int(a, 16), int(b, 16), int(c, 16)) + bytes.fromhex(d + e)


def asf_object(text, payload):
    return guid(text) + struct.pack("<Q", 24 + len(payload)) + payload


def multi_rate(header):
    """The header with what a multi-rate programme adds: rates, languages, exclusion groups."""
    rates = asf_object("7BF875CE-468D-11D1-8D82-006097C9A2B2",
                       struct.pack("<H", 2) + struct.pack("<HI", 1, 400000) + struct.pack("<HI", 2, 64000))
    exclusion = asf_object("D6E229DC-35DA-11D1-9034-00A0C90349BE",
                           guid("D6E22A01-35DA-11D1-9034-00A0C90349BE") + struct.pack("<HHH", 2, 1, 2))
    language = "en-us\0".encode("utf-16-le")
    languages = asf_object("7C4346A9-EFE0-4BFC-B229-393EDE415C85", struct.pack("<HB", 1, len(language)) + language)
    extended = asf_object("14E6A5CB-C672-4332-8399-A96952065B5A",
                          struct.pack("<QQIIIIIIIIHHQHH", 0, 0, 64000, 1000, 0, 64000, 1000, 0, 0, 0, 2, 0, 0, 0, 0))
    extension_data = languages + extended
    extension = asf_object("5FBF03B5-A92E-11CF-8EE3-00C00C205365", guid("ABD3D211-A9BA-11CF-8EE6-00C00C205365") +
                           struct.pack("<HI", 6, len(extension_data)) + extension_data)
    added = rates + exclusion + extension
    size, count = struct.unpack_from("<QI", header, 16)
    head = bytearray(header[:size]) + added + header[size:]
    struct.pack_into("<QI", head, 16, size + len(added), count + 3)
    return bytes(head)


def write(out, target, name, data):
    os.makedirs(os.path.join(out, target), exist_ok=True)
    with open(os.path.join(out, target, name), "wb") as f:
        f.write(data)


def main():
    server, out = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as media:
        path = os.path.join(media, "sample.asf")
        make_asf(path)
        with open(path, "rb") as f:
            data = f.read()
        header, packet_size, packets = asf_layout(data)

        for mode in (0, 1, 2):
            write(out, "header", "ffmpeg-%d" % mode, bytes([mode]) + header)
        write(out, "header", "multi-rate", bytes([2]) + multi_rate(header))
        for i, packet in enumerate(packets[:12]):
            write(out, "packettimes", "ffmpeg-%d" % i, struct.pack("<I", 0) + packet)
            write(out, "packettimes", "ffmpeg-late-%d" % i, struct.pack("<I", 1000) + packet)

        # The first byte is the framed harness's mode: bit 0 resume, bit 1 an open file, bit 2 live.
        write(out, "framed", "stored", bytes([2]) + framed(header, packets[:8]))
        write(out, "framed", "stripped", bytes([2]) + framed(header, packets[:8], strip=True))
        write(out, "framed", "live", bytes([6]) + framed(header, packets[:8]))
        write(out, "framed", "resume", bytes([3]) + framed(header, packets[:8]))
        change = framed(header, packets[:3])[:-8] + struct.pack("<cBHI", b"$", ord("E"), 4, 1) + \
            struct.pack("<cBHI", b"$", ord("C"), 4, 0) + framed(header, packets[3:6])
        write(out, "framed", "change", bytes([6]) + change)

        stored = capture(server, media, "sample.asf", ["--close-after-end"])
        live = capture(server, media, "sample.asf", ["--live", "--pace", "full", "--live-seconds", "1",
                                                     "--close-after-end"])
        # The first byte is the harness's mode: bit 0 resume, bit 1 an open save file.
        write(out, "receive", "stored", bytes([2]) + stored)
        write(out, "receive", "stored-resume", bytes([3]) + stored)
        write(out, "receive", "live", bytes([2]) + live)

    for i, text in enumerate([
            b"mms://host/a.asf\nmmst://host:8080/b.wmv \"mmsu://x/y\"",
            b'<ASX version="3.0"><Entry><Ref href="mms://media.example/live"/></Entry></ASX>',
            b"[Reference]\r\nRef1=http://host/a.asf?MSWMExt=.asf\r\nRef2=mms://host/a.asf\r\n",
            b"".join(b"mms://h/%d " % n for n in range(25))]):
        write(out, "redirectscan", "text-%d" % i, text)

    for i, text in enumerate(["user:pass", "a:b:c", ":", "名字:密码", "only"]):
        write(out, "credentials", "plain-%d" % i, base64.b64encode(text.encode()))
    write(out, "credentials", "bad", b"!!@@==")

    utf8 = "------- 记录开始 -------\n打开 :\tmms://host/a.asf\r\n- ** 下载已经完成 **\nend"
    write(out, "logload", "utf8", utf8.encode())
    write(out, "logload", "gbk", utf8.encode("gbk"))
    write(out, "logload", "empty", b"")


if __name__ == "__main__":
    main()
