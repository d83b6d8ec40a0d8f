#include "ui/playeraboutwindow.h"

#include "ui_playeraboutwindow.h"

#include "ui/aboutwindow.h"

namespace lumo {

PlayerAboutWindow::PlayerAboutWindow(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::PlayerAboutWindow>())
{
    m_ui->setupUi(this);
    m_ui->iconLabel->setPixmap(QPixmap(QStringLiteral(":/lumo/lumo.png")));
    m_ui->notesView->setPlainText(notesText());
    connect(m_ui->okButton, &QPushButton::clicked, this, &QDialog::close);
    makeInfoWindow(this);
}

PlayerAboutWindow::~PlayerAboutWindow() = default;

QString PlayerAboutWindow::notesText()
{
    const QStringList paragraphs{
        tr("欢迎使用第一个正式版的 Lumo 多媒体播放器 1.2"),
        tr("此播放器的功能上有一些限制. 在你向我们提出 BUG 报告和改进建议前有必要先来阅读一下."),
        tr("此播放器中共有两个主要的限制:"),
        tr("1) 此播放器完全依赖你机器中已安装的各种音视频解码器来播放文件.当你使用 Windows Media Player "
           "播放网络上的流媒体文件时将会自动下载对应的视频解码程序."
           "当然在您的计算机中可能已经安装了某些解码程序."
           "当你的计算机中安装了 MS Media Player "
           "就一定会出现这类情况.所以这就意味着并非所有的媒体文件都能在 "
           "Lumo 播放器上播放,除非已经安装了合适的解码程序.如果你没有安装的话,你将会收到一个 MCI "
           "错误信息,告诉你这个文件无法被播放."),
        tr("解决办法 - 正常的打开你的 Windows Media Player.确认“选项”菜单中的“允许自动解码器下载”已经被选中."
           "然后播放文件的时候,系统将会自动从微软的更新站点上下载必需的解码程序.当程序安装好之后,Lumo "
           "也就能够播放这些文件了."),
        tr("2) 在下载过程中,如果你想要预览已经下载的一段流媒体的话,就必须要经过一段“缓冲”时间."
           "这是因为当播放器被打开的时候,它会在播放文件之前将文件信息缓冲到它自己的内部缓存中."
           "如果已经存在的这个已下载的文件不是足够大的话,它虽然能够播放,但是一会儿就会停下来."
           "因为缓存中的内容太小了."),
        tr("解决办法 - 按下“停止”键后等待10到20秒(允许文件增加大小)后,再次按下“播放”键重新开始预览."),
        tr("请记住: Lumo 播放器是能够直接访问正在下载中的文件的."),
        tr("这些限制可能会让你感觉到使用起来有点麻烦. Lumo "
           "已经尽可能的在克服这些问题.虽然目前这些限制还是存在的,但是我们还是希望 Lumo "
           "能够证明它还是值得大家一用的"),
        tr("祝您使用愉快!  —— Lumo 开发组\n本播放器由 Lumo 开发组编写并汉化."),
    };
    return paragraphs.join(QStringLiteral("\n\n"));
}

void PlayerAboutWindow::showCentred()
{
    showInfoWindow(this, m_ui->okButton);
}

} // namespace lumo
