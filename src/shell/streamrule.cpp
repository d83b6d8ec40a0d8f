#include "shell/streamrule.h"

namespace lumo {

namespace {

constexpr quint8 highestStreamNumber = 127;

// "1,3,4": each a stream number, none twice; nullopt for anything else.
std::optional<QList<quint8>> numberList(QStringView text)
{
    QList<quint8> out;
    for (QStringView part : text.split(u',')) {
        if (part.trimmed().isEmpty())
            continue;
        bool ok = false;
        const uint number = part.trimmed().toUInt(&ok);
        if (!ok || number == 0 || number > highestStreamNumber)
            return std::nullopt;
        if (!out.contains(quint8(number)))
            out.append(quint8(number));
    }
    if (out.isEmpty())
        return std::nullopt;
    return out;
}

} // namespace

std::optional<StreamRule> streamRuleFromText(QStringView text)
{
    StreamRule rule;
    if (text == u"auto")
        return rule;
    if (text == u"all") {
        rule.kind = StreamRuleKind::All;
        return rule;
    }
    if (text == u"best") {
        rule.kind = StreamRuleKind::Best;
        return rule;
    }
    if (text.startsWith(u"max:")) {
        bool ok = false;
        rule.maxBitRate = text.mid(4).toUInt(&ok);
        if (!ok || rule.maxBitRate == 0)
            return std::nullopt;
        rule.kind = StreamRuleKind::MaxBitRate;
        return rule;
    }
    if (text.startsWith(u"list:")) {
        const auto numbers = numberList(text.mid(5));
        if (!numbers)
            return std::nullopt;
        rule.kind = StreamRuleKind::List;
        rule.streams = *numbers;
        return rule;
    }
    return std::nullopt;
}

QString streamRuleText(const StreamRule &rule)
{
    switch (rule.kind) {
    case StreamRuleKind::Auto:
        break;
    case StreamRuleKind::All:
        return QStringLiteral("all");
    case StreamRuleKind::Best:
        return QStringLiteral("best");
    case StreamRuleKind::MaxBitRate:
        return QStringLiteral("max:%1").arg(rule.maxBitRate);
    case StreamRuleKind::List: {
        QStringList numbers;
        for (quint8 n : rule.streams)
            numbers << QString::number(n);
        return QStringLiteral("list:") + numbers.join(QLatin1Char(','));
    }
    }
    return QStringLiteral("auto");
}

std::optional<StreamRule> streamRuleFromOption(QStringView text)
{
    if (text == u"auto" || text == u"all" || text == u"best")
        return streamRuleFromText(text);
    const auto numbers = numberList(text);
    if (!numbers)
        return std::nullopt;
    StreamRule rule;
    rule.kind = StreamRuleKind::List;
    rule.streams = *numbers;
    return rule;
}

} // namespace lumo
