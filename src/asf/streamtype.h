#pragma once

#include <QtGlobal>

namespace lumo {

// What the server says the media is; the values are those its media description carries.
enum class StreamType : quint32
{
    Unknown = 0, // not reported
    Live = 1,    // a broadcast: recorded until stopped, its header repaired at the end
    Stored = 2,  // a seekable file: downloaded from start to end, resumable
};

} // namespace lumo
