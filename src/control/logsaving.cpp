#include "control/logsaving.h"

#include "shell/filefilters.h"
#include "shell/interaction.h"
#include "shell/settings.h"
#include "shell/tasklog.h"

#include <QCoreApplication>

namespace lumo {

void saveTaskLog(TaskLog &log, Settings &settings, Interaction &person, const QString &saveWindowText,
                 const QString &mediaWindowText)
{
    const FileDialogRequest request = saveFileRequest(
        QCoreApplication::translate("LogSaving", "保存记录文件"), QStringLiteral("log"), LogFilterEntry,
        settings.logFolder(), proposedLogFileName(saveWindowText, mediaWindowText), true);

    const std::optional<QString> chosen = person.chooseSaveFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    settings.setLogFolder(folderOf(*chosen));
    const QString failure = log.saveToFile(*chosen);
    if (!failure.isEmpty())
        person.showMessage(failure);
}

} // namespace lumo
