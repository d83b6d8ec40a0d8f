<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AboutWindow</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Lumo</source>
        <translation>Lumo</translation>
    </message>
    <message>
        <source>Multimedia</source>
        <translation>Multimedia</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>Address</name>
    <message>
        <source>没有给出 URL
使用 文件 -&gt; 打开 命令来输入一个媒体文件地址</source>
        <translation>No address given.
Use File -&gt; Open to enter the address of a media file.</translation>
    </message>
    <message>
        <source>你只能够直接在 URL 窗口中输入 MMS:// 开头的地址                
请使用 文件 -&gt; 打开 命令</source>
        <translation>Only addresses starting with MMS:// can be typed into the address box.
Please use File -&gt; Open.</translation>
    </message>
    <message>
        <source>请检查你输入的 URL 地址, 非法的 IP/主机</source>
        <translation>Please check the address: the IP address or host name is not valid.</translation>
    </message>
    <message>
        <source>请检查你输入的 URL 地址, 非法的文件名或路径</source>
        <translation>Please check the address: the file name or path is not valid.</translation>
    </message>
</context>
<context>
    <name>CommandExchange</name>
    <message>
        <source>数据超出范围 - 4字节到长函数: %1 : %2</source>
        <translation>Data out of range - 4-byte read at %1 of %2</translation>
    </message>
    <message>
        <source>错误: 协议连接传输失败</source>
        <translation>Error: the protocol link failed</translation>
    </message>
    <message>
        <source>错误 - 实况流信息已被删除!   
实况流的下载不能够使用续传命令 
请再试一次</source>
        <translation>Error - the live stream was dropped!
A live broadcast cannot be resumed.
Please try again.</translation>
    </message>
    <message>
        <source>正请求 ASF 文件头信息... 请稍等</source>
        <translation>Requesting the ASF header... please wait</translation>
    </message>
    <message>
        <source>接收文件头信息...</source>
        <translation>Receiving the header...</translation>
    </message>
    <message>
        <source>TCP 网络计时信息包已收到</source>
        <translation>TCP timing packet received</translation>
    </message>
    <message>
        <source>当前的 MMS 命令是未知的</source>
        <translation>Unknown MMS command</translation>
    </message>
    <message>
        <source>MMS 错误 - 06 流媒体类型旗标没有处理</source>
        <translation>MMS error - stream type flag of command 06 not handled</translation>
    </message>
    <message>
        <source>任务终止, 连接已关闭</source>
        <translation>Task ended, the connection is closed</translation>
    </message>
</context>
<context>
    <name>DownloadController</name>
    <message>
        <source>  日期: </source>
        <translation>  Date: </translation>
    </message>
    <message>
        <source>错误 - UDP 缓冲区对于数据包来说太小</source>
        <translation>Error - the UDP buffer is too small for the packets</translation>
    </message>
    <message>
        <source>Lumo 激活中</source>
        <translation>Lumo - Active</translation>
    </message>
    <message>
        <source>------- 记录开始 -------</source>
        <translation>------- Log start -------</translation>
    </message>
    <message>
        <source>打开 :	</source>
        <translation>Open :	</translation>
    </message>
    <message>
        <source>保存 :	</source>
        <translation>Save :	</translation>
    </message>
    <message>
        <source>地址 :	</source>
        <translation>Address :	</translation>
    </message>
    <message>
        <source>你确定要终止这个任务吗?</source>
        <translation>Do you really want to stop this task?</translation>
    </message>
    <message>
        <source>连接已经关闭, 没有收到任何媒体数据, 没有保存文件</source>
        <translation>The connection is closed. No media data was received, so no file was saved.</translation>
    </message>
    <message>
        <source>连接已经关闭, 你所下载的媒体文件已经被保存</source>
        <translation>The connection is closed. What you downloaded has been saved.</translation>
    </message>
    <message>
        <source>Lumo 网络连接失败</source>
        <translation>Lumo: network connection failed</translation>
    </message>
    <message>
        <source>发生了一个异常错误
</source>
        <translation>An unexpected error occurred
</translation>
    </message>
    <message>
        <source>没有解析 DNS, 尝试直接连接</source>
        <translation>No DNS lookup, connecting directly</translation>
    </message>
    <message>
        <source>解析 DNS 服务器...</source>
        <translation>Looking up the host name...</translation>
    </message>
    <message>
        <source>正在连接流媒体服务器... 请等待</source>
        <translation>Connecting to the streaming server... please wait</translation>
    </message>
    <message>
        <source>连接时间: 	</source>
        <translation>Connected at: 	</translation>
    </message>
    <message>
        <source>服务器地址 	</source>
        <translation>Server address 	</translation>
    </message>
    <message>
        <source>服务器端口 	</source>
        <translation>Server port 	</translation>
    </message>
    <message>
        <source>本地地址 	</source>
        <translation>Local address 	</translation>
    </message>
    <message>
        <source>本地 TCP 端口 	</source>
        <translation>Local TCP port 	</translation>
    </message>
    <message>
        <source>本地 UDP 端口 	</source>
        <translation>Local UDP port 	</translation>
    </message>
    <message>
        <source>正在初始化 MMS 协议, 等待响应...</source>
        <translation>Starting the MMS protocol, waiting for a reply...</translation>
    </message>
    <message>
        <source>连接关闭: </source>
        <translation>Connection closed: </translation>
    </message>
    <message>
        <source>服务器关闭了连接</source>
        <translation>the server closed the connection</translation>
    </message>
    <message>
        <source>- 媒体已经结束, 但有 %1 个 UDP 数据包没有收到</source>
        <translation>- End of media, but %1 UDP packets never arrived</translation>
    </message>
    <message>
        <source>有 %1 个数据包没有收到</source>
        <translation>%1 packets never arrived</translation>
    </message>
    <message>
        <source>- 下载被中断: %1</source>
        <translation>- Download interrupted: %1</translation>
    </message>
    <message>
        <source>Lumo - 下载中断 -</source>
        <translation>Lumo - Interrupted -</translation>
    </message>
    <message>
        <source>-- TCP Socket 超时, 任务终止 --</source>
        <translation>-- TCP socket timed out, task ended --</translation>
    </message>
    <message>
        <source>服务器没有回应, 任务终止</source>
        <translation>The server does not answer; the task has ended.</translation>
    </message>
    <message>
        <source>- 为实况节目修复 ASF 文件头</source>
        <translation>- ASF header repaired for the live broadcast</translation>
    </message>
    <message>
        <source>- 无法修复实况 ASF 文件头, 文件错误</source>
        <translation>- Could not repair the live ASF header, file error</translation>
    </message>
    <message>
        <source>- ASF 续传/结束数据已写入</source>
        <translation>- ASF resume/end record written</translation>
    </message>
    <message>
        <source>- 写入 ASF 续传/结束数据时发生错误</source>
        <translation>- Error writing the ASF resume/end record</translation>
    </message>
    <message>
        <source>- 没有收到任何数据, 已删除空的保存文件</source>
        <translation>- No data received, the empty save file was deleted</translation>
    </message>
    <message>
        <source>- ASF 写入结束</source>
        <translation>- ASF file finished</translation>
    </message>
    <message>
        <source>- 结束 ASF 文件时发生错误</source>
        <translation>- Error finishing the ASF file</translation>
    </message>
    <message>
        <source>- ** 下载已经完成 **</source>
        <translation>- ** Download complete **</translation>
    </message>
    <message>
        <source>------- 记录关闭 -------</source>
        <translation>------- Log end -------</translation>
    </message>
    <message>
        <source>Lumo 已完成</source>
        <translation>Lumo - Done</translation>
    </message>
    <message>
        <source>下载已完成, 媒体文件已经写入本地磁盘</source>
        <translation>Download complete. The media file has been written to disk.</translation>
    </message>
    <message>
        <source>- 正在接收流信息 -</source>
        <translation>- Receiving the stream -</translation>
    </message>
    <message>
        <source>信息 -</source>
        <translation>data -</translation>
    </message>
    <message>
        <source>Lumo - 实况 -</source>
        <translation>Lumo - Live -</translation>
    </message>
    <message>
        <source>进度 %1%</source>
        <translation>Progress %1%</translation>
    </message>
    <message>
        <source>使用 HTTP 协议 (端口 %1)</source>
        <translation>Using HTTP (port %1)</translation>
    </message>
    <message>
        <source>- %1, 改用 HTTP 协议</source>
        <translation>- %1; trying HTTP instead</translation>
    </message>
    <message>
        <source>-- 无法改用 HTTP 协议, 任务终止 --</source>
        <translation>-- Could not switch to HTTP, task ended --</translation>
    </message>
    <message>
        <source>服务器的回答不是 MMS 协议</source>
        <translation>The server did not answer in MMS</translation>
    </message>
    <message>
        <source>MMS 连接被拒绝</source>
        <translation>The MMS connection was refused</translation>
    </message>
    <message>
        <source>服务器关闭了 MMS 连接</source>
        <translation>The server closed the MMS connection</translation>
    </message>
    <message>
        <source>另一个任务正在从同一服务器接收 UDP 数据, 这个任务使用自己的端口 %1</source>
        <translation>Another task receives UDP data from the same server; this task uses a port of its own, %1</translation>
    </message>
