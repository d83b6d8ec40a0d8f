#include "control/logsaving.h"

#include "shell/filefilters.h"
#include "shell/interaction.h"
#include "shell/settings.h"
#include "shell/tasklog.h"

namespace lumo {

void saveTaskLog(TaskLog &log, Settings &settings, Interaction &person, const QString &saveWindowText,
                   const QString &mediaWindowText)
{
    FileDialogRequest request;
    request.startFolder = settings.logFolder();
    request.title = QStringLiteral("保存记录文件");
    request.defaultSuffix = QStringLiteral("log");
    request.filter = saveFileFilter();
    request.filterIndex = LogFilterEntry;
    request.overwritePrompt = true;
    request.proposedName = proposedLogFileName(saveWindowText, mediaWindowText);

    const std::optional<QString> chosen = person.chooseSaveFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    settings.setLogFolder(folderOf(*chosen));
    const QString failure = log.saveToFile(*chosen);
    if (!failure.isEmpty())
        person.showMessage(failure);
}

} // namespace lumo
