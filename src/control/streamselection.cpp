// Which streams a task asks the server for, and how the file states it.
#include "asf/finishing.h"
#include "asf/streamchoice.h"
#include "control/downloadcontroller.h"
#include "control/logging.h"
#include "shell/tasklog.h"

#include <QCoreApplication>

namespace lumo {

namespace {

QString numberList(const QList<quint8> &numbers)
{
    QStringList texts;
    for (quint8 n : numbers)
        texts << QString::number(n);
    return texts.join(QStringLiteral(", "));
}

QString ruleText(const StreamRule &rule)
{
    switch (rule.kind) {
    case StreamRuleKind::Auto:
        break;
    case StreamRuleKind::All:
        return QCoreApplication::translate("StreamSelection", "全部");
    case StreamRuleKind::Best:
        return QCoreApplication::translate("StreamSelection", "最佳");
    case StreamRuleKind::MaxBitRate:
        return QCoreApplication::translate("StreamSelection", "总速率不超过 %1")
            .arg(bitRateText(rule.maxBitRate));
    case StreamRuleKind::List:
        return QCoreApplication::translate("StreamSelection", "流 %1").arg(numberList(rule.streams));
    }
    return QCoreApplication::translate("StreamSelection", "自动");
}

} // namespace

bool DownloadController::chooseStreams(const StreamList &list)
{
    // A header the stream list cannot read keeps the plain selection of every stream found.
    if (list.streams.isEmpty())
        return true;
    const bool resumed = m_task.ResumeMode == ResumeMode::Resume;
    StreamChoice choice;
    if (resumed && HeaderCanStateChoice(list)) {
        // The file's header says what the recording began with: nothing cleared is everything.
        StreamRule all;
        all.kind = StreamRuleKind::All;
        choice = ChoiceStatedInHeader(list).value_or(ChooseStreams(list, all));
        m_log.append(QCoreApplication::translate("StreamSelection", "- 续传: 沿用文件开始录制时的流选择"));
    } else {
        choice = ChooseStreams(list, m_streamRule);
        m_log.append(
            QCoreApplication::translate("StreamSelection", "- 流的选择: %1").arg(ruleText(m_streamRule)));
    }
    if (!choice.anyChosen()) {
        m_log.append(QCoreApplication::translate("StreamSelection", "- 所选的流都不在这个节目中, 无法继续"));
        m_person.showMessage(
            QCoreApplication::translate("StreamSelection", "所选的流 (%1) 不在这个节目中\n节目的流: %2")
                .arg(numberList(m_streamRule.streams), numberList(choice.numbers(false))));
        return false;
    }
    m_task.StreamPicks = choice.picks;
    logStreamChoice(list, choice);
    if (!resumed && choice.dropsAny() &&
        !WriteHeaderPatches(m_task.SaveFile, m_task.HeaderSize, StreamChoicePatches(list, choice)))
        m_log.append(QCoreApplication::translate("StreamSelection", "- 无法在文件头中记录流的选择"));
    return true;
}

void DownloadController::logStreamChoice(const StreamList &list, const StreamChoice &choice)
{
    const QList<quint8> chosen = choice.numbers(true);
    const quint64 rate = choice.chosenBitRate(list);
    m_log.append(QCoreApplication::translate("StreamSelection", "- 录制的流: %1 (%2)")
                     .arg(numberList(chosen), bitRateText(quint32(qMin<quint64>(rate, 0xFFFFFFFFu)))));
    if (choice.dropsAny())
        m_log.append(QCoreApplication::translate("StreamSelection", "- 不录制的流: %1")
                         .arg(numberList(choice.numbers(false))));
    qCDebug(lcControl) << "streams chosen" << chosen << "dropped" << choice.numbers(false);
}

} // namespace lumo