</context>
<context>
    <name>DownloadList</name>
    <message>
        <source>等待</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>正在连接</source>
        <translation>Connecting</translation>
    </message>
    <message>
        <source>正在录制</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>已完成</source>
        <translation>Completed</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>已中断</source>
        <translation>Interrupted</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>保存文件</source>
        <translation>Save file</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>这个地址已经在列表中: %1</source>
        <translation>This address is already in the list: %1</translation>
    </message>
</context>
<context>
    <name>DownloadListWindow</name>
    <message>
        <source>下载列表</source>
        <translation>Download list</translation>
    </message>
    <message>
        <source>地址(&amp;U):</source>
        <translation>Addr&amp;ess:</translation>
    </message>
    <message>
        <source>输入一个 MMS 地址, 按回车或“添加”加入列表</source>
        <translation>Type an MMS address and press Enter or “Add” to put it in the list</translation>
    </message>
    <message>
        <source>mms://</source>
        <translation>mms://</translation>
    </message>
    <message>
        <source>添加(&amp;D)</source>
        <translation>A&amp;dd</translation>
    </message>
    <message>
        <source>添加地址框的地址(&amp;B)</source>
        <translation>Add the address &amp;box’s addresses</translation>
    </message>
    <message>
        <source>把主窗口地址框中的全部地址加入列表, 例如打开的重定向文件所列的地址</source>
        <translation>Puts every address of the main window’s address box in the list, such as those an opened redirect file lists</translation>
    </message>
    <message>
        <source>保存到(&amp;F):</source>
        <translation>Save to &amp;folder:</translation>
    </message>
    <message>
        <source>新加入的地址保存到这个文件夹, 文件名由地址得出, 重名时加上编号</source>
        <translation>Addresses added from now on save into this folder, under a name taken from the address, numbered when the name is taken</translation>
    </message>
    <message>
        <source>浏览(&amp;W)...</source>
        <translation>Bro&amp;wse...</translation>
    </message>
    <message>
        <source>开始(&amp;S)</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>开始选中的任务; 中断的下载从断点续传</source>
        <translation>Starts the selected tasks; an interrupted download resumes where it stopped</translation>
    </message>
    <message>
        <source>停止(&amp;T)</source>
        <translation>S&amp;top</translation>
    </message>
    <message>
        <source>停止选中的任务, 其他任务照常进行</source>
        <translation>Stops the selected tasks; the others go on</translation>
    </message>
    <message>
        <source>全部开始(&amp;A)</source>
        <translation>Start &amp;all</translation>
    </message>
    <message>
        <source>开始所有未完成且未在进行的任务</source>
        <translation>Starts every task that is neither running nor completed</translation>
    </message>
    <message>
        <source>全部停止(&amp;P)</source>
        <translation>Sto&amp;p all</translation>
    </message>
    <message>
        <source>移除(&amp;R)</source>
        <translation>&amp;Remove</translation>
    </message>
    <message>
        <source>从列表中移除选中的已结束任务 (保存的文件不会被删除)</source>
        <translation>Removes the selected tasks that have ended from the list (their files stay)</translation>
    </message>
    <message>
        <source>选中任务的记录:</source>
        <translation>Log of the selected task:</translation>
    </message>
</context>
<context>
    <name>FileFilters</name>
    <message>
        <source>Windows 媒体文件 (*.asf *.wmv *.wma *.wm);;WM 重定向文件 (*.asx *.wmx *.wax *.wvx);;Lumo 记录文件 (*.log);;所有文件 (*)</source>
        <translation>Windows Media files (*.asf *.wmv *.wma *.wm);;WM redirect files (*.asx *.wmx *.wax *.wvx);;Lumo log files (*.log);;All files (*)</translation>
    </message>
    <message>
        <source>所有 WM 和 Lumo 记录文件 (*.asf *.wmv *.wma *.wa *.asx *.wmx *.wax *.wvx *.log);;WM 媒体文件 (*.asf *.wmv *.wma *.wa);;WM 重定向文件 (*.asx *.wmx *.wax *.wvx);;Lumo 记录文件 (*.log);;所有文件 (*)</source>
        <translation>All WM and Lumo log files (*.asf *.wmv *.wma *.wa *.asx *.wmx *.wax *.wvx *.log);;WM media files (*.asf *.wmv *.wma *.wa);;WM redirect files (*.asx *.wmx *.wax *.wvx);;Lumo log files (*.log);;All files (*)</translation>
    </message>
</context>
<context>
    <name>Finishing</name>
    <message>
        <source>ASF 文件头修复错误 - 没有文件目标</source>
        <translation>ASF header repair error - no File Properties object</translation>
    </message>
    <message>
        <source>ASF 文件头修复错误 - 没有数据目标</source>
        <translation>ASF header repair error - no Data object</translation>
    </message>
</context>
<context>
    <name>HeaderAnalysis</name>
    <message>
        <source>单一速率</source>
        <translation>Single bit rate</translation>
    </message>
    <message>
        <source>可用总数 = %1</source>
        <translation>Available = %1</translation>
    </message>
    <message>
        <source>流媒体 ID  :%1%2</source>
        <translation>Stream ID  :%1%2</translation>
    </message>
    <message>
        <source>  音频</source>
        <translation>  audio</translation>
    </message>
    <message>
        <source>  视频</source>
        <translation>  video</translation>
    </message>
    <message>
        <source>流媒体速率:%1</source>
        <translation>Stream bit rate:%1</translation>
    </message>
    <message>
        <source>没有可用信息</source>
        <translation>No information available</translation>
    </message>
    <message>
        <source>无可用信息</source>
        <translation>No information available</translation>
    </message>
    <message>
        <source>编码器: </source>
        <translation>Encoder: </translation>
    </message>
    <message>
        <source>版本: </source>
        <translation>Version: </translation>
    </message>
    <message>
        <source>注释: </source>
        <translation>Comment: </translation>
    </message>
    <message>
        <source>其它  : </source>
        <translation>Other  : </translation>
    </message>
    <message>
        <source>太多的解码器被显示</source>
        <translation>Too many codecs to show</translation>
    </message>
    <message>
        <source>---------- 音频 ----------</source>
        <translation>---------- Audio ----------</translation>
    </message>
    <message>
        <source>音频 : </source>
        <translation>Audio : </translation>
    </message>
    <message>
        <source>速率  : </source>
        <translation>Rate  : </translation>
    </message>
    <message>
        <source>---------- 视频 ----------</source>
        <translation>---------- Video ----------</translation>
    </message>
    <message>
        <source>视频 : </source>
        <translation>Video : </translation>
    </message>
    <message>
        <source>ASF 错误 - 没有找到任何目标数据块</source>
        <translation>ASF error - no header objects found</translation>
    </message>
    <message>
        <source>ASF 错误 - 没有找到任何目标数据</source>
        <translation>ASF error - no Data object found</translation>
    </message>
    <message>
        <source>ASF 错误 - 流媒体 ID 显示没有可用的流信息</source>
        <translation>ASF error - the stream IDs name no usable stream</translation>
    </message>
    <message>
        <source>ASF 错误 - 找不到文件目标</source>
        <translation>ASF error - no File Properties object found</translation>
    </message>
    <message>
        <source>[视频] </source>
        <translation>[Video] </translation>
    </message>
    <message>
        <source>[音频] </source>
        <translation>[Audio] </translation>
    </message>
    <message>
        <source>音频隐藏开启</source>
        <translation>audio concealment on</translation>
    </message>
    <message>
        <source>实况</source>
        <translation>Live</translation>
    </message>
    <message>
        <source>不可用</source>
        <translation>Not available</translation>
    </message>
    <message>
        <source>%1 KB,  (当下载完成后的总大小)</source>
        <translation>%1 KB,  (total size once downloaded)</translation>
    </message>
    <message>
        <source>  (ASF 文件时间)</source>
        <translation>  (ASF file time)</translation>
    </message>
    <message>
        <source>FILETIME 值错误</source>
        <translation>Bad FILETIME value</translation>
    </message>
    <message>
        <source>无法打开文件来展开</source>
        <translation>Cannot open the file to read its header</translation>
    </message>
    <message>
        <source>ASF 文件头没有包含数据</source>
        <translation>The ASF header holds no data</translation>
    </message>
    <message>
        <source>无法打开文件获取时间/日期信息</source>
        <translation>Cannot open the file to read its date and time</translation>
    </message>
    <message>
        <source>  (文件最后写入时间)</source>
        <translation>  (file last written)</translation>
    </message>
    <message>
        <source>无法访问到文件时间</source>
        <translation>Cannot read the file time</translation>
    </message>
</context>
<context>
    <name>HttpStreamSession</name>
    <message>
        <source>HTTP: 请求媒体流 (Play)...</source>
        <translation>HTTP: asking for the stream (Play)...</translation>
    </message>
    <message>
        <source>HTTP: 请求文件头信息 (Describe)...</source>
        <translation>HTTP: asking for the header (Describe)...</translation>
    </message>
    <message>
        <source>- HTTP 回答的头部过长</source>
        <translation>- The HTTP answer&apos;s head is too long</translation>
    </message>
    <message>
        <source>服务器的回答无法识别, 任务终止</source>
        <translation>The server&apos;s answer could not be understood; task ended</translation>
    </message>
    <message>
        <source>- 服务器的回答不是 HTTP</source>
        <translation>- The server did not answer in HTTP</translation>
    </message>
    <message>
        <source>- 服务器回答 %1 %2, 任务终止</source>
        <translation>- The server answered %1 %2; task ended</translation>
    </message>
    <message>
        <source>服务器回答 HTTP %1 %2, 任务终止</source>
        <translation>The server answered HTTP %1 %2; task ended</translation>
    </message>
    <message>
        <source>- 服务器发送的不是媒体流 (%1)</source>
        <translation>- The server did not send a media stream (%1)</translation>
    </message>
    <message>
        <source>这个地址不是 Windows Media 媒体流 (服务器发送的是 %1)
