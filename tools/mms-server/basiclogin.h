#pragma once

#include "bytes.h"
#include "options.h"

#include <optional>
#include <QString>

namespace mmsserver {

struct Credentials
{
    QString user;
    QString password;
};

// Credentials from a BASIC token: base64("user:password"), perhaps after "Basic ", perhaps NUL-terminated.
std::optional<Credentials> basicCredentials(ByteView token);

// Whether they are the login that --auth asks for.
bool loginMatches(const ServerOptions &options, const std::optional<Credentials> &credentials);

} // namespace mmsserver
