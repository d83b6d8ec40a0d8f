#include "mms/servererrors.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ServerErrorText, KnownAndUnlistedCodes)
{
    const QString heading = u"服务器错误信息读取:"_s;
    const struct
    {
        quint32 code;
        QString message; // empty: unlisted, reported by number
        QString number;
    } cases[] = {
        {0x8007274D, u"在 WinSock 中遇到错误, 代码 = 10061"_s, {}},
        {0x80072711, u"在 WinSock 中遇到错误, 代码 = 10001"_s, {}},
        {0x80072AFC, u"在 WinSock 中遇到错误, 代码 = 11004"_s, {}},
        {0x80072710, {}, u"0x80072710"_s},
        {0x80072AFD, {}, u"0x80072AFD"_s},
        {0xC00D001A, u"文件未找到"_s, {}},
        {0x80004004, u"无法打开地址, 操作终止"_s, {}},
        {0xC00D0BBE, u"你需要一个许可才能对这个媒体文件执行请求操作"_s, {}},
        {0xC00D0011, {}, u"0xC00D0011"_s},
        {0xC00D0030, {}, u"0xC00D0030"_s},
        {0x1A, {}, u"0x001A"_s},
        {0x12345, {}, u"0x12345"_s},
    };
    for (const auto &c : cases) {
        const lumo::ServerErrorReport r = lumo::ServerErrorText(c.code);
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(r.known) << std::hex << c.code;
            EXPECT_EQ(r.logLines, (QStringList{heading, c.message}));
            EXPECT_EQ(r.messageBox, heading + u"\n\n"_s + c.message);
        } else {
            EXPECT_FALSE(r.known) << std::hex << c.code;
            EXPECT_EQ(r.logLines, (QStringList{heading, c.number}));
            EXPECT_EQ(r.messageBox,
                      heading + u"\n\n## 未知的服务器错误码 ##\n请向 Lumo 报告这个号码\n"_s + c.number);
        }
    }
}
