<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>LumoCli</name>
    <message>
        <source>Usage: lumo-cli &lt;command&gt; [options]

Records Windows-Media streams (mms://, mmst://, mmsu://, mmsh://, http://) to ASF files.

Commands:
  get URL     record a stream to a file
  info FILE   show what the file-properties window shows for an ASF file
  scan SOURCE list the MMS addresses of a redirect file or web page (a file or an http(s) URL)

Run &quot;lumo-cli &lt;command&gt; --help&quot; for the options of a command.
</source>
        <translation>用法: lumo-cli &lt;命令&gt; [选项]

把 Windows 媒体流 (mms://, mmst://, mmsu://, mmsh://, http://) 录制为 ASF 文件.

命令:
  get URL     把一个流录制到文件
  info FILE   显示一个 ASF 文件的属性 (与属性窗口所示相同)
  scan SOURCE 列出重定向文件或网页中的 MMS 地址 (本地文件或 http(s) 地址)

运行 &quot;lumo-cli &lt;命令&gt; --help&quot; 查看一个命令的选项.
</translation>
    </message>
    <message>
        <source>Shows the clip, details, codecs and bit rates of an ASF file.</source>
        <translation>显示一个 ASF 文件的剪辑, 详细资料, 解码器和速率.</translation>
    </message>
    <message>
        <source>an ASF file (.asf, .wmv, .wma)</source>
        <translation>一个 ASF 文件 (.asf, .wmv, .wma)</translation>
    </message>
    <message>
        <source>Lists the MMS addresses found in a redirect file (.asx, .wax, .wvx, .wmx) or a web page, one per line. Exit status 0 when at least one was found.</source>
        <translation>列出重定向文件 (.asx, .wax, .wvx, .wmx) 或网页中的 MMS 地址, 每行一个. 至少找到一个时退出状态为 0.</translation>
    </message>
    <message>
        <source>a local file or an http(s):// address</source>
        <translation>本地文件或 http(s):// 地址</translation>
    </message>
    <message>
        <source>Also save the fetched file as FILE (http sources).</source>
        <translation>同时把取得的文件保存为 FILE (http 来源).</translation>
    </message>
    <message>
        <source>User name for a web site that asks for a login.</source>
        <translation>网站要求登录时使用的用户名.</translation>
    </message>
    <message>
        <source>Password for that login.</source>
        <translation>登录使用的密码.</translation>
    </message>
    <message>
        <source>lumo-cli: %1: no such file, and not an http address
</source>
        <translation>lumo-cli: %1: 没有这个文件, 也不是 http 地址
</translation>
    </message>
    <message>
        <source>Save to FILE (a folder takes the proposed name).</source>
        <translation>保存到 FILE (给出文件夹时使用建议的文件名).</translation>
    </message>
    <message>
        <source>Continue a file that already holds data.</source>
        <translation>续传已包含数据的文件.</translation>
    </message>
    <message>
        <source>Replace a file that already holds data.</source>
        <translation>覆盖已包含数据的文件.</translation>
    </message>
    <message>
        <source>Receive the media packets over UDP.</source>
        <translation>通过 UDP 接收媒体数据包.</translation>
    </message>
    <message>
        <source>TCP port of the media server (default: settings, 1755).</source>
        <translation>媒体服务器的 TCP 端口 (默认: 设置中的值, 1755).</translation>
    </message>
    <message>
        <source>Local UDP port for --udp (default: settings, 7000; 0 any).</source>
        <translation>--udp 使用的本地 UDP 端口 (默认: 设置中的值, 7000; 0 为任意).</translation>
    </message>
    <message>
        <source>Use the host as a numeric address, without a name lookup.</source>
        <translation>把主机当作数字地址, 不解析 DNS.</translation>
    </message>
    <message>
        <source>Send the host name in the first command (for proxies).</source>
        <translation>在第一个命令中发送主机名 (由代理服务器使用).</translation>
    </message>
    <message>
        <source>Save the task log to FILE when the task ends.</source>
        <translation>任务结束时把任务记录保存到 FILE.</translation>
    </message>
    <message>
        <source>Stop the recording after SECONDS.</source>
        <translation>录制 SECONDS 秒后停止.</translation>
    </message>
    <message>
        <source>User name for a media server that asks for a login.</source>
        <translation>媒体服务器要求登录时使用的用户名.</translation>
    </message>
    <message>
        <source>Do not print the task log.</source>
        <translation>不显示任务记录.</translation>
    </message>
    <message>
        <source>lumo-cli: --resume and --overwrite exclude each other
</source>
        <translation>lumo-cli: --resume 和 --overwrite 不能同时使用
</translation>
    </message>
    <message>
        <source>lumo-cli: --for needs a whole number of seconds above 0
</source>
        <translation>lumo-cli: --for 需要一个大于 0 的整数秒数
</translation>
    </message>
    <message>
        <source>lumo-cli: cannot use UDP port %1: %2
</source>
        <translation>lumo-cli: 无法使用 UDP 端口 %1: %2
</translation>
    </message>
    <message>
        <source>lumo-cli: the download was interrupted; the same command with --resume continues it
</source>
        <translation>lumo-cli: 下载被中断; 加上 --resume 再次运行同一命令即可续传
</translation>
    </message>
    <message>
        <source>lumo-cli: unknown command &quot;%1&quot;

</source>
        <translation>lumo-cli: 未知的命令 &quot;%1&quot;

</translation>
    </message>
    <message>
        <source>Print one JSON object per line for each event (started, progress, ended) on standard output, in place of the summary.</source>
        <translation>在标准输出上为每个事件 (started, progress, ended) 每行打印一个 JSON 对象, 代替摘要行。</translation>
    </message>
    <message>
        <source>Records the stream at URL into an ASF file. Ctrl-C stops the recording as the Stop button does: a stored programme keeps a resume record, a live one gets its header repaired.
</source>
        <translation>把 URL 处的流录制到 ASF 文件中。Ctrl-C 像中断按钮一样停止录制: 点播节目保留续传记录, 实况节目的文件头会被修复。
</translation>
    </message>
    <message>
        <source>When the task ends, one summary line goes to standard output:
  completed: /home/me/clip.asf, 54 packets, 210.5 kB in 3 s
The first word is completed, stopped, interrupted, refused or failed; all but completed
add the reason. The task log and, on a terminal, the progress line go to standard error.
--json prints only JSON objects on standard output, one per line: started, progress
each second, and ended with status, path, packets, bytes and reason.
Exit status: 0 completed, or stopped as asked (Ctrl-C, SIGTERM, --for); 1 failed;
2 bad command line; 3 a stored download was interrupted (--resume continues it);
4 refused by the server (an error reply, a login refused or missing).</source>
        <translation>任务结束时, 标准输出上打印一行摘要:
  completed: /home/me/clip.asf, 54 个数据包, 210.5 kB, 用时 3 秒
第一个词是 completed, stopped, interrupted, refused 或 failed; 除 completed 外都附上原因。
任务日志以及 (在终端上) 进度行输出到标准错误。
--json 在标准输出上只打印 JSON 对象, 每行一个: started, 每秒一次的 progress,
以及带有 status, path, packets, bytes 和 reason 的 ended。
退出状态: 0 已完成, 或按要求停止 (Ctrl-C, SIGTERM, --for); 1 失败;
2 命令行错误; 3 点播下载被中断 (--resume 可以继续);
4 被服务器拒绝 (错误回答, 登录被拒绝或缺少登录)。</translation>
    </message>
    <message>
        <source>%1, %2 packets, %3 in %4 s</source>
        <translation>%1, %2 个数据包, %3, 用时 %4 秒</translation>
    </message>
    <message>
        <source>Save every recording in DIR, under the name the address proposes, made unique.</source>
        <translation>把每个录制保存在 DIR 中, 使用地址给出的文件名, 重名时自动改名。</translation>
    </message>
    <message>
        <source>Record at most N addresses at the same time (default 4).</source>
        <translation>同时最多录制 N 个地址 (默认 4)。</translation>
    </message>
    <message>
        <source>Also record the addresses SOURCE lists: a redirect file, a web page or a text file with one address per line.</source>
        <translation>同时录制 SOURCE 列出的地址: 重定向文件, 网页, 或每行一个地址的文本文件。</translation>
    </message>
    <message>
        <source>lumo-cli: -o names one file; use -d DIR for several addresses
</source>
        <translation>lumo-cli: -o 只能指定一个文件; 多个地址请使用 -d DIR
</translation>
    </message>
    <message>
        <source>lumo-cli: --jobs needs a whole number above 0
</source>
        <translation>lumo-cli: --jobs 需要一个大于 0 的整数
</translation>
    </message>
    <message>
        <source>lumo-cli: cannot make the folder %1
</source>
        <translation>lumo-cli: 无法创建文件夹 %1
</translation>
    </message>
    <message>
        <source>lumo-cli: %1: no addresses found
</source>
        <translation>lumo-cli: %1: 没有找到地址
</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>等待中</translation>
    </message>
    <message>
        <source>live</source>
        <translation>实况</translation>
    </message>
    <message>
        <source>Which streams to record: auto, all, best, or stream numbers such as 3,4 (default: settings, auto: the best of each group of alternatives when the programme has any, else all).</source>
        <translation>录制哪些流: auto, all, best, 或流的编号, 如 3,4 (默认: 设置, auto: 节目有互斥的流时录制每组中最佳的, 否则全部).</translation>
    </message>
    <message>
        <source>Record the best streams whose rates add up to at most N bit/s (a k suffix: kbit/s).</source>
        <translation>录制总速率不超过 N bit/s 的最佳的流 (后缀 k: kbit/s).</translation>
    </message>
    <message>
        <source>lumo-cli: --streams and --max-bitrate exclude each other
</source>
        <translation>lumo-cli: --streams 和 --max-bitrate 不能同时使用
</translation>
    </message>
    <message>
        <source>lumo-cli: --streams takes auto, all, best or stream numbers (1-127) such as 3,4, not &quot;%1&quot;
</source>
        <translation>lumo-cli: --streams 的值应为 auto, all, best 或流的编号 (1-127), 如 3,4, 而不是 &quot;%1&quot;
</translation>
    </message>
    <message>
        <source>lumo-cli: --max-bitrate takes a rate in bit/s above 0, such as 400000 or 400k, not &quot;%1&quot;
</source>
        <translation>lumo-cli: --max-bitrate 的值应为大于 0 的速率 (bit/s), 如 400000 或 400k, 而不是 &quot;%1&quot;
</translation>
    </message>
</context>
<context>
    <name>LumoMain</name>
    <message>
        <source>Records Windows-Media streams to ASF files.</source>
        <translation>把 Windows 媒体流录制为 ASF 文件.</translation>
    </message>
    <message>
        <source>an mms://, mmst://, mmsu://, mmsh:// or http:// address, a redirect file (.asx .wax .wvx .wmx) or an ASF file (.asf .wmv .wma); several addresses go into the download list</source>
        <translation>mms://, mmst://, mmsu://, mmsh:// 或 http:// 地址, 重定向文件 (.asx .wax .wvx .wmx) 或 ASF 文件 (.asf .wmv .wma); 多个地址会加入下载列表</translation>
    </message>
    <message>
        <source>Start recording the address (or each address) at once.</source>
        <translation>立即开始录制这个地址 (或每个地址).</translation>
    </message>
</context>
<context>
    <name>TerminalInteraction</name>
    <message>
        <source> [y/N]</source>
        <translation> [y/N]</translation>
    </message>
    <message>
        <source>lumo: %1 already holds data; use --resume or --overwrite</source>
        <translation>lumo: %1 已包含数据; 请使用 --resume 或 --overwrite</translation>
    </message>
    <message>
        <source>%1 already holds data: [r]esume, [o]verwrite or [c]ancel?</source>
        <translation>%1 已包含数据: 续传 [r], 覆盖 [o] 还是取消 [c]?</translation>
    </message>
    <message>
        <source>lumo: %1 %2 asks for a login; use --user and --password</source>
        <translation>lumo: %1 %2 要求登录; 请使用 --user 和 --password</translation>
    </message>
    <message>
        <source>%1 %2 asks for a login%3</source>
        <translation>%1 %2 要求登录%3</translation>
    </message>
    <message>
        <source>user [%1]: </source>
        <translation>用户名 [%1]: </translation>
    </message>
    <message>
        <source>password: </source>
        <translation>密码: </translation>
    </message>
    <message>
        <source>media server</source>
        <translation>媒体服务器</translation>
    </message>
    <message>
        <source>web site</source>
        <translation>网站</translation>
    </message>
    <message>
        <source>live</source>
        <translation>实况</translation>
    </message>
    <message>
        <source>  %1 / %2  %3 KiB/s  packet %4</source>
        <translation>  %1 / %2  %3 KiB/s  数据包 %4</translation>
    </message>
</context>
</TS>