网页和播放列表请使用 文件 -&gt; 打开 命令</source>
        <translation>This address is not a Windows Media stream (the server sent %1)
Open web pages and playlists with File -&gt; Open</translation>
    </message>
    <message>
        <source>HTTP: 实况广播</source>
        <translation>HTTP: live broadcast</translation>
    </message>
    <message>
        <source>HTTP: 点播节目</source>
        <translation>HTTP: stored programme</translation>
    </message>
    <message>
        <source>- 服务器要求的登录方式无法使用: %1</source>
        <translation>- The login the server asks for is not supported: %1</translation>
    </message>
    <message>
        <source>服务器要求登录, 但它的登录方式无法使用, 任务终止</source>
        <translation>The server asks for a login of a kind Lumo cannot give; task ended</translation>
    </message>
    <message>
        <source>- 登录 %1 次都被拒绝, 任务终止</source>
        <translation>- The login was refused %1 times; task ended</translation>
    </message>
    <message>
        <source>服务器拒绝了登录, 任务终止</source>
        <translation>The server refused the login; task ended</translation>
    </message>
    <message>
        <source>- 没有登录, 任务终止</source>
        <translation>- No login given; task ended</translation>
    </message>
    <message>
        <source>任务终止, 连接已关闭</source>
        <translation>Task ended, connection closed</translation>
    </message>
    <message>
        <source>- 重定向超过 %1 次, 任务终止</source>
        <translation>- More than %1 redirects; task ended</translation>
    </message>
    <message>
        <source>服务器重定向的次数太多, 任务终止</source>
        <translation>The server redirected too many times; task ended</translation>
    </message>
    <message>
        <source>- 无法跟随重定向: %1</source>
        <translation>- Cannot follow the redirect: %1</translation>
    </message>
    <message>
        <source>服务器重定向到一个无法使用的地址, 任务终止
%1</source>
        <translation>The server redirected to an address Lumo cannot use; task ended
%1</translation>
    </message>
    <message>
        <source>HTTP: 重定向到 %1</source>
        <translation>HTTP: redirected to %1</translation>
    </message>
</context>
<context>
    <name>LogPrinter</name>
    <message>
        <source>Lumo 多媒体任务记录</source>
        <translation>Lumo multimedia task log</translation>
    </message>
</context>
<context>
    <name>LogSaving</name>
    <message>
        <source>保存记录文件</source>
        <translation>Save log file</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Lumo</source>
        <translation>Lumo</translation>
    </message>
    <message>
        <source>网址内容:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>将 MMS:// 类型的网址拖放到这里, 使用“文件”-&gt;“打开”来操作其他的类型</source>
        <translation>Drop an MMS:// address here; use File -&gt; Open for anything else</translation>
    </message>
    <message>
        <source>打开位置:</source>
        <translation>Opened:</translation>
    </message>
    <message>
        <source>当前打开的媒体文件</source>
        <translation>The media file that is open</translation>
    </message>
    <message>
        <source>保存位置:</source>
        <translation>Saving to:</translation>
    </message>
    <message>
        <source>保存的文件目录和文件名</source>
        <translation>Folder and name of the save file</translation>
    </message>
    <message>
        <source>记录连接数据</source>
        <translation>Task log of the connection</translation>
    </message>
    <message>
        <source>已下载完成的百分比</source>
        <translation>Percentage downloaded</translation>
    </message>
    <message>
        <source>待机模式</source>
        <translation>Idle</translation>
    </message>
    <message>
        <source>正在下载实况内容</source>
        <translation>Recording live</translation>
    </message>
    <message>
        <source>正在下载影片</source>
        <translation>Downloading</translation>
    </message>
    <message>
        <source>已用时间</source>
        <translation>Elapsed</translation>
    </message>
    <message>
        <source>时间格式 时.分.秒</source>
        <translation>Time as hours.minutes.seconds</translation>
    </message>
    <message>
        <source>剩余时间</source>
        <translation>Remaining</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>设置(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>信息(&amp;I)</source>
        <translation>&amp;Info</translation>
    </message>
    <message>
        <source>预览(&amp;P)</source>
        <translation>&amp;Preview</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>打开(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>保存记录(&amp;S)</source>
        <translation>&amp;Save Log</translation>
    </message>
    <message>
        <source>打印记录(&amp;P)</source>
        <translation>&amp;Print Log</translation>
    </message>
    <message>
        <source>打印设置(&amp;R)...</source>
        <translation>P&amp;rint Setup...</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>查看设置(&amp;V)</source>
        <translation>&amp;View Settings</translation>
    </message>
    <message>
        <source>显示属性(&amp;S)</source>
        <translation>&amp;Show File Properties</translation>
    </message>
    <message>
        <source>打开预览播放器(&amp;O)</source>
        <translation>&amp;Open Preview Player</translation>
    </message>
    <message>
        <source>关于Lumo播放器(&amp;A)</source>
        <translation>&amp;About Lumo Player</translation>
    </message>
    <message>
        <source>关于(&amp;A)...</source>
        <translation>&amp;About...</translation>
    </message>
    <message>
        <source>更多帮助(&amp;M)</source>
        <translation>&amp;More Help</translation>
    </message>
    <message>
        <source>打开(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>Alt+O</source>
        <translation>Alt+O</translation>
    </message>
    <message>
        <source>打开一个新的媒体文件</source>
        <translation>Open a new media file</translation>
    </message>
    <message>
        <source>开始(&amp;G)</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>Alt+G</source>
        <translation>Alt+G</translation>
    </message>
    <message>
        <source>开始连接到流服务器</source>
        <translation>Connect to the streaming server and start</translation>
    </message>
    <message>
        <source>中断(&amp;A)</source>
        <translation>S&amp;top</translation>
    </message>
    <message>
        <source>Alt+A</source>
        <translation>Alt+A</translation>
    </message>
    <message>
        <source>断开并关闭媒体文件</source>
        <translation>Disconnect and close the media file</translation>
    </message>
    <message>
        <source>显示文件和网络属性</source>
        <translation>Show file and network properties</translation>
    </message>
    <message>
        <source>打开预览播放器</source>
        <translation>Open the preview player</translation>
    </message>
    <message>
        <source>显示系统选项</source>
        <translation>Show the settings</translation>
    </message>
    <message>
        <source>退出(&amp;E)</source>
        <translation>&amp;Exit</translation>
    </message>
    <message>
        <source>Alt+E</source>
        <translation>Alt+E</translation>
    </message>
    <message>
        <source>关闭 Lumo</source>
        <translation>Close Lumo</translation>
    </message>
    <message>
        <source>下载列表(&amp;L)...</source>
        <translation>Download &amp;List...</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>同时下载或录制多个地址</source>
        <translation>Download or record several addresses at once</translation>
    </message>
</context>
<context>
    <name>MediaOpener</name>
    <message>
        <source>你试图访问的 HTTP 媒体类型是不支持的.

如果你确认这个媒体文件的地址是可用的话:

1) 请将HTTP 的前缀换成 MMS:// 后再试一次
2) 可以使用支持 HTTP 1.0 协议的 ASFRecoder 软件试试       
3) 你可能输入了一个标准的网址. 请使用你的
   浏览器右键菜单中的“另存为”命令, 你也许可以使用这个办法  
   保存媒体文件</source>
        <translation>This kind of HTTP media is not supported.

If you are sure the address of the media file is right:

1) Replace the HTTP prefix with MMS:// and try again
2) Try the ASFRecoder program, which speaks HTTP 1.0
3) You may have entered an ordinary web address. Use &quot;Save As&quot;
   in your browser&apos;s context menu; that may save
   the media file</translation>
    </message>
    <message>
        <source>你正在试图访问一个重定向地址文件
使用 MMS:// 开头的地址. 只有 HTTP:// 开头的服务器才
能保存重定向地址文件, 请先检查你的地址
然后再试一次</source>
        <translation>You are trying to open a redirect file
with an MMS:// address. Only HTTP:// servers
can serve redirect files. Please check the address
and try again.</translation>
    </message>
    <message>
        <source>你正在试图访问一个 RealMedia 格式的文件类型
Lumo 不支持连接到 RealMedia 的地址
</source>
        <translation>This is a RealMedia file.
Lumo cannot connect to RealMedia addresses.
</translation>
    </message>
    <message>
        <source>这个地址包含一个可下载的文件
使用媒体播放机或你的浏览器来下载这个文件
Lumo 不是必需的
</source>
        <translation>This address holds an ordinary downloadable file.
Use your media player or browser to download it;
Lumo is not needed.
</translation>
    </message>
    <message>
        <source>这个文件类型是媒体播放机的外观文件
Lumo 不支持播放器外观
</source>
        <translation>This is a media player skin file.
