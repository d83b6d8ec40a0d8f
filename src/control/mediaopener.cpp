#include "control/mediaopener.h"

#include "control/address.h"
#include "control/downloadcontroller.h"
#include "mms/credentials.h"
#include "mms/httpclient.h"
#include "shell/filefilters.h"
#include "shell/interaction.h"
#include "shell/settings.h"
#include "shell/tasklog.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace lumo {

namespace {

// Functions, not constants: a text is translated when it is shown, after the language is set.
QString httpMediaRefusal()
{
    return QCoreApplication::translate("MediaOpener",
                                       "你试图访问的 HTTP 媒体类型是不支持的.\n\n"
                                       "如果你确认这个媒体文件的地址是可用的话:\n\n"
                                       "1) 请将HTTP 的前缀换成 MMS:// 后再试一次\n"
                                       "2) 可以使用支持 HTTP 1.0 协议的 ASFRecoder 软件试试"
                                       "       \n"
                                       "3) 你可能输入了一个标准的网址. 请使用你的\n"
                                       "   浏览器右键菜单中的“另存为”命令, 你也许可以使用这个办法  \n"
                                       "   保存媒体文件");
}

QString mmsRedirectRefusal()
{
    return QCoreApplication::translate("MediaOpener", "你正在试图访问一个重定向地址文件\n"
                                                      "使用 MMS:// 开头的地址. 只有 HTTP:// 开头的服务器才\n"
                                                      "能保存重定向地址文件, 请先检查你的地址\n"
                                                      "然后再试一次");
}

QString realMediaRefusal()
{
    return QCoreApplication::translate("MediaOpener", "你正在试图访问一个 RealMedia 格式的文件类型\n"
                                                      "Lumo 不支持连接到 RealMedia 的地址\n");
}

QString downloadFileRefusal()
{
    return QCoreApplication::translate("MediaOpener", "这个地址包含一个可下载的文件\n"
                                                      "使用媒体播放机或你的浏览器来下载这个文件\n"
                                                      "Lumo 不是必需的\n");
}

QString skinFileRefusal()
{
    return QCoreApplication::translate("MediaOpener", "这个文件类型是媒体播放机的外观文件\n"
                                                      "Lumo 不支持播放器外观\n");
}

bool startsWithPrefix(const QByteArray &text, qsizetype at)
{
    static const char *const prefixes[] = {"mms://",  "MMS://",  "mmst://", "MMST://",
                                           "mmsu://", "MMSU://", "mmsh://", "MMSH://"};
    for (const char *prefix : prefixes) {
        if (QByteArrayView(text).sliced(at).startsWith(QByteArrayView(prefix)))
            return true;
    }
    return false;
}

} // namespace

RedirectScan ScanRedirectText(const QByteArray &text)
{
    RedirectScan scan;
    const qsizetype length = text.size();
    qsizetype pos = 0;
    while (pos + 1 < length) {
        if (!startsWithPrefix(text, pos)) {
            ++pos;
            continue;
        }
        const qsizetype begin = pos;
        do {
            ++pos;
        } while (pos < length && text[pos] != ' ' && text[pos] != '\n' && text[pos] != '"');
        scan.entries.append(TrimControls(QString::fromUtf8(text.constData() + begin, pos - begin)));
        if (scan.entries.size() == RedirectScan::MaxEntries) {
            scan.tooMany = true;
            break;
        }
    }
    return scan;
}

