#pragma once

#include "shell/streamrule.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <optional>

namespace lumo::cli {

// --streams and --max-bitrate of `get`.
struct StreamOptions
{
    QCommandLineOption streams;
    QCommandLineOption maxBitRate;

    StreamOptions();
    // The rule they ask for; nullopt when neither is given (the settings decide). Sets error
    // for a value that is not one.
    std::optional<StreamRule> rule(const QCommandLineParser &parser, QString &error) const;
};

} // namespace lumo::cli