Lumo does not handle player skins.
</translation>
    </message>
    <message>
        <source>---- 连接并等待 ----</source>
        <translation>---- Connecting, please wait ----</translation>
    </message>
    <message>
        <source>---- HTTP 地址连接失败 ----</source>
        <translation>---- HTTP connection failed ----</translation>
    </message>
    <message>
        <source>---- ** 访问地址 ** ----</source>
        <translation>---- ** Requesting the address ** ----</translation>
    </message>
    <message>
        <source>---- HTTP 地址已载入, 请稍等 ----</source>
        <translation>---- HTTP address loaded, please wait ----</translation>
    </message>
    <message>
        <source>---- HTTP 地址未找到 ----</source>
        <translation>---- HTTP address not found ----</translation>
    </message>
    <message>
        <source>---- HTTP 地址是非法的 ----</source>
        <translation>---- HTTP address not valid ----</translation>
    </message>
    <message>
        <source>---- HTTP Socket 已经被主机重定向 ----</source>
        <translation>---- HTTP request redirected by the host ----</translation>
    </message>
    <message>
        <source>你现在需要重新访问这个站点, 请再试一次</source>
        <translation>The site has to be asked again; please try again.</translation>
    </message>
    <message>
        <source>当连接时无法更改媒体</source>
        <translation>The media cannot be changed while connected.</translation>
    </message>
    <message>
        <source>正在更改媒体...</source>
        <translation>Changing the media...</translation>
    </message>
    <message>
        <source>媒体类型或地址属于未知类型</source>
        <translation>Unknown media type or address</translation>
    </message>
    <message>
        <source>操作已取消</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>无法打开本地重定向文件</source>
        <translation>Cannot open the local redirect file</translation>
    </message>
    <message>
        <source>本地解析文件错误</source>
        <translation>Error reading the local file</translation>
    </message>
    <message>
        <source>URL 列表现在包含数据, 请选择一个项目</source>
        <translation>The address list is filled; please choose an entry</translation>
    </message>
    <message>
        <source>已取消, 文件没有被载入</source>
        <translation>Cancelled, no file loaded</translation>
    </message>
    <message>
        <source>媒体已经载入 -&gt; 请点击“信息”标签页</source>
        <translation>Media loaded -&gt; see Info</translation>
    </message>
    <message>
        <source>媒体已经载入 -&gt; 请点击预览播放器</source>
        <translation>Media loaded -&gt; open the preview player</translation>
    </message>
    <message>
        <source>HTTP 地址解析失败</source>
        <translation>Could not read the HTTP address</translation>
    </message>
    <message>
        <source>已经准备连接 -&gt; 请点击开始按钮</source>
        <translation>Ready to connect -&gt; click Go</translation>
    </message>
    <message>
        <source>显示 Lumo 记录文件</source>
        <translation>Showing a Lumo log file</translation>
    </message>
    <message>
        <source>记录文件错误, 无法继续</source>
        <translation>Log file error, cannot go on</translation>
    </message>
    <message>
        <source>媒体类型或它的地址是非法的                
请再次检查你的输入</source>
        <translation>The media type or its address is not valid.
Please check what you entered.</translation>
    </message>
    <message>
        <source>HTTP 地址失败或页面未找到</source>
        <translation>HTTP request failed or page not found</translation>
    </message>
    <message>
        <source>地址不包含任何数据, 主体文本是空的</source>
        <translation>The address holds no data; the body is empty</translation>
    </message>
    <message>
        <source>---- 这个地址是一张 HTML 页面, 请使用浏览器观看 ----</source>
        <translation>---- This address is an HTML page; view it in a browser ----</translation>
    </message>
    <message>
        <source>---- HTTP 文件请求失败 ----</source>
        <translation>---- HTTP file request failed ----</translation>
    </message>
    <message>
        <source>任何地址数据现在将被载入到 URL 列表中
保存这个文件对于以后使用到的时候会很有用
你想要返回到这个任务吗

你想要保存这个地址文件吗?
</source>
        <translation>The addresses found are now loaded into the address list.
Saving the file can be useful later,
if you want to come back to this task.

Do you want to save this redirect file?
</translation>
    </message>
    <message>
        <source>无法保存地址文件数据</source>
        <translation>Cannot save the redirect file data</translation>
    </message>
    <message>
        <source>无法打开本地地址文件</source>
        <translation>Cannot open the local redirect file</translation>
    </message>
    <message>
        <source>无法访问本地地址文件</source>
        <translation>Cannot read the local redirect file</translation>
    </message>
    <message>
        <source>本地地址文件不包含任何数据</source>
        <translation>The local redirect file holds no data</translation>
    </message>
    <message>
        <source>在 ASX 文件中包含太多内容, 只显示最大数目</source>
        <translation>The ASX file holds too many entries; only the first ones are shown</translation>
    </message>
    <message>
        <source>重定向文件出错 - 未找到任何一个</source>
        <translation>Redirect file error - no address found</translation>
    </message>
    <message>
        <source>保存重定向文件</source>
        <translation>Save redirect file</translation>
    </message>
    <message>
        <source>创建重定向文件时发生错误</source>
        <translation>Error creating the redirect file</translation>
    </message>
    <message>
        <source>保存重定向文件时发生错误</source>
        <translation>Error saving the redirect file</translation>
    </message>
    <message>
        <source>没有可用的媒体类型来打开预览播放器</source>
        <translation>There is no media to open in the preview player</translation>
    </message>
    <message>
        <source>操作已经取消</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>HTTP 地址是一个媒体流</source>
        <translation>The HTTP address is a media stream</translation>
    </message>
    <message>
        <source>正在询问 HTTP 地址是否是媒体流...</source>
        <translation>Asking whether the HTTP address is a media stream...</translation>
    </message>
