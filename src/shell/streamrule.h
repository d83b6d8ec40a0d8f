#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace lumo {

// Which of a programme's streams a recording asks for.
enum class StreamRuleKind
{
    Auto,       // All when the header names no exclusion groups, else Best
    All,        // every stream the header lists
    Best,       // the best stream of each group of alternatives, and everything else
    MaxBitRate, // the best combination whose total rate fits maxBitRate
    List,       // the streams named, and no others
};

struct StreamRule
{
    StreamRuleKind kind = StreamRuleKind::Auto;
    quint32 maxBitRate = 0; // bit/s, for MaxBitRate
    QList<quint8> streams;  // stream numbers (1..127), for List

    bool operator==(const StreamRule &) const = default;
};

// The stored form: "auto", "all", "best", "max:N", "list:1,3"; nullopt for anything else.
std::optional<StreamRule> streamRuleFromText(QStringView text);
QString streamRuleText(const StreamRule &rule);

// The command line's --streams value: auto, all, best, or stream numbers joined by commas.
std::optional<StreamRule> streamRuleFromOption(QStringView text);

} // namespace lumo
