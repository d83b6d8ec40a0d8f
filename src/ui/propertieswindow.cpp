#include "ui/propertieswindow.h"

#include "asf/propertiesreport.h"
#include "control/statustext.h"

#include "ui_propertieswindow.h"

#include <QShortcut>

namespace lumo {

PropertiesWindow::PropertiesWindow(QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::PropertiesWindow>())
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    m_ui->streamTable->setHeaderLabels(streamColumnTitles());
}

PropertiesWindow::~PropertiesWindow() = default;

void PropertiesWindow::showProperties(const FileProperties &p)
{
    m_ui->clip->setText(p.Clip);
    m_ui->author->setText(p.Author);
    m_ui->copyright->setText(p.Copyright);
    m_ui->rating->setText(p.Rating);
    m_ui->location->setText(p.Location);
    m_ui->description->setPlainText(p.Description);
    m_ui->type->setText(p.Type);
    m_ui->fileSize->setText(p.FileSize);
    m_ui->length->setText(p.Length);
    m_ui->videoSize->setText(p.VidSize);
    m_ui->headerCreated->setText(p.Created_Asf);
    m_ui->fileCreated->setText(p.Created_File);
    m_ui->codecVersions->setPlainText(p.Version.join(QLatin1Char('\n')));
    m_ui->codecs->setPlainText(p.Codecs.join(QLatin1Char('\n')));
    m_ui->bitRateInfo->setPlainText(p.BitRateInfo.join(QLatin1Char('\n')));
}

void PropertiesWindow::showStatistics(const TaskStatus &status)
{
    m_ui->elapsedTime->setText(sendTimeText(status));
    m_ui->timeLeft->setText(timeLeftText(status));
    const std::optional<TaskStatistics> &s = status.statistics;
    const auto number = [&](auto field, quint32 scale = 1) {
        return s ? QString::number((*s).*field / scale) : QString();
    };
    m_ui->packets->setText(number(&TaskStatistics::packets));
    m_ui->acks->setText(number(&TaskStatistics::pings));
    m_ui->streams->setText(number(&TaskStatistics::streamCount));
    m_ui->packetSize->setText(number(&TaskStatistics::packetSize));
    // Bit rates in kbit/s.
    m_ui->bitRate->setText(number(&TaskStatistics::maxBitRate, 1000));
    m_ui->streamRate->setText(number(&TaskStatistics::streamBitRate, 1000));
    m_ui->clientId->setText(number(&TaskStatistics::clientId));
}

void PropertiesWindow::showStreams(const StreamList &list, const QList<StreamPick> &picks)
{
    m_ui->streamTable->clear();
    for (const QStringList &row : streamTableRows(list, picks))
        m_ui->streamTable->addTopLevelItem(new QTreeWidgetItem(row));
    for (int i = 0; i < m_ui->streamTable->columnCount(); ++i)
        m_ui->streamTable->resizeColumnToContents(i);
    m_ui->streamGroups->setText(exclusionGroupLines(list).join(QLatin1Char('\n')));
}

} // namespace lumo