</context>
<context>
    <name>OpenWindow</name>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>请输入你想要访问的地址和文件名, 不管是在网上或是在你的本地计算机中, Lumo 将会为你打开这个文件:</source>
        <translation>Type the address or file name of the media, on the network or on this computer, and Lumo will open it for you:</translation>
    </message>
    <message>
        <source>打开:</source>
        <translation>Open:</translation>
    </message>
    <message>
        <source>请在这里输入媒体文件的地址</source>
        <translation>Type the address of the media file here</translation>
    </message>
    <message>
        <source>浏览(&amp;B)</source>
        <translation>&amp;Browse...</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>取消(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
</context>
<context>
    <name>PacketTimes</name>
    <message>
        <source>媒体信息包文件头出错, 开始 0x82 丢失</source>
        <translation>Media packet header error, the leading 0x82 is missing</translation>
    </message>
    <message>
        <source>ASF 解析 - 负载解析错误. 旗标 = </source>
        <translation>ASF parsing - payload parsing error. Flags = </translation>
    </message>
    <message>
        <source>信息包错误, 数据超出信息包长度</source>
        <translation>Packet error, data runs past the packet length</translation>
    </message>
    <message>
        <source>非法的区段类型 ID, 未知类型 </source>
        <translation>Bad segment type ID, unknown type </translation>
    </message>
    <message>
        <source>信息包错误, 区段旗标未知 </source>
        <translation>Packet error, unknown segment flags </translation>
    </message>
    <message>
        <source>信息包错误, 分组指针越界</source>
        <translation>Packet error, grouped payload out of bounds</translation>
    </message>
    <message>
        <source>信息包错误, 非分组指针越界</source>
        <translation>Packet error, payload out of bounds</translation>
    </message>
</context>
<context>
    <name>PasswordDialog</name>
    <message>
        <source>输入网络密码</source>
        <translation>Enter Network Password</translation>
    </message>
    <message>
        <source>请输入您的用户名和密码
来访问这个站点</source>
        <translation>Please enter your user name and password
to access this site</translation>
    </message>
    <message>
        <source>站点:</source>
        <translation>Site:</translation>
    </message>
    <message>
        <source>域:</source>
        <translation>Realm:</translation>
    </message>
    <message>
        <source>用户名</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>保存密码</source>
        <translation>Save password</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>取消(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
</context>
<context>
    <name>PlayerAboutWindow</name>
    <message>
        <source>关于预览播放器</source>
        <translation>About the Preview Player</translation>
    </message>
    <message>
        <source>关于 Lumo 预览播放器</source>
        <translation>About the Lumo preview player</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>PreviewLogic</name>
    <message>
        <source>Not Ready</source>
        <translation>Not Ready</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>Playing</translation>
    </message>
    <message>
        <source>Seeking</source>
        <translation>Seeking</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Paused</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
</context>
<context>
    <name>PreviewWindow</name>
    <message>
        <source>预览播放器</source>
        <translation>Preview Player</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>音量</source>
        <translation>Volume</translation>
    </message>
</context>
<context>
    <name>PropertiesReport</name>
    <message>
        <source>[剪辑]</source>
        <translation>[Clip]</translation>
    </message>
    <message>
        <source>剪辑:</source>
        <translation>Title:</translation>
    </message>
    <message>
        <source>作者:</source>
        <translation>Author:</translation>
    </message>
    <message>
        <source>版权:</source>
        <translation>Copyright:</translation>
    </message>
    <message>
        <source>速率:</source>
        <translation>Rating:</translation>
    </message>
    <message>
        <source>位置:</source>
        <translation>Location:</translation>
    </message>
    <message>
        <source>说明:</source>
        <translation>Description:</translation>
    </message>
    <message>
        <source>[详细资料]</source>
        <translation>[Details]</translation>
    </message>
    <message>
        <source>类型:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>文件大小:</source>
        <translation>File size:</translation>
    </message>
    <message>
        <source>长度:</source>
        <translation>Length:</translation>
    </message>
    <message>
        <source>视频大小:</source>
        <translation>Video size:</translation>
    </message>
    <message>
        <source>创建日期1:</source>
        <translation>Created:</translation>
    </message>
    <message>
        <source>创建日期2:</source>
        <translation>Written:</translation>
    </message>
    <message>
        <source>[解码器]</source>
        <translation>[Codecs]</translation>
    </message>
    <message>
        <source>解码器版本</source>
        <translation>Codec versions</translation>
    </message>
    <message>
        <source>正在使用的解码器</source>
        <translation>Codecs in use</translation>
    </message>
    <message>
        <source>[统计]</source>
        <translation>[Statistics]</translation>
    </message>
    <message>
        <source>多种速率值</source>
        <translation>Bit rates</translation>
    </message>
    <message>
        <source>互斥组 %1 (%2): %3</source>
        <translation>Exclusion group %1 (%2): %3</translation>
    </message>
    <message>
        <source>流</source>
        <translation>Stream</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>速率</source>
        <translation>Rate</translation>
    </message>
    <message>
        <source>画面</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>互斥组</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>录制</source>
        <translation>Recorded</translation>
    </message>
    <message>
        <source>是</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>no</translation>
    </message>
    <message>
        <source>[流]</source>
        <translation>[Streams]</translation>
    </message>
</context>
<context>
    <name>PropertiesWindow</name>
    <message>
        <source>属性</source>
        <translation>Properties</translation>
    </message>
    <message>
        <source>剪辑</source>
        <translation>Clip</translation>
    </message>
    <message>
        <source>剪辑:</source>
        <translation>Title:</translation>
    </message>
    <message>
        <source>作者:</source>
        <translation>Author:</translation>
    </message>
    <message>
        <source>版权:</source>
        <translation>Copyright:</translation>
    </message>
    <message>
        <source>速率:</source>
        <translation>Rating:</translation>
    </message>
    <message>
        <source>位置:</source>
        <translation>Location:</translation>
    </message>
    <message>
        <source>说明:</source>
        <translation>Description:</translation>
    </message>
    <message>
        <source>详细资料</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>类型:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>文件大小:</source>
        <translation>File size:</translation>
    </message>
    <message>
        <source>长度:</source>
        <translation>Length:</translation>
    </message>
    <message>
        <source>视频大小:</source>
        <translation>Video size:</translation>
    </message>
    <message>
        <source>创建日期1:</source>
        <translation>Created:</translation>
    </message>
    <message>
        <source>创建日期2:</source>
        <translation>Written:</translation>
    </message>
    <message>
        <source>解码器</source>
        <translation>Codecs</translation>
    </message>
    <message>
        <source>解码器版本</source>
        <translation>Codec versions</translation>
    </message>
    <message>
        <source>正在使用的解码器</source>
        <translation>Codecs in use</translation>
    </message>
    <message>
        <source>统计</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>多种速率值</source>
        <translation>Bit rates</translation>
    </message>
    <message>
        <source>已用时间</source>
        <translation>Elapsed</translation>
    </message>
    <message>
        <source>剩余时间</source>
        <translation>Remaining</translation>
    </message>
    <message>
        <source>当前区块号</source>
        <translation>Current packet</translation>
    </message>
    <message>
        <source>编码的数据流</source>
        <translation>Streams</translation>
    </message>
    <message>
        <source>所有流最大速率</source>
        <translation>Max bit rate, all streams</translation>
    </message>
    <message>
        <source>最高速率</source>
        <translation>Stream bit rate</translation>
    </message>
    <message>
        <source>发送次数</source>
        <translation>Pings</translation>
    </message>
    <message>
        <source>ASF 数据包大小</source>
        <translation>ASF packet size</translation>
    </message>
    <message>
        <source>你的客户端 ID</source>
        <translation>Your client ID</translation>
    </message>
    <message>
        <source>流</source>
        <translation>Streams</translation>
    </message>
</context>
<context>
    <name>ReceiveWorker</name>
    <message>
        <source>unknown exception</source>
        <translation>unknown exception</translation>
    </message>
    <message>
        <source>服务器声明的文件头长度 %1 字节超过上限 %2 字节</source>
        <translation>The server announced a header of %1 bytes, above the limit of %2 bytes</translation>
    </message>
    <message>
        <source>- 等待重发丢失的 UDP 数据包...</source>
        <translation>- Waiting for lost UDP packets to be resent...</translation>
    </message>
    <message>
        <source>- 文件头信息已经收到但尚未保存, 正在继续操作</source>
        <translation>- Header received but not saved; resuming</translation>
    </message>
    <message>
        <source>- 文件头信息已经收到并保存</source>
        <translation>- Header received and saved</translation>
    </message>
    <message>
        <source>- 正在展开文件头信息...</source>
        <translation>- Reading the header...</translation>
    </message>
    <message>
        <source>- 数据展开已完成, 等待接收流媒体信息...</source>
        <translation>- Header read, waiting for the stream...</translation>
    </message>
    <message>
        <source>- 文件头信息展开失败, 无法继续</source>
        <translation>- Could not read the header, cannot go on</translation>
    </message>
    <message>
        <source>- 文件头信息没有完整收到, 无法继续</source>
        <translation>- The header did not arrive whole, cannot go on</translation>
    </message>
    <message>
        <source>服务器发送的文件头信息不完整, 任务终止
可以尝试使用 TCP 方式下载</source>
        <translation>The server sent an incomplete header; the task has ended.
Try downloading over TCP.</translation>
    </message>
    <message>
        <source>- 文件头信息不完整, 重新请求 (第 %1 次)</source>
        <translation>- Header incomplete, asking again (try %1)</translation>
    </message>
    <message>
        <source>- 丢失的 UDP 数据包已经全部收到</source>
        <translation>- All lost UDP packets have arrived</translation>
    </message>
    <message>
        <source>丢失时间码, 格式发生错误, 正在继续...</source>
        <translation>Time code missing, bad format, going on...</translation>
    </message>
    <message>
        <source>信息包发生错误, 时间码更新失败</source>
        <translation>Packet error, time code not updated</translation>
    </message>
    <message>
        <source>- 写入媒体数据失败 (数据包 %1): %2</source>
        <translation>- Writing media data failed (packet %1): %2</translation>
    </message>
    <message>
        <source>无法写入本地文件, 任务终止
%1

已经写入的数据已被保存, 释放空间后可以续传这个文件</source>
        <translation>Cannot write to the local file; the task has ended.
%1

What was written is kept; free some space and resume the file.</translation>
    </message>
    <message>
        <source>- 文件只保存了 %1 个完整的数据包, 从这里继续</source>
        <translation>- The file holds only %1 whole packets; resuming from there</translation>
    </message>
    <message>
        <source>当前的 MMS 信息包出错 - 现在关闭</source>
        <translation>Bad MMS packet - closing now</translation>
    </message>
    <message>
        <source>一个错误的 MMS 信息包已被删除    
你可以尝试继续执行任务</source>
        <translation>A bad MMS packet was dropped.
You can try to resume the task.</translation>
    </message>
    <message>
        <source>- 服务器通知流已改变, 等待新的文件头...</source>
        <translation>- The server says the stream has changed; waiting for the new header...</translation>
    </message>
    <message>
        <source>- 服务器发送的不是 ASF 文件头</source>
        <translation>- The server did not send an ASF header</translation>
    </message>
    <message>
        <source>- 文件头中没有可用的数据包长度, 无法继续</source>
        <translation>- The header states no usable packet size; cannot go on</translation>
    </message>
    <message>
        <source>错误 - 实况流信息已被删除!   
实况流的下载不能够使用续传命令 
请再试一次</source>
        <translation>Error - the live stream was dropped!
A live broadcast cannot be resumed.
Please try again.</translation>
    </message>
    <message>
        <source>接收文件头信息...</source>
        <translation>Receiving the header...</translation>
    </message>
    <message>
        <source>- 新的文件头与已保存的不同 (流或数据包长度已改变), 录制结束</source>
        <translation>- The new header differs from the saved one (other streams or packet size); recording ended</translation>
    </message>
    <message>
        <source>节目的流已经改变, 无法继续写入同一个文件
已经收到的内容已被保存</source>
        <translation>The programme&apos;s streams have changed and cannot go into the same file
What was received has been saved</translation>
    </message>
    <message>
        <source>- 新的文件头与已保存的相同, 继续录制</source>
        <translation>- The new header matches the saved one; recording goes on</translation>
    </message>
    <message>
        <source>- 服务器结束了当前的节目条目</source>
        <translation>- The server ended the current entry</translation>
    </message>
    <message>
        <source>- 服务器结束了流 (原因 0x%1)</source>
        <translation>- The server ended the stream (reason 0x%1)</translation>
    </message>
    <message>
        <source>- 服务器从数据包 %1 开始发送 (请求的是 %2)</source>
        <translation>- The server started at packet %1 (%2 was asked for)</translation>
    </message>
    <message>
        <source>- 服务器从数据包 %1 开始发送, 而文件需要从 %2 继续, 无法续传</source>
        <translation>- The server started at packet %1 but the file needs %2; cannot resume</translation>
    </message>
    <message>
        <source>服务器没有从文件缺少的位置开始发送 (数据包 %1, 需要 %2)
为避免文件出错, 任务终止; 文件中已有的内容没有改变</source>
        <translation>The server did not start where the file needs it to (packet %1, %2 needed)
The task has ended so that the file is not damaged; what it holds is unchanged</translation>
    </message>
</context>
<context>
    <name>ResumeDialog</name>
    <message>
        <source>续传/覆盖文件</source>
        <translation>Resume / Overwrite File</translation>
    </message>
    <message>
        <source>警告 !:
你所选择要保存的文件已包含有数据!
要保护这个文件, 请按“取消”按钮.

请注意, 你不能续传实况下载的节目,
对于实况下载的, 你必须要选择覆盖.</source>
        <translation>Warning!
The file you chose to save to already holds data!
To keep the file as it is, press Cancel.

Note that a live broadcast cannot be resumed;
for a live recording you must choose Overwrite.</translation>
    </message>
    <message>
        <source>取消(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>续传文件(&amp;R)</source>
        <translation>&amp;Resume File</translation>
    </message>
    <message>
        <source>覆盖或实况下载(&amp;O)</source>
        <translation>&amp;Overwrite / Live</translation>
    </message>
</context>
<context>
    <name>SaveFileChoice</name>
    <message>
        <source>创建保存文件时发生问题</source>
        <translation>Could not create the save file</translation>
    </message>
    <message>
        <source>文件的类型是非法的, 请检查你的地址输入</source>
        <translation>The file type is not valid; please check the address you entered</translation>
    </message>
    <message>
        <source>创建 / 续传 保存文件</source>
        <translation>Create / Resume Save File</translation>
    </message>
</context>
<context>
    <name>SaveFileHandle</name>
    <message>
        <source>nothing written</source>
        <translation>nothing written</translation>
    </message>
</context>
<context>
    <name>SaveFileWriter</name>
    <message>
        <source>接收到的文件头长度已超过预设值</source>
        <translation>The header received is longer than announced</translation>
    </message>
    <message>
        <source>无法访问本地文件来写入文件头</source>
        <translation>Cannot write the header to the local file</translation>
    </message>
    <message>
        <source>警告   ì 必须要将信息包长度剪切到适当长度</source>
        <translation>Warning: a packet was longer than the packet size and has been cut</translation>
    </message>
</context>
<context>
    <name>ServerErrors</name>
    <message>
        <source>无法打开地址, 操作终止</source>
        <translation>Cannot open the address; operation aborted</translation>
    </message>
    <message>
        <source>打开文件失败</source>
        <translation>Opening the file failed</translation>
    </message>
    <message>
        <source>无法下载合适的解码程序</source>
        <translation>A suitable codec could not be downloaded</translation>
    </message>
    <message>
        <source>非法的文件格式</source>
        <translation>Invalid file format</translation>
    </message>
    <message>
        <source>请求了一个不正确的函数</source>
        <translation>Incorrect function requested</translation>
    </message>
    <message>
        <source>系统无法找到指定的文件</source>
        <translation>The system cannot find the file specified</translation>
    </message>
    <message>
        <source>系统无法找到指定的路径</source>
        <translation>The system cannot find the path specified</translation>
    </message>
    <message>
        <source>系统无法打开文件</source>
        <translation>The system cannot open the file</translation>
    </message>
    <message>
        <source>你无法访问地址或文件</source>
        <translation>Access to the address or file is denied</translation>
    </message>
    <message>
        <source>没有足够的可用存储空间来处理这个命令</source>
        <translation>Not enough storage is available to process this command</translation>
    </message>
    <message>
        <source>数据是非法的</source>
        <translation>The data is invalid</translation>
    </message>
    <message>
        <source>指定的网络名不再有效</source>
        <translation>The specified network name is no longer available</translation>
    </message>
    <message>
        <source>请确认服务器路径和文件名称的正确性</source>
        <translation>Please check the server path and file name</translation>
    </message>
    <message>
        <source>在地址中给出的参数不正确</source>
        <translation>A parameter in the address is incorrect</translation>
    </message>
    <message>
        <source>服务器或代理服务器未找到</source>
        <translation>Server or proxy server not found</translation>
    </message>
    <message>
        <source>未知的协议, 未找到匹配信息</source>
        <translation>Unknown protocol, no match found</translation>
    </message>
    <message>
        <source>没有可用的连接来连到媒体服务器</source>
        <translation>No connection to the media server is available</translation>
    </message>
    <message>
        <source>服务器忙或无法建立连接, 请稍候再试</source>
        <translation>The server is busy or cannot be reached; please try again later</translation>
    </message>
    <message>
        <source>网络太忙, 请稍候再试</source>
        <translation>The network is too busy; please try again later</translation>
    </message>
    <message>
        <source>太多已连接到服务器的任务</source>
        <translation>Too many connections to the server</translation>
    </message>
    <message>
        <source>网络连接已经存在</source>
        <translation>The network connection already exists</translation>
    </message>
    <message>
        <source>在服务器和客户端之间没有匹配的协议版本</source>
        <translation>The server and the client have no protocol version in common</translation>
    </message>
    <message>
        <source>服务器没有及时的回应</source>
        <translation>The server did not answer in time</translation>
    </message>
    <message>
        <source>从网络上读取错误</source>
        <translation>Error reading from the network</translation>
    </message>
    <message>
        <source>从磁盘上读取错误</source>
        <translation>Error reading from disk</translation>
    </message>
    <message>
        <source>读取文件错误</source>
        <translation>Error reading the file</translation>
    </message>
    <message>
        <source>文件未找到</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>指定的流媒体类型无法识别</source>
        <translation>The stream type is not recognised</translation>
    </message>
    <message>
        <source>网络连接失败 - 连接断开</source>
        <translation>Network connection failed - disconnected</translation>
    </message>
    <message>
        <source>文件名或它的流参数是不正确的</source>
        <translation>The file name or its stream parameters are incorrect</translation>
    </message>
    <message>
        <source>服务器的带宽已经超过它的限制</source>
        <translation>The server has reached its bandwidth limit</translation>
    </message>
    <message>
        <source>计划中的一个操作或请求无法被执行</source>
        <translation>A scheduled operation or request could not be carried out</translation>
    </message>
    <message>
        <source>遇到非法或损坏的数据</source>
        <translation>Invalid or corrupt data encountered</translation>
    </message>
    <message>
        <source>客户端不能同时打开多个文件</source>
        <translation>The client cannot open more than one file at a time</translation>
    </message>
    <message>
        <source>在流媒体中没有更多的数据</source>
        <translation>No more data in the stream</translation>
    </message>
    <message>
        <source>无法找到指定的服务器</source>
        <translation>The specified server cannot be found</translation>
    </message>
    <message>
        <source>你需要一个许可才能对这个媒体文件执行请求操作</source>
        <translation>You need a licence to do this with this media file</translation>
    </message>
    <message>
        <source>服务器错误信息读取:</source>
        <translation>Server error message:</translation>
    </message>
    <message>
        <source>在 WinSock 中遇到错误, 代码 = %1</source>
        <translation>Socket error, code = %1</translation>
    </message>
    <message>
        <source>## 未知的服务器错误码 ##
</source>
        <translation>## Unknown server error code ##
</translation>
    </message>
    <message>
        <source>请向 Lumo 报告这个号码
</source>
        <translation>Please report this number to the Lumo developers
</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>你的 UDP 已经改变端口值
在新的 UDP 端口设定生效之前你必须重新启动 Lumo! 
                                       

要立即关闭 Lumo 吗?
所有的数据将会被保存.</source>
        <translation>You have changed the UDP port.
Lumo must be restarted before the new UDP port takes effect!


Close Lumo now?
All data will be saved.</translation>
    </message>
    <message>
        <source>UDP 更改已取消, 将保持原来的 UDP 端口设置</source>
        <translation>UDP change cancelled; the UDP port stays as it was</translation>
    </message>
    <message>
        <source>关于 UDP

目前, Lumo 还不支持数据包错误修正. 有错误或者丢失信息包     
的 UDP 流信息将会被当作正常的文件而保存. 这就是说 UDP 只能
够用在要求不怎么严格的测试场合. 只能够作为 TCP 数据流协议的 
备选类型.                                                  
                             

同样, 如果你改变了 UDP 端口地址的话, 你就必须重新启动 Lumo,
根据 Windows 的套接字规则. 每次启动一个应用程序 UDP 只能创
建并关联一个本机的端口.                            
                                                                

可用的端口数字范围是从 1 - 65535. 避免使用 1000 以下的数字,因
为这些数字可能会被网络和系统使用作为保留字.                     
默认的 MMS 流端口为 7000 或 7001                                    

UDP 协议一样能够下载, 但是要小心保存的文件中可能会存在着错误.
(感谢阅读这些内容)</source>
        <translation>About UDP

Lumo cannot yet correct packet errors. A UDP stream with
bad or lost packets is saved as if it were whole. So UDP is
only for undemanding trials, as a fallback
to the TCP stream.


Also, if you change the UDP port, you must restart Lumo:
under the socket rules, a program can create and bind
only one local UDP port each time it starts.


Ports range from 1 to 65535. Avoid numbers below 1000,
as the network and the system may reserve them.
The usual MMS stream ports are 7000 and 7001.

UDP downloads work too, but beware: the saved file may hold errors.
(Thank you for reading this.)</translation>
    </message>
</context>
<context>
    <name>SettingsWindow</name>
    <message>
        <source>设置 Lumo</source>
        <translation>Lumo Settings</translation>
    </message>
    <message>
        <source>TCP</source>
        <translation>TCP</translation>
    </message>
    <message>
        <source>TCP MMS 服务器端口</source>
        <translation>TCP port of the MMS server</translation>
    </message>
    <message>
        <source>流服务器端口. 默认 = 1755</source>
        <translation>Port of the streaming server. Default = 1755</translation>
    </message>
    <message>
        <source>默认 = 1755</source>
        <translation>Default = 1755</translation>
    </message>
    <message>
        <source>UDP</source>
        <translation>UDP</translation>
    </message>
    <message>
        <source>启用 UDP</source>
        <translation>Use UDP</translation>
    </message>
    <message>
        <source>尝试 UDP 协议  (不推荐)</source>
        <translation>Try the UDP protocol (not recommended)</translation>
    </message>
    <message>
        <source>UDP 监听端口</source>
        <translation>Local UDP port to listen on</translation>
    </message>
    <message>
        <source>默认 = 7000</source>
        <translation>Default = 7000</translation>
    </message>
    <message>
        <source>重复播放声音每隔</source>
        <translation>Repeat the sound every</translation>
    </message>
    <message>
        <source>重放“完成”声音前的时间</source>
        <translation>Time before the &quot;done&quot; sound plays again</translation>
    </message>
    <message>
        <source>秒 (0 为关闭)</source>
        <translation>seconds (0 = off)</translation>
    </message>
    <message>
        <source>如果名称解析失败, 请在网址中直接输入服务器的数字 IP 地址</source>
        <translation>If the name lookup fails, put the server&apos;s numeric IP address in the address</translation>
    </message>
    <message>
        <source>绕过 DNS 解析地址,仅直接使用 IP 地址.</source>
        <translation>Bypass DNS; use numeric IP addresses only.</translation>
    </message>
    <message>
        <source>默认 = 关</source>
        <translation>Default = off</translation>
    </message>
    <message>
        <source>总是提示保存记录</source>
        <translation>Always offer to save the log</translation>
    </message>
    <message>
        <source>在下载完成时自动提示保存记录.</source>
        <translation>Offer to save the log when a download ends.</translation>
    </message>
    <message>
        <source>允许命令 01 发送到主机  [由代理服务器使用]</source>
        <translation>Send the host name in command 01  [for proxy servers]</translation>
    </message>
    <message>
        <source>播放下载完成的声音</source>
        <translation>Play the download-complete sound</translation>
    </message>
    <message>
        <source>声音测试(&amp;S)</source>
        <translation>&amp;Sound Test</translation>
    </message>
    <message>
        <source>阅读关于 UDP</source>
        <translation>Read about UDP</translation>
    </message>
    <message>
        <source>关于 UDP(&amp;A)</source>
        <translation>&amp;About UDP</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>程序界面使用的语言</source>
        <translation>The language of Lumo&apos;s windows and messages</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>下次启动 Lumo 时生效</source>
        <translation>Takes effect the next time Lumo starts</translation>
    </message>
    <message>
        <source>录制的流</source>
        <translation>Streams to record</translation>
    </message>
    <message>
        <source>多速率节目录制哪些流. 自动: 节目有互斥的流时录制最佳的, 否则全部</source>
        <translation>Which streams of a multi-rate programme to record. Automatic: the best ones when the programme has alternatives, else all</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>最佳</source>
        <translation>Best</translation>
    </message>
    <message>
        <source>总速率不超过 (kbit/s)</source>
        <translation>Total rate at most (kbit/s)</translation>
    </message>
    <message>
        <source>指定的流</source>
        <translation>These streams</translation>
    </message>
    <message>
        <source>总速率 (kbit/s), 或流的编号, 用逗号分开</source>
        <translation>The total rate (kbit/s), or stream numbers separated by commas</translation>
    </message>
</context>
<context>
    <name>StatusText</name>
    <message>
        <source>实况</source>
        <translation>Live</translation>
    </message>
</context>
<context>
    <name>StreamList</name>
    <message>
        <source>音频</source>
        <translation>audio</translation>
    </message>
    <message>
        <source>视频</source>
        <translation>video</translation>
    </message>
    <message>
        <source>其它</source>
        <translation>other</translation>
    </message>
    <message>
        <source>%1 kbit/s</source>
        <translation>%1 kbit/s</translation>
    </message>
    <message>
        <source>速率</source>
        <translation>rate</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>language</translation>
    </message>
</context>
<context>
    <name>StreamSelection</name>
    <message>
        <source>全部</source>
        <translation>all</translation>
    </message>
    <message>
        <source>最佳</source>
        <translation>best</translation>
    </message>
    <message>
        <source>总速率不超过 %1</source>
        <translation>total rate at most %1</translation>
    </message>
    <message>
        <source>流 %1</source>
        <translation>streams %1</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>automatic</translation>
    </message>
    <message>
        <source>- 续传: 沿用文件开始录制时的流选择</source>
        <translation>- Resume: the streams the file was begun with</translation>
    </message>
    <message>
        <source>- 流的选择: %1</source>
        <translation>- Streams chosen: %1</translation>
    </message>
    <message>
        <source>- 所选的流都不在这个节目中, 无法继续</source>
        <translation>- None of the chosen streams is in this programme, cannot go on</translation>
    </message>
    <message>
        <source>所选的流 (%1) 不在这个节目中
节目的流: %2</source>
        <translation>The chosen streams (%1) are not in this programme
Its streams: %2</translation>
    </message>
    <message>
        <source>- 无法在文件头中记录流的选择</source>
        <translation>- Could not state the chosen streams in the file header</translation>
    </message>
    <message>
        <source>- 录制的流: %1 (%2)</source>
        <translation>- Streams recorded: %1 (%2)</translation>
    </message>
    <message>
        <source>- 不录制的流: %1</source>
        <translation>- Streams left out: %1</translation>
    </message>
</context>
<context>
    <name>TaskEndTexts</name>
    <message>
        <source>-- 服务器 %1 拒绝连接, 任务终止 --</source>
        <translation>-- Server %1 refused the connection, task ended --</translation>
    </message>
    <message>
        <source>服务器 %1 拒绝连接, 任务终止
请检查地址和端口是否正确</source>
        <translation>Server %1 refused the connection; the task has ended.
Please check the address and the port.</translation>
    </message>
    <message>
        <source>-- 找不到主机 %1, 任务终止 --</source>
        <translation>-- Host %1 not found, task ended --</translation>
    </message>
    <message>
        <source>找不到服务器 %1, 任务终止
请检查你输入的地址</source>
        <translation>Server %1 not found; the task has ended.
Please check the address you entered.</translation>
    </message>
    <message>
        <source>-- 网络无法到达 %1, 任务终止 --</source>
        <translation>-- Network cannot reach %1, task ended --</translation>
    </message>
    <message>
        <source>无法到达服务器 %1, 网络不通, 任务终止
请检查网络连接</source>
        <translation>Server %1 cannot be reached, the network is down; the task has ended.
Please check the network connection.</translation>
    </message>
    <message>
        <source>下载被中断: %1
本地文件中已经保存了 %2 个数据包 (共 %3 个, %4%)
在同一个保存文件上再次开始, 即可续传这个文件</source>
        <translation>Download interrupted: %1
The local file holds %2 packets (of %3, %4%).
Start again on the same save file to resume it.</translation>
    </message>
    <message>
        <source>警告, 无法使用本地 UDP 端口 %1: %2</source>
        <translation>Warning, cannot use local UDP port %1: %2</translation>
    </message>
    <message>
        <source>本地 UDP 端口 %1 无法使用, 它可能已被其他程序占用
请在 设置 中更换 UDP 端口并重新启动程序, 或者不使用 UDP</source>
        <translation>Local UDP port %1 cannot be used; another program may hold it.
Choose another UDP port in Settings and restart Lumo, or do without UDP.</translation>
    </message>
    <message>
        <source>Lumo: 下载已完成</source>
        <translation>Lumo: download complete</translation>
    </message>
    <message>
        <source>Lumo: 下载被中断</source>
        <translation>Lumo: download interrupted</translation>
    </message>
    <message>
        <source>
在同一个保存文件上再次开始, 即可续传这个文件</source>
        <translation>
Start again on the same save file to resume it.</translation>
    </message>
    <message>
        <source>Lumo: 任务终止</source>
        <translation>Lumo: task ended</translation>
    </message>
    <message>
        <source>没有 TCP 端口号   
使用设置 -&gt; TCP (默认 = 1755)</source>
        <translation>No TCP port number.
Set it in Settings -&gt; TCP (default = 1755).</translation>
    </message>
</context>
<context>
    <name>UdpIntake</name>
    <message>
        <source>警告, 在本地端口删除未请求的 UDP 数据</source>
        <translation>Warning, unrequested UDP data dropped at the local port</translation>
    </message>
    <message>
        <source>警告, 删除来自 %1 的 UDP 数据: 它不是这个任务的服务器</source>
        <translation>Warning, UDP data from %1 dropped: not this task&apos;s server</translation>
    </message>
    <message>
        <source>警告, UDP 数据来得太快, 部分数据包将重新请求</source>
        <translation>Warning, UDP data arrives too fast; some packets will be requested again</translation>
    </message>
</context>
<context>
    <name>WebLoginWindow</name>
    <message>
        <source>HTTP 网络验证</source>
        <translation>HTTP Authentication</translation>
    </message>
    <message>
        <source>请输入你的用户 ID 和密码来访问这个站点. 

当你输入之后,请再次使用“文件”-“打开”菜单来进行访问
你的数据将会被传送到服务器.</source>
        <translation>Please enter your user ID and password for this site.

Then use File -&gt; Open again to access it;
what you entered will be sent to the server.</translation>
    </message>
    <message>
        <source>用户 ID</source>
        <translation>User ID</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>保存密码</source>
        <translation>Save password</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>取消(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
</context>
<context>
    <name>lumo::AboutWindow</name>
    <message>
        <source>Lumo 版本信息与说明:</source>
        <translation>Lumo version and notes:</translation>
    </message>
    <message>
        <source>Lumo 程序版本:		1.8.0</source>
        <translation>Lumo version:		1.8.0</translation>
    </message>
    <message>
        <source>Lumo 播放器版本:		1.2.0</source>
        <translation>Lumo player version:	1.2.0</translation>
    </message>
    <message>
        <source>MMS 协议版本:		NSPlayer/7.0.0.1956</source>
        <translation>MMS protocol version:	NSPlayer/7.0.0.1956</translation>
    </message>
    <message>
        <source>发布日期:		2002.10.2</source>
        <translation>Release date:		2002.10.2</translation>
    </message>
    <message>
        <source>软件作者:		Lumo 开发组</source>
        <translation>Written by:		the Lumo developers</translation>
    </message>
    <message>
        <source>汉化作者:		Lumo 开发组 (中文界面与说明)</source>
        <translation>Chinese texts:		the Lumo developers</translation>
    </message>
</context>
<context>
    <name>lumo::Desktop</name>
    <message>
        <source> 请访问 </source>
        <translation> Visit </translation>
    </message>
    <message>
        <source> 获取帮助</source>
        <translation> for help</translation>
    </message>
    <message>
        <source>******* 正在关闭 *******</source>
        <translation>******* Closing *******</translation>
    </message>
    <message>
        <source>Lumo 记录打印输出</source>
        <translation>Lumo log printout</translation>
    </message>
    <message>
        <source>无法打开 %1
Lumo 只能打开 MMS 地址, 重定向文件和 Windows 媒体文件</source>
        <translation>Cannot open %1
Lumo opens only MMS addresses, redirect files and Windows Media files.</translation>
    </message>
    <message>
        <source>更多有关于 Lumo 的信息和疑难解答请访问以下站点  </source>
        <translation>For more about Lumo and help with problems, visit  </translation>
    </message>
    <message>
        <source>
或阅读 Lumo 附带的自述文件</source>
        <translation>
or read the README that comes with Lumo.</translation>
    </message>
    <message>
        <source>Open a local file</source>
        <translation>Open a local file</translation>
    </message>
    <message>
        <source>下载列表文件已损坏, 使用空的下载列表</source>
        <translation>The download list file is damaged; an empty download list is used</translation>
    </message>
    <message>
        <source>下载列表文件已损坏, 已移到 %1, 使用空的下载列表</source>
        <translation>The download list file is damaged and was moved to %1; an empty download list is used</translation>
    </message>
</context>
<context>
    <name>lumo::DownloadListWindow</name>
    <message numerus="yes">
        <source>已加入 %n 个地址</source>
        <translation>
            <numerusform>%n address added</numerusform>
            <numerusform>%n addresses added</numerusform>
        </translation>
    </message>
    <message>
        <source>选择保存的文件夹</source>
        <translation>Choose the folder to save into</translation>
    </message>
</context>
<context>
    <name>lumo::HttpClient</name>
    <message>
        <source>invalid host</source>
        <translation>invalid host</translation>
    </message>
</context>
<context>
    <name>lumo::PlayerAboutWindow</name>
    <message>
        <source>欢迎使用第一个正式版的 Lumo 多媒体播放器 1.2</source>
        <translation>Welcome to the first release of the Lumo media player, 1.2</translation>
    </message>
    <message>
        <source>此播放器的功能上有一些限制. 在你向我们提出 BUG 报告和改进建议前有必要先来阅读一下.</source>
        <translation>The player has some limits. Please read about them before you send us bug reports or suggestions.</translation>
    </message>
    <message>
        <source>此播放器中共有两个主要的限制:</source>
        <translation>The player has two main limits:</translation>
    </message>
    <message>
        <source>1) 此播放器完全依赖你机器中已安装的各种音视频解码器来播放文件.当你使用 Windows Media Player 播放网络上的流媒体文件时将会自动下载对应的视频解码程序.当然在您的计算机中可能已经安装了某些解码程序.当你的计算机中安装了 MS Media Player 就一定会出现这类情况.所以这就意味着并非所有的媒体文件都能在 Lumo 播放器上播放,除非已经安装了合适的解码程序.如果你没有安装的话,你将会收到一个 MCI 错误信息,告诉你这个文件无法被播放.</source>
        <translation>1) The player relies entirely on the audio and video codecs installed on your machine. When you play a stream from the network in Windows Media Player, the codec it needs is downloaded for you, so your computer may already have some codecs; with MS Media Player installed it certainly will. Still, not every media file will play in the Lumo player unless a suitable codec is installed. If none is, you will get an MCI error saying the file cannot be played.</translation>
    </message>
    <message>
        <source>解决办法 - 正常的打开你的 Windows Media Player.确认“选项”菜单中的“允许自动解码器下载”已经被选中.然后播放文件的时候,系统将会自动从微软的更新站点上下载必需的解码程序.当程序安装好之后,Lumo 也就能够播放这些文件了.</source>
        <translation>Remedy - open Windows Media Player as usual and make sure &quot;Download codecs automatically&quot; is ticked under Options. When you then play the file, the codec it needs is downloaded from Microsoft&apos;s update site. Once it is installed, Lumo can play those files too.</translation>
    </message>
    <message>
        <source>2) 在下载过程中,如果你想要预览已经下载的一段流媒体的话,就必须要经过一段“缓冲”时间.这是因为当播放器被打开的时候,它会在播放文件之前将文件信息缓冲到它自己的内部缓存中.如果已经存在的这个已下载的文件不是足够大的话,它虽然能够播放,但是一会儿就会停下来.因为缓存中的内容太小了.</source>
        <translation>2) To preview part of a stream while it is still downloading, you have to allow for buffering. When the player opens, it fills its own buffer from the file before it plays. If the file downloaded so far is not big enough, it will play but soon stop, because there is too little in the buffer.</translation>
    </message>
    <message>
        <source>解决办法 - 按下“停止”键后等待10到20秒(允许文件增加大小)后,再次按下“播放”键重新开始预览.</source>
        <translation>Remedy - press Stop, wait 10 to 20 seconds (so the file can grow), then press Play to start the preview again.</translation>
    </message>
    <message>
        <source>请记住: Lumo 播放器是能够直接访问正在下载中的文件的.</source>
        <translation>Remember: the Lumo player can play a file while it is being downloaded.</translation>
    </message>
    <message>
        <source>这些限制可能会让你感觉到使用起来有点麻烦. Lumo 已经尽可能的在克服这些问题.虽然目前这些限制还是存在的,但是我们还是希望 Lumo 能够证明它还是值得大家一用的</source>
        <translation>These limits may make the player a little awkward to use. Lumo works around them as far as it can. They are still there for now, but we hope Lumo proves worth using all the same.</translation>
    </message>
    <message>
        <source>祝您使用愉快!  —— Lumo 开发组
