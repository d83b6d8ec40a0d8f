<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>ServerOptions</name>
    <message>
        <source>Listen on ADDR:PORT (default 127.0.0.1:1755). Port 0 picks a free port. The first line on stdout is &apos;lumo-mms-server listening on ADDR:PORT&apos;.</source>
        <translation>在 ADDR:PORT 上监听 (默认 127.0.0.1:1755). 端口 0 表示任选一个空闲端口. 标准输出的第一行是 &apos;lumo-mms-server listening on ADDR:PORT&apos;.</translation>
    </message>
    <message>
        <source>Serve the ASF files below DIR by path (default: the current folder). Paths leaving DIR are refused.</source>
        <translation>按路径提供 DIR 下的 ASF 文件 (默认: 当前文件夹). 拒绝 DIR 以外的路径.</translation>
    </message>
    <message>
        <source>Log every session step to stderr as &apos;session N: ...&apos;.</source>
        <translation>把会话的每一步以 &apos;session N: ...&apos; 的形式记录到标准错误输出.</translation>
    </message>
    <message>
        <source>End a live broadcast after N seconds of media (0x1E); without it the broadcast runs until the client leaves.</source>
        <translation>实况广播在 N 秒媒体后结束 (0x1E); 不给出时一直广播到客户端离开.</translation>
    </message>
    <message>
        <source>&apos;full&apos; sends packets as fast as the client reads them (the default for stored files); &apos;realtime&apos; sends each at its ASF send time (the default for --live).</source>
        <translation>&apos;full&apos; 以客户端读取的速度尽快发送数据包 (点播文件的默认值); &apos;realtime&apos; 按每个数据包的 ASF 发送时间发送 (--live 的默认值).</translation>
    </message>
    <message>
        <source>Limit media packets to BYTES_PER_S bytes per second.</source>
        <translation>把媒体数据包限制为每秒 BYTES_PER_S 字节.</translation>
    </message>
    <message>
        <source>Send a ping (0x1B) after SECONDS without client traffic (default 30, 0 = never).</source>
        <translation>客户端 SECONDS 秒无通信后发送 ping (0x1B) (默认 30, 0 为从不).</translation>
    </message>
    <message>
        <source>Realm named in the login challenge (default &apos;lumo-mms-server&apos;).</source>
        <translation>登录质询中的域 (默认 &apos;lumo-mms-server&apos;).</translation>
    </message>
    <message>
        <source>Answer client command CMD (0x01, 0x02, 0x05, 0x07, 0x15, 0x18 or 0x33) with an error reply carrying HRESULT, e.g. 0x05:0xC00D001A. May be repeated.</source>
        <translation>以带有 HRESULT 的错误回复回答客户端命令 CMD (0x01, 0x02, 0x05, 0x07, 0x15, 0x18 或 0x33), 例如 0x05:0xC00D001A. 可重复给出.</translation>
    </message>
    <message>
        <source>Close the connection after N data packets.</source>
        <translation>发送 N 个数据包后关闭连接.</translation>
    </message>
    <message>
        <source>Close the connection right after 0x1E.</source>
        <translation>发送 0x1E 后立即关闭连接.</translation>
    </message>
    <message>
        <source>Ignore resend requests: a dropped UDP datagram stays lost.</source>
        <translation>忽略重发请求: 丢弃的 UDP 数据报不再补发.</translation>
    </message>
    <message>
        <source>Write everything on TCP one byte at a time.</source>
        <translation>TCP 上的所有数据每次只写一个字节.</translation>
    </message>
    <message>
        <source>Drop every Kth UDP datagram (resends excepted).</source>
        <translation>每 K 个 UDP 数据报丢弃一个 (重发的除外).</translation>
    </message>
    <message>
        <source>Serve a made-up audio+video ASF stream of about BYTES bytes in packets of PACKETSIZE (512-65527) bytes when a client opens NAME. May be repeated.</source>
        <translation>客户端打开 NAME 时, 提供一个约 BYTES 字节的合成音视频 ASF 流, 数据包大小为 PACKETSIZE (512-65527) 字节. 可重复给出.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>显示本帮助并退出.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>显示版本并退出.</translation>
    </message>
    <message>
        <source>Serve every file as a live broadcast: live attributes, packet count 0, the file looped with location numbers from 1000000 and times shifted by 36000 s. Paced in real time unless --pace says otherwise. An HTTP client joins the broadcast where it is on the air, not at its first packet.</source>
        <translation>把每个文件作为实况广播提供: 实况属性, 数据包数为 0, 文件循环播放, 位置编号从 1000000 开始, 时间推后 36000 秒。除非 --pace 另有指定, 按实时速度发送。HTTP 客户端从广播当前播出的位置加入, 而不是从第一个数据包开始。</translation>
    </message>
    <message>
        <source>Require a BASIC login: OpenFile gets a 0x1A challenge; a right answer opens the file, a wrong one gets 0x06 with hr 0x80070005 (access denied). Over HTTP a request without the right &apos;Authorization: Basic&apos; header gets 401 with &apos;WWW-Authenticate: Basic&apos;.</source>
        <translation>要求 BASIC 登录: OpenFile 收到 0x1A 质询; 正确的回答打开文件, 错误的回答收到带 hr 0x80070005 (拒绝访问) 的 0x06。通过 HTTP 时, 没有正确 &apos;Authorization: Basic&apos; 头的请求收到带 &apos;WWW-Authenticate: Basic&apos; 的 401。</translation>
    </message>
    <message>
        <source>After N data packets send one media packet of an unknown kind (byte 4 = 0x09); over HTTP, a chunk whose framing does not start with &apos;$&apos;.</source>
        <translation>发送 N 个数据包后发送一个未知类型的媒体包 (第 4 字节 = 0x09); 通过 HTTP 时, 发送一个分帧不以 &apos;$&apos; 开头的块。</translation>
    </message>
    <message>
        <source>Send data packets (and $D chunks) without their trailing zero bytes, as servers do with packet padding; the client pads them back.</source>
        <translation>发送数据包 (和 $D 块) 时去掉末尾的零字节, 如同服务器对数据包填充所做的那样; 客户端会把它们补回来。</translation>
    </message>
    <message>
        <source>Refuse binary MMS: close such a connection at once, before any reply, as newer servers do. MMS over HTTP is served as ever.</source>
        <translation>拒绝二进制 MMS: 在任何回答之前立即关闭这样的连接, 如同较新的服务器那样。通过 HTTP 的 MMS 照常提供。</translation>
    </message>
    <message>
        <source>Answer every MMS-over-HTTP request with HTTP status CODE (300-599) and its reason phrase.</source>
        <translation>对每个通过 HTTP 的 MMS 请求回答 HTTP 状态 CODE (300-599) 及其原因短语。</translation>
    </message>
    <message>
        <source>Answer an HTTP request for path FROM with 302 and &apos;Location: TO&apos;. May be repeated.</source>
        <translation>对路径 FROM 的 HTTP 请求回答 302 和 &apos;Location: TO&apos;。可以重复给出。</translation>
    </message>
    <message>
        <source>Send the header over HTTP in $H chunks of at most BYTES bytes (default: one chunk, up to 65527 bytes each).</source>
        <translation>通过 HTTP 发送文件头时使用每块最多 BYTES 字节的 $H 块 (默认: 一块, 每块最多 65527 字节)。</translation>
    </message>
    <message>
        <source>Over HTTP, after N data packets end the entry ($E reason 1), send $C and start the next one: its header again and its packets from LocationId 0. The next entry is the same stream unless --stream-change-header names another.</source>
        <translation>通过 HTTP 时, 发送 N 个数据包后结束当前条目 ($E 原因 1), 发送 $C 并开始下一个条目: 再次发送文件头, 数据包的 LocationId 从 0 开始。除非 --stream-change-header 指定了另一个, 下一个条目是同一个流。</translation>
    </message>
    <message>
        <source>The entry after the stream change is the ASF file FILE: its header (other streams or another packet size) and its packets.</source>
        <translation>流改变后的条目是 ASF 文件 FILE: 它的文件头 (其他流或其他数据包长度) 和它的数据包。</translation>
    </message>
    <message>
        <source>Over HTTP, send a $M metadata chunk before every Nth data packet.</source>
        <translation>通过 HTTP 时, 每第 N 个数据包之前发送一个 $M 元数据块。</translation>
    </message>
    <message>
        <source>expected NAME:BYTES:PACKETSIZE with PACKETSIZE %1-%2</source>
        <translation>应为 NAME:BYTES:PACKETSIZE, PACKETSIZE 在 %1-%2 之间</translation>
    </message>
    <message>
        <source>--stream-change-header needs --stream-change-after</source>
        <translation>--stream-change-header 需要同时给出 --stream-change-after</translation>
    </message>
    <message>
        <source>Serve a file with several video streams as one programme at several bit rates: its header gains a Bitrate Mutual Exclusion Object over the video streams, and a Stream Bitrate Properties Object of rates measured from the packets if it has none. The packets stay as they are.</source>
        <translation>把含有多个视频流的文件作为同一节目的多种码率来提供: 文件头加入一个涵盖各视频流的 Bitrate Mutual Exclusion Object; 若没有 Stream Bitrate Properties Object, 再加入一个, 其中的码率由数据包测得。数据包保持原样。</translation>
    </message>
    <message>
        <source>A test and demo MMS server: serves ASF files and synthetic streams over MMS (TCP or UDP data)
and over HTTP (MMSH) on the same port, with live broadcasts, pacing, pings, BASIC login,
stream selection (the payloads of streams a client drops are left out of each packet) and
fault injection. Faults and pacing apply to both protocols where they fit.</source>
        <translation>用于测试和演示的 MMS 服务器: 在同一个端口上通过 MMS (TCP 或 UDP 数据) 和 HTTP (MMSH)
提供 ASF 文件和合成流, 支持实况广播、节奏控制、ping、BASIC 登录、
流选择 (客户端不要的流, 其有效载荷会从每个数据包中去掉) 和故障注入。
故障和节奏控制在适用时对两种协议都有效。</translation>
    </message>
</context>
</TS>
