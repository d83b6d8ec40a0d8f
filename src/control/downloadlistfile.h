#pragma once

#include <QString>

namespace lumo {

class DownloadList;

// The download list's file, beside the settings file.
QString downloadListFilePath();

struct ListFileRead
{
    enum class Result
    {
        Missing, // no file yet: the list stays empty
        Read,
        Damaged, // set aside (setAsidePath) and an empty list used
    };
    Result result = Result::Missing;
    QString setAsidePath; // where a damaged file went; empty when it could not be moved
};

// Reads the list from `path`. A file that cannot be read back whole is moved aside, so that
// the next write does not destroy what a person may still want to look at.
ListFileRead readDownloadList(DownloadList &list, const QString &path);

// Writes the list to `path` in one step (a crash leaves the old file or the new one, never a
// mix), readable by its owner only: addresses may hold logins. Returns why it failed, or "".
QString writeDownloadList(const DownloadList &list, const QString &path);

} // namespace lumo