MediaOpener::MediaOpener(DownloadController &controller, TaskLog &log, Settings &settings,
                         Interaction &person, HttpClient &http, QObject *parent)
    : QObject(parent), m_controller(controller), m_log(log), m_settings(settings), m_person(person),
      m_http(http)
{
    connect(&m_http, &HttpClient::connected, this,
            [this] { m_log.append(QCoreApplication::translate("MediaOpener", "---- 连接并等待 ----")); });
    connect(&m_http, &HttpClient::connectionFailed, this, [this] {
        m_log.append(QCoreApplication::translate("MediaOpener", "---- HTTP 地址连接失败 ----"));
    });
    connect(&m_http, &HttpClient::aboutToSend, this,
            [this] { m_log.append(QCoreApplication::translate("MediaOpener", "---- ** 访问地址 ** ----")); });
    connect(&m_http, &HttpClient::succeeded, this, [this] {
        m_log.append(QCoreApplication::translate("MediaOpener", "---- HTTP 地址已载入, 请稍等 ----"));
    });
    connect(&m_http, &HttpClient::failed, this, [this] {
        m_log.append(QCoreApplication::translate("MediaOpener", "---- HTTP 地址未找到 ----"));
    });
    connect(&m_http, &HttpClient::invalidHost, this, [this] {
        m_log.append(QCoreApplication::translate("MediaOpener", "---- HTTP 地址是非法的 ----"));
    });
    connect(&m_http, &HttpClient::redirected, this, [this] {
        m_log.append(QCoreApplication::translate("MediaOpener", "---- HTTP Socket 已经被主机重定向 ----"));
    });
    connect(&m_http, &HttpClient::authenticationNeeded, this, [this] {
        const std::optional<LoginAnswer> answer =
            m_person.askWebLogin(webLoginRequest(m_settings.webLogin()));
        if (!answer)
            return;
        const WebLoginResult login = acceptWebLogin(*answer);
        m_http.setCredentials(login.httpUser, login.httpPassword);
        m_settings.setWebLogin(login.storedWebLogin);
        m_person.showMessage(
            QCoreApplication::translate("MediaOpener", "你现在需要重新访问这个站点, 请再试一次"));
    });
}

bool MediaOpener::mayOpenMedia()
{
    if (!m_controller.idle() || m_http.isConnected()) {
        m_person.showMessage(QCoreApplication::translate("MediaOpener", "当连接时无法更改媒体"));
        return false;
    }
    return true;
}

std::optional<QStringList> MediaOpener::acceptLocation(const QString &comboText)
{
    if (comboText.isEmpty())
        return std::nullopt;
    const QString location = TrimControls(comboText);
    m_controller.setMediaWindowText(location);
    const QStringList list = m_settings.addToRecentLocations(location);
    m_controller.setSaveWindowText(QString());
    Q_EMIT urlListReplaced({});
    OpenMedia();
    return list;
}

void MediaOpener::refuse(const QString &message, const QString &logLine)
{
    m_log.append(logLine);
    m_person.showMessage(message);
}

