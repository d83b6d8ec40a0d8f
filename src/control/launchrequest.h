#pragma once

#include <QString>

namespace lumo {

// What `lumo ARGUMENT` asks for, whether typed, handed over by a browser or a file manager, or
// dropped on the main window.
enum class LaunchKind
{
    Address,      // a streaming or web address: it goes into the address box
    RedirectFile, // a local redirect list: the open flow reads it
    MediaFile,    // a local ASF file: its properties are shown
    Unknown,
};

struct LaunchRequest
{
    LaunchKind kind = LaunchKind::Unknown;
    QString text; // the address, or the local path (a file:// URL made a path)
};

LaunchRequest classifyLaunchArgument(const QString &argument);

} // namespace lumo
