#pragma once

#include <QString>

#include <optional>

namespace lumo {

class Interaction;
class Settings;
struct DownloadTask;

// Start's save-file step: asks for the save file (the name proposed from the address), asks
// whether to resume a file that already holds data, and opens it into the task (setting its
// ResumeMode). Returns the chosen path, or nullopt when the task must not start (a message,
// where there is one, has been shown). Event thread.
std::optional<QString> PrepareSaveFile(DownloadTask &task, Interaction &person, Settings &settings,
                                       const QString &urlText);

} // namespace lumo
