// Opening media: redirect files over HTTP from a local web server and from disk, local media
// and log files, and the refusals.

#include "control/mediaopener.h"
#include "mms/httpclient.h"
#include "support/downloadfixture.h"
#include "support/testmedia.h"
#include "support/webserver.h"

#include <QDir>
#include <QFile>

using namespace lumo;
using namespace lumo::test;

namespace {

class OpenMedia : public DownloadFixture
{
protected:
    void SetUp() override
    {
        DownloadFixture::SetUp();
        m_opener = std::make_unique<MediaOpener>(*m_controller, *m_log, *m_settings, m_person, m_http);
        QObject::connect(m_opener.get(), &MediaOpener::urlListReplaced, [this](const QStringList &items) {
            m_urlList = items;
            m_urlText = items.value(0);
        });
        QObject::connect(m_opener.get(), &MediaOpener::urlTextSet,
                         [this](const QString &text) { m_urlText = text; });
        m_person.defaultYesNo = false;
    }

    void open(const QString &location)
    {
        m_person.messages.clear();
        m_opener->acceptLocation(location);
    }

    QString lastMessage() const { return m_person.messages.value(m_person.messages.size() - 1); }

    HttpClient m_http;
    std::unique_ptr<MediaOpener> m_opener;
    QStringList m_urlList;
    QString m_urlText;
};

} // namespace

TEST_F(OpenMedia, AsxOverHttpFillsTheAddressListAndCanBeSaved)
{
    WebServer web;
    ASSERT_TRUE(web.start());
    m_person.yesNoAnswers.push_back(true);
    m_person.saveFileAnswers.push_back(outPath("saved.asx"));
    open("  " + web.url("list.asx?x=1") + " ");
    EXPECT_EQ(m_urlList, (QStringList{"mms://media.example/show/a.asf", "mmst://media.example/show/b.wmv"}));
    EXPECT_EQ(m_urlText, "mms://media.example/show/a.asf");
    EXPECT_TRUE(logHasInOrder({"正在更改媒体...", "---- ** 访问地址 ** ----",
                               "---- HTTP 地址已载入, 请稍等 ----", "URL 列表现在包含数据, 请选择一个项目"}));
    EXPECT_TRUE(m_person.messages.isEmpty());
    ASSERT_EQ(m_person.fileRequests.size(), 1);
    EXPECT_EQ(m_person.fileRequests[0].proposedName, "list.asx");
    EXPECT_EQ(m_person.fileRequests[0].title, "保存重定向文件");
    EXPECT_TRUE(readFile(outPath("saved.asx")).startsWith("<ASX version=\"3.0\">\r\n"));
    EXPECT_EQ(m_settings->redirectFolder(), m_dir.path() + "/");
    EXPECT_FALSE(m_controller->task().LocalMedia.load());
}

TEST_F(OpenMedia, WebPagesRedirectsAndFailures)
{
    WebServer web;
    ASSERT_TRUE(web.start());
    qputenv("LUMO_HTTP_TIMEOUT_MS", "500");

    open(web.url("page.html"));
    EXPECT_EQ(m_urlList, (QStringList{"mms://media.example/live", "MMS://Media.Example/Clip.asf"}));

    open(web.url("moved.asx"));
    EXPECT_TRUE(
        logHasInOrder({"---- HTTP Socket 已经被主机重定向 ----", "URL 列表现在包含数据, 请选择一个项目"}));
    EXPECT_EQ(m_urlList.size(), 2);

    open(web.url("missing.asx"));
    EXPECT_TRUE(logHasInOrder({"---- HTTP 文件请求失败 ----", "HTTP/1.1 404", "操作已经取消"}));
    EXPECT_EQ(m_person.messages, QStringList{"HTTP 地址解析失败"});

    open(web.url("empty.asx"));
    EXPECT_EQ(m_person.messages, (QStringList{"地址不包含任何数据, 主体文本是空的", "HTTP 地址解析失败"}));

    open(web.url("none.asx"));
    EXPECT_EQ(m_person.messages, (QStringList{"重定向文件出错 - 未找到任何一个", "HTTP 地址解析失败"}));

    open(web.url("slow.asx"));
    EXPECT_EQ(m_person.messages, (QStringList{"HTTP 地址失败或页面未找到", "HTTP 地址解析失败"}));
    qunsetenv("LUMO_HTTP_TIMEOUT_MS");
}

TEST_F(OpenMedia, WebLoginAnswersTheNextRequest)
{
    WebServer web;
    ASSERT_TRUE(web.start());
    m_person.loginAnswers.push_back(LoginAnswer{"  anna ", "se:cret", true});
    open(web.url("secret.asx"));
    EXPECT_EQ(m_person.messages,
              (QStringList{"你现在需要重新访问这个站点, 请再试一次", "HTTP 地址解析失败"}));
    EXPECT_EQ(QByteArray::fromBase64(m_settings->webLogin().toLatin1()), "  anna :se:cret");
    EXPECT_TRUE(m_urlList.isEmpty());

    open(web.url("secret.asx"));
    EXPECT_TRUE(m_person.messages.isEmpty()) << lastMessage().toStdString();
    EXPECT_EQ(m_urlList.size(), 2);
}

