#include "ui/settingswindow.h"

#include "shell/settings.h"
#include "ui_settingswindow.h"

#include <QCloseEvent>
#include <QRegularExpressionValidator>
#include <QShortcut>

namespace lumo {

SettingsWindow::SettingsWindow(QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::SettingsWindow>())
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    for (QLineEdit *edit : {m_ui->tcpPortEdit, m_ui->udpPortEdit, m_ui->soundIntervalEdit})
        connect(edit, &QLineEdit::textEdited, this, &SettingsWindow::edited);
    for (QCheckBox *box :
         {m_ui->udpCheckBox, m_ui->bypassDnsCheckBox, m_ui->autoLogCheckBox, m_ui->sendHostCheckBox})
        connect(box, &QCheckBox::clicked, this, &SettingsWindow::edited);
    connect(m_ui->languageBox, &QComboBox::activated, this, &SettingsWindow::edited);
    connect(m_ui->streamChoiceBox, &QComboBox::activated, this, [this] {
        updateStreamChoiceEdit();
        Q_EMIT edited();
    });
    connect(m_ui->streamChoiceEdit, &QLineEdit::textEdited, this, &SettingsWindow::edited);
    m_ui->streamChoiceEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]+(,[0-9]+)*,?")), this));
    connect(m_ui->soundTestButton, &QPushButton::clicked, this, &SettingsWindow::soundTestClicked);
    connect(m_ui->aboutUdpButton, &QPushButton::clicked, this, &SettingsWindow::aboutUdpClicked);
    connect(m_ui->okButton, &QPushButton::clicked, this, &QWidget::close);
    // Esc closes as OK does: there is nothing to cancel.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::showValues(const Settings &settings)
{
    m_ui->tcpPortEdit->setText(settings.tcpPort());
    m_ui->udpPortEdit->setText(settings.udpPort());
    m_ui->soundIntervalEdit->setText(settings.soundInterval());
    m_ui->udpCheckBox->setChecked(settings.useUdp());
    m_ui->bypassDnsCheckBox->setChecked(settings.bypassDns());
    m_ui->autoLogCheckBox->setChecked(settings.autoSaveLog());
    m_ui->sendHostCheckBox->setChecked(settings.sendHost());
    // The items are in the order of LanguageChoice: automatic, Chinese, English.
    m_ui->languageBox->setCurrentIndex(static_cast<int>(settings.language()));
    // The items are in the order of StreamRuleKind.
    const StreamRule rule = settings.streamRule();
    m_ui->streamChoiceBox->setCurrentIndex(static_cast<int>(rule.kind));
    QStringList numbers;
    for (quint8 n : rule.streams)
        numbers << QString::number(n);
    m_ui->streamChoiceEdit->setText(rule.kind == StreamRuleKind::MaxBitRate
                                        ? QString::number((rule.maxBitRate + 500) / 1000)
                                        : numbers.join(QLatin1Char(',')));
    updateStreamChoiceEdit();
}

void SettingsWindow::updateStreamChoiceEdit()
{
    const auto kind = static_cast<StreamRuleKind>(m_ui->streamChoiceBox->currentIndex());
    m_ui->streamChoiceEdit->setEnabled(kind == StreamRuleKind::MaxBitRate || kind == StreamRuleKind::List);
    m_ui->streamChoiceEdit->setPlaceholderText(kind == StreamRuleKind::MaxBitRate ? QStringLiteral("kbit/s")
                                               : kind == StreamRuleKind::List     ? QStringLiteral("1,3")
                                                                                  : QString());
}

void SettingsWindow::copyValuesTo(Settings &settings) const
{
    settings.setTcpPort(m_ui->tcpPortEdit->text());
    settings.setUdpPort(m_ui->udpPortEdit->text());
    settings.setSoundInterval(m_ui->soundIntervalEdit->text());
    settings.setUseUdp(m_ui->udpCheckBox->isChecked());
    settings.setBypassDns(m_ui->bypassDnsCheckBox->isChecked());
    settings.setAutoSaveLog(m_ui->autoLogCheckBox->isChecked());
    settings.setSendHost(m_ui->sendHostCheckBox->isChecked());
    settings.setLanguage(static_cast<LanguageChoice>(m_ui->languageBox->currentIndex()));
    // A value the choice cannot use leaves the automatic choice.
    const auto kind = static_cast<StreamRuleKind>(m_ui->streamChoiceBox->currentIndex());
    const QString value = m_ui->streamChoiceEdit->text().trimmed();
    std::optional<StreamRule> rule;
    if (kind == StreamRuleKind::MaxBitRate)
        rule = streamRuleFromText(QStringLiteral("max:%1").arg(value.toULongLong() * 1000));
    else if (kind == StreamRuleKind::List)
        rule = streamRuleFromText(QStringLiteral("list:") + value);
    else
        rule = StreamRule{kind, 0, {}};
    settings.setStreamRule(rule.value_or(StreamRule{}));
}

void SettingsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_ui->okButton->setFocus();
}

void SettingsWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    Q_EMIT closed();
}

} // namespace lumo
