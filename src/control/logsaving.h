#pragma once

#include <QString>

namespace lumo {

class Interaction;
class Settings;
class TaskLog;

// The "save log" command: asks for the file (proposing a name from the save file or the open
// location), remembers its folder and writes the log, telling the person when that fails.
void saveTaskLog(TaskLog &log, Settings &settings, Interaction &person, const QString &saveWindowText,
                 const QString &mediaWindowText);

} // namespace lumo