本播放器由 Lumo 开发组编写并汉化.</source>
        <translation>Enjoy!  — the Lumo developers
This player was written by the Lumo developers.</translation>
    </message>
</context>
<context>
    <name>lumo::PreviewWindow</name>
    <message>
        <source>Lumo Media Player v1.2.0</source>
        <translation>Lumo Media Player v1.2.0</translation>
    </message>
    <message>
        <source>Radio Broadcast</source>
        <translation>Radio Broadcast</translation>
    </message>
    <message>
        <source>Volume control not enabled</source>
        <translation>Volume control not enabled</translation>
    </message>
</context>
<context>
    <name>lumo::TaskLog</name>
    <message>
        <source> 数据转储: <byte value="xd"/>
</source>
        <translation> Data dump: <byte value="xd"/>
</translation>
    </message>
    <message>
        <source>打开记录文件错误</source>
        <translation>Error opening the log file</translation>
    </message>
    <message>
        <source>记录文件不包含任何数据</source>
        <translation>The log file holds no data</translation>
    </message>
    <message>
        <source>没有记录数据来保存</source>
        <translation>There is no log to save</translation>
    </message>
    <message>
        <source>创建记录文件错误</source>
        <translation>Error creating the log file</translation>
    </message>
    <message>
        <source>保存记录文件发生错误</source>
        <translation>Error saving the log file</translation>
    </message>
</context>
</TS>
