#include "streamoptions.h"

#include <QCoreApplication>

namespace lumo::cli {

StreamOptions::StreamOptions()
    : streams("streams",
              QCoreApplication::translate("LumoCli",
                                          "Which streams to record: auto, all, best, or stream numbers "
                                          "such as 3,4 (default: settings, auto: the best of each group "
                                          "of alternatives when the programme has any, else all)."),
              "WHICH"),
      maxBitRate("max-bitrate",
                 QCoreApplication::translate(
                     "LumoCli", "Record the best streams whose rates add up to at most N bit/s (a k suffix: "
                                "kbit/s)."),
                 "N")
{}

std::optional<StreamRule> StreamOptions::rule(const QCommandLineParser &parser, QString &error) const
{
    if (parser.isSet(streams) && parser.isSet(maxBitRate)) {
        error = QCoreApplication::translate("LumoCli",
                                            "lumo-cli: --streams and --max-bitrate exclude each other\n");
        return std::nullopt;
    }
    if (parser.isSet(streams)) {
        const auto rule = streamRuleFromOption(parser.value(streams).trimmed());
        if (!rule)
            error = QCoreApplication::translate(
                        "LumoCli", "lumo-cli: --streams takes auto, all, best or stream numbers (1-127) "
                                   "such as 3,4, not \"%1\"\n")
                        .arg(parser.value(streams));
        return rule;
    }
    if (parser.isSet(maxBitRate)) {
        QString text = parser.value(maxBitRate).trimmed().toLower();
        quint64 scale = 1;
        if (text.endsWith(QLatin1Char('k'))) {
            text.chop(1);
            scale = 1000;
        }
        bool ok = false;
        const quint64 rate = text.toULongLong(&ok) * scale;
        if (!ok || rate == 0 || rate > 0xFFFFFFFFu) {
            error = QCoreApplication::translate(
                        "LumoCli",
                        "lumo-cli: --max-bitrate takes a rate in bit/s above 0, such as 400000 or 400k, "
                        "not \"%1\"\n")
                        .arg(parser.value(maxBitRate));
            return std::nullopt;
        }
        StreamRule rule;
        rule.kind = StreamRuleKind::MaxBitRate;
        rule.maxBitRate = quint32(rate);
        return rule;
    }
    return std::nullopt;
}

} // namespace lumo::cli