TEST_F(OpenMedia, LocalFilesOpenByTheirKind)
{
    const QString asx = outPath("local.asx");
    QFile file(asx);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<ref href=\"mms://h/one.asf\"/> mms://h/two");
    file.close();
    open(asx);
    EXPECT_EQ(m_urlList, (QStringList{"mms://h/one.asf", "mms://h/two"}));
    EXPECT_TRUE(m_controller->task().LocalMedia.load());

    const QString emptyAsx = outPath("empty.asx");
    QFile(emptyAsx).open(QIODevice::WriteOnly);
    open(emptyAsx);
    EXPECT_EQ(m_person.messages, (QStringList{"本地地址文件不包含任何数据", "本地解析文件错误"}));
    open(outPath("absent.asx"));
    EXPECT_EQ(m_person.messages, QStringList{"无法打开本地重定向文件"});

    QStringList lines{"------- 记录开始 -------", "第二行"};
    const QString logPath = outPath("old.log");
    QFile logFile(logPath);
    ASSERT_TRUE(logFile.open(QIODevice::WriteOnly));
    logFile.write(lines.join('\n').toUtf8() + "\n");
    logFile.close();
    open(logPath);
    EXPECT_EQ(m_log->lines(), (QStringList{"正在更改媒体...", "显示 Lumo 记录文件"} + lines));

    if (haveFfmpeg()) {
        open(makeSampleAsf(m_dir.path(), "local.asf", 1));
        EXPECT_TRUE(
            logHasInOrder({"媒体已经载入 -> 请点击“信息”标签页", "媒体已经载入 -> 请点击预览播放器"}));
        EXPECT_TRUE(m_controller->analysis().ok);
        EXPECT_EQ(m_opener->previewFile(), outPath("local.asf"));
        EXPECT_EQ(m_controller->task().PreviewFile, outPath("local.asf"));
    }
    open(outPath("broken.asf"));
    EXPECT_EQ(m_person.messages, (QStringList{"无法打开文件来展开", "已取消, 文件没有被载入"}));
}

TEST_F(OpenMedia, RefusedKindsAndMmsAddresses)
{
    open("mms://server/clip.asf");
    EXPECT_EQ(m_urlText, "mms://server/clip.asf");
    EXPECT_TRUE(logHasInOrder({"已经准备连接 -> 请点击开始按钮"}));
    EXPECT_TRUE(m_person.messages.isEmpty());

    open("http://server/clip.wmv");
    EXPECT_TRUE(lastMessage().startsWith("你试图访问的 HTTP 媒体类型是不支持的.\n\n"));
    open("mms://server/list.asx");
    EXPECT_TRUE(lastMessage().startsWith("你正在试图访问一个重定向地址文件"));
    open("pnm://server/a.rm");
    EXPECT_TRUE(lastMessage().contains("RealMedia"));
    open("http://server/file.wmd");
    EXPECT_TRUE(lastMessage().startsWith("这个地址包含一个可下载的文件"));
    open("http://server/skin.wmz");
    EXPECT_TRUE(lastMessage().startsWith("这个文件类型是媒体播放机的外观文件"));
    open("http://server/live");
    EXPECT_EQ(lastMessage(), "媒体类型或它的地址是非法的                \n请再次检查你的输入");
    open("   ");
    EXPECT_EQ(lastMessage(), "媒体类型或地址属于未知类型");
    EXPECT_TRUE(logHasInOrder({"操作已取消"}));
    EXPECT_EQ(m_opener->previewFile(), std::nullopt);
    EXPECT_EQ(lastMessage(), "没有可用的媒体类型来打开预览播放器");
}

TEST_F(OpenMedia, RecentLocationsKeepTwentyNewestFirst)
{
    m_person.defaultYesNo = false;
    QStringList list;
    for (int i = 0; i < 21; ++i)
        list = *m_opener->acceptLocation(QStringLiteral("mms://h/%1").arg(i));
    list = *m_opener->acceptLocation("mms://h/20");
    EXPECT_EQ(list.size(), 20);
    EXPECT_EQ(list[0], "mms://h/20");
    EXPECT_EQ(list[1], "mms://h/20");
    EXPECT_EQ(list.last(), "mms://h/2");
    EXPECT_EQ(m_settings->recentLocations(), list);
    EXPECT_FALSE(m_opener->acceptLocation(QString()));
}

// An http:// address is asked as a player asks: a media server's stream goes to the address
// box for Start; a plain file over HTTP is still refused as before, without being read.
TEST_F(OpenMedia, HttpStreamGoesToTheAddressBox)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is needed to make the test media";
    ASSERT_TRUE(startServer({}));
    const QString stream = QStringLiteral("http://127.0.0.1:%1/sample.asf").arg(m_server.port());
    open(stream);
    EXPECT_EQ(m_urlText, stream);
    EXPECT_TRUE(logHasInOrder(
        {"正在询问 HTTP 地址是否是媒体流...", "HTTP 地址是一个媒体流", "已经准备连接 -> 请点击开始按钮"}));
    EXPECT_TRUE(m_person.messages.isEmpty());
    ASSERT_TRUE(download(stream));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));

    WebServer web;
    ASSERT_TRUE(web.start());
    m_urlText.clear();
    open(web.url("clip.asf"));
    EXPECT_TRUE(m_urlText.isEmpty());
    EXPECT_FALSE(m_person.messages.isEmpty());
}
