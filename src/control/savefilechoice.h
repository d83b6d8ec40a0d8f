#pragma once

#include <QString>

#include <optional>

namespace lumo {

class Interaction;
class Settings;
struct DownloadTask;

struct SaveFileChoice
{
    QString path;        // the file the person chose; empty when none was
    bool opened = false; // open in the task: the task may start
};

// The save file's name proposed for an address (its file name, a live point's with "_live.asf"
// added); nullopt when the address names no media that could be saved.
std::optional<QString> ProposedSaveName(const QString &urlText);

// Start's save-file step: asks for the save file (the name proposed from the address), asks
// whether to resume a file that already holds data, and opens it into the task (setting its
// ResumeMode). The chosen path is returned even when the task must not start (the resume
// question cancelled, the file not created), so the window can go on showing it; a message,
// where there is one, has been shown. Event thread.
SaveFileChoice PrepareSaveFile(DownloadTask &task, Interaction &person, Settings &settings,
                               const QString &urlText);

} // namespace lumo