void MediaOpener::OpenMedia()
{
    m_controller.ResetTask();
    Q_EMIT closePreview();
    m_log.append(QCoreApplication::translate("MediaOpener", "正在更改媒体..."));
    const QString location = m_controller.mediaWindowText();
    const AddressClass c = ClassifyAddress(location);
    const auto has = [c](quint32 flags) { return (c & flags) == flags; };
    const auto any = [c](quint32 flags) { return (c & flags) != 0; };

    if (c == 0) {
        refuse(QCoreApplication::translate("MediaOpener", "媒体类型或地址属于未知类型"),
               QCoreApplication::translate("MediaOpener", "操作已取消"));
    } else if (has(HttpAddress) && !any(RedirectFile) && isHttpStream(location)) {
        // A media server's stream over HTTP is recorded like an mms:// address.
        Q_EMIT urlTextSet(location);
        m_log.append(QCoreApplication::translate("MediaOpener", "HTTP 地址是一个媒体流"));
        m_log.append(QCoreApplication::translate("MediaOpener", "已经准备连接 -> 请点击开始按钮"));
    } else if (has(HttpAddress | MediaFile)) {
        refuse(httpMediaRefusal());
    } else if (has(MmsAddress) && any(RedirectFile | ScriptPage)) {
        refuse(mmsRedirectRefusal());
    } else if (any(RealMediaFile | PnmAddress)) {
        refuse(realMediaRefusal());
    } else if (has(DownloadFile)) {
        refuse(downloadFileRefusal());
    } else if (has(SkinFile)) {
        refuse(skinFileRefusal());
    } else if (has(LocalPath | RedirectFile)) {
        QFile probe(location);
        if (!probe.open(QIODevice::ReadOnly)) {
            refuse(QCoreApplication::translate("MediaOpener", "无法打开本地重定向文件"));
        } else if (probe.close(); !LoadRedirectList(Source::LocalFile)) {
            refuse(QCoreApplication::translate("MediaOpener", "本地解析文件错误"));
        } else {
            m_log.append(QCoreApplication::translate("MediaOpener", "URL 列表现在包含数据, 请选择一个项目"));
            m_controller.setLocalMedia(true);
        }
    } else if (has(LocalPath | MediaFile)) {
        if (!m_controller.analyseLocalMedia(location)) {
            refuse(QCoreApplication::translate("MediaOpener", "已取消, 文件没有被载入"));
        } else {
            m_log.append(QCoreApplication::translate("MediaOpener", "媒体已经载入 -> 请点击“信息”标签页"));
            m_log.append(QCoreApplication::translate("MediaOpener", "媒体已经载入 -> 请点击预览播放器"));
            m_controller.setLocalMedia(true);
        }
    } else if (has(HttpAddress) && any(RedirectFile | ScriptPage)) {
        if (LoadRedirectList(Source::Http))
            m_log.append(QCoreApplication::translate("MediaOpener", "URL 列表现在包含数据, 请选择一个项目"));
        else
            refuse(QCoreApplication::translate("MediaOpener", "HTTP 地址解析失败"));
    } else if (has(MmsAddress) && any(MediaFile | OtherFile)) {
        Q_EMIT urlTextSet(location);
        m_log.append(QCoreApplication::translate("MediaOpener", "已经准备连接 -> 请点击开始按钮"));
    } else if (has(LogFile | LocalPath)) {
        m_controller.setLocalMedia(true);
        m_log.append(QCoreApplication::translate("MediaOpener", "显示 Lumo 记录文件"));
        if (!m_log.LoadLogFile(location))
            m_log.append(QCoreApplication::translate("MediaOpener", "记录文件错误, 无法继续"));
    } else {
        refuse(QCoreApplication::translate("MediaOpener",
                                           "媒体类型或它的地址是非法的                \n请再次检查你的输入"));
    }
}

bool MediaOpener::isHttpStream(const QString &location)
{
    m_log.append(QCoreApplication::translate("MediaOpener", "正在询问 HTTP 地址是否是媒体流..."));
    const bool stream = m_http.isWindowsMediaStream(QUrl(TrimControls(location), QUrl::TolerantMode),
                                                    HttpClient::configuredTimeoutMs());
    m_http.abortTransfer();
    return stream;
}

