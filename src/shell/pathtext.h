#pragma once

#include <QString>

namespace lumo {

// Pieces of paths and addresses, as the task log, the save-file proposal and the preview name
// them. Separators are "/", ":" and "\"; the first and the last character are never taken as
// one, so a trailing separator stays and very short texts pass through unchanged.
QString FileNameOf(const QString &text);
QString StripQuery(const QString &text);
QString StripExtension(const QString &text);
// Blanks and control characters (codes up to 32) off both ends.
QString TrimControls(const QString &text);

} // namespace lumo
