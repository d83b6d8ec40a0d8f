#pragma once

#include "shell/interaction.h"

#include <QCoreApplication>
#include <QString>

namespace lumo {

// The filters of the program's file dialogs, in Qt's ";;" form.

// Save dialogs (save file, log, redirect file): entry 1 media, 2 redirect files, 3 logs, 4 all.
inline QString saveFileFilter()
{
    return QCoreApplication::translate("FileFilters", "Windows 媒体文件 (*.asf *.wmv *.wma *.wm);;"
                                                      "WM 重定向文件 (*.asx *.wmx *.wax *.wvx);;"
                                                      "Lumo 记录文件 (*.log);;"
                                                      "所有文件 (*)");
}
enum SaveFilterEntry
{
    MediaFilterEntry = 1,
    RedirectFilterEntry = 2,
    LogFilterEntry = 3,
};

// A save dialog on the filter above, showing `entry` first.
inline FileDialogRequest saveFileRequest(const QString &title, const QString &suffix, SaveFilterEntry entry,
                                         const QString &startFolder, const QString &proposedName,
                                         bool overwritePrompt)
{
    FileDialogRequest request;
    request.title = title;
    request.defaultSuffix = suffix;
    request.filter = saveFileFilter();
    request.filterIndex = entry;
    request.startFolder = startFolder;
    request.proposedName = proposedName;
    request.overwritePrompt = overwritePrompt;
    return request;
}

// The open window's browse dialog.
inline QString openFileFilter()
{
    return QCoreApplication::translate(
        "FileFilters", "所有 WM 和 Lumo 记录文件 (*.asf *.wmv *.wma *.wa *.asx *.wmx *.wax *.wvx *.log);;"
                       "WM 媒体文件 (*.asf *.wmv *.wma *.wa);;"
                       "WM 重定向文件 (*.asx *.wmx *.wax *.wvx);;"
                       "Lumo 记录文件 (*.log);;"
                       "所有文件 (*)");
}

} // namespace lumo