bool MediaOpener::LoadRedirectList(Source source)
{
    const QString location = m_controller.mediaWindowText();
    QByteArray text;
    if (source == Source::Http) {
        const HttpResponse response =
            m_http.get(QUrl(TrimControls(location), QUrl::TolerantMode), HttpClient::configuredTimeoutMs());
        m_http.abortTransfer();
        if (!response.ok()) {
            m_log.append(QCoreApplication::translate("MediaOpener", "HTTP 地址失败或页面未找到"));
            m_person.showMessage(QCoreApplication::translate("MediaOpener", "HTTP 地址失败或页面未找到"));
            return false;
        }
        if (response.body.isEmpty()) {
            m_log.append(QCoreApplication::translate("MediaOpener", "地址不包含任何数据, 主体文本是空的"));
            m_person.showMessage(
                QCoreApplication::translate("MediaOpener", "地址不包含任何数据, 主体文本是空的"));
            return false;
        }
        if (response.header.toLower().contains("<html>")) {
            m_log.append(QCoreApplication::translate("MediaOpener",
                                                     "---- 这个地址是一张 HTML 页面, 请使用浏览器观看 ----"));
            return false;
        }
        const QByteArray statusLine = response.header.left(response.header.indexOf("\r\n"));
        if (!statusLine.contains("200")) {
            m_log.append(QCoreApplication::translate("MediaOpener", "---- HTTP 文件请求失败 ----"));
            m_log.append(QString::fromUtf8(statusLine));
            return false;
        }
        const bool save = m_person.askYesNo(
            QCoreApplication::translate("MediaOpener", "任何地址数据现在将被载入到 URL 列表中\n"
                                                       "保存这个文件对于以后使用到的时候会很有用\n"
                                                       "你想要返回到这个任务吗\n\n"
                                                       "你想要保存这个地址文件吗?\n"));
        if (save && !SaveRedirectFile(response.body))
            m_person.showMessage(QCoreApplication::translate("MediaOpener", "无法保存地址文件数据"));
        text = response.body;
    } else {
        QFile file(location);
        if (!file.open(QIODevice::ReadOnly)) {
            m_person.showMessage(QCoreApplication::translate("MediaOpener", "无法打开本地地址文件"));
            return false;
        }
        const qint64 size = file.size();
        if (size < 0 || (size == 0 && !file.atEnd())) {
            m_person.showMessage(QCoreApplication::translate("MediaOpener", "无法访问本地地址文件"));
            return false;
        }
        if (size == 0) {
            m_person.showMessage(QCoreApplication::translate("MediaOpener", "本地地址文件不包含任何数据"));
            return false;
        }
        text = file.readAll();
    }
    return applyScan(text);
}

bool MediaOpener::applyScan(const QByteArray &text)
{
    const RedirectScan scan = ScanRedirectText(text);
    if (scan.tooMany)
        m_person.showMessage(
            QCoreApplication::translate("MediaOpener", "在 ASX 文件中包含太多内容, 只显示最大数目"));
    if (scan.entries.isEmpty()) {
        m_person.showMessage(QCoreApplication::translate("MediaOpener", "重定向文件出错 - 未找到任何一个"));
        return false;
    }
    m_entries.clear();
    for (const QString &entry : scan.entries)
        m_entries.append(TrimControls(entry));
    Q_EMIT urlListReplaced(m_entries);
    return true;
}

bool MediaOpener::SaveRedirectFile(const QByteArray &text)
{
    const FileDialogRequest request =
        saveFileRequest(QCoreApplication::translate("MediaOpener", "保存重定向文件"), QStringLiteral("asx"),
                        RedirectFilterEntry, m_settings.redirectFolder(),
                        StripQuery(FileNameOf(m_controller.mediaWindowText())), true);
    const std::optional<QString> chosen = m_person.chooseSaveFile(request);
    if (!chosen || chosen->isEmpty())
        return false;
    m_settings.setRedirectFolder(folderOf(*chosen));
    QFile file(*chosen);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_person.showMessage(QCoreApplication::translate("MediaOpener", "创建重定向文件时发生错误"));
        return false;
    }
    if (file.write(text) != text.size()) {
        m_person.showMessage(QCoreApplication::translate("MediaOpener", "保存重定向文件时发生错误"));
        return false;
    }
    return true;
}

std::optional<QString> MediaOpener::previewFile()
{
    const auto localMedia = [](const QString &text) {
        const AddressClass c = ClassifyAddress(text);
        return (c & LocalPath) && (c & MediaFile);
    };
    for (const QString &candidate : {m_controller.saveWindowText(), m_controller.mediaWindowText()}) {
        if (localMedia(candidate)) {
            m_controller.setPreviewFile(candidate);
            return candidate;
        }
    }
    m_person.showMessage(QCoreApplication::translate("MediaOpener", "没有可用的媒体类型来打开预览播放器"));
    return std::nullopt;
}

} // namespace lumo
