#include "asf/streamchoice.h"

#include "shell/bytereader.h"

#include <algorithm>
#include <tuple>

namespace lumo {

namespace {

// Steps of the combination search for MaxBitRate; a hostile header cannot make it run long.
constexpr int maxSearchSteps = 1 << 20;

using Group = QList<const AsfStream *>;

// Of alternatives, which is better.
auto rank(const AsfStream *s)
{
    return std::make_tuple(s->bitRate, quint64(s->width) * s->height, s->number);
}

// The groups a rule picks one stream from; each stream in one group at most, every group
// sorted from worst to best.
QList<Group> alternatives(const StreamList &list)
{
    QList<Group> groups;
    QList<quint8> placed;
    for (const ExclusionGroup &g : list.groups) {
        if (g.kind == ExclusionKind::Language)
            continue;
        Group group;
        for (quint8 number : g.streams) {
            const AsfStream *s = list.find(number);
            if (s && !placed.contains(number)) {
                group.append(s);
                placed.append(number);
            }
        }
        if (group.size() > 1)
            groups.append(group);
    }
    Group video;
    for (const AsfStream &s : list.streams) {
        if (s.kind == StreamKind::Video && list.groupsOf(s.number).isEmpty())
            video.append(&s);
    }
    if (video.size() > 1)
        groups.append(video);
    for (Group &g : groups)
        std::sort(g.begin(), g.end(),
                  [](const AsfStream *a, const AsfStream *b) { return rank(a) < rank(b); });
    return groups;
}

// One stream of each group: the choice whose total rate is highest within the limit, or the
// cheapest when none fits.
QList<const AsfStream *> fitting(const QList<Group> &groups, quint64 fixedRate, quint64 limit)
{
    QList<const AsfStream *> current, best;
    quint64 bestTotal = 0;
    bool found = false;
    int steps = 0;
    auto search = [&](auto &&self, qsizetype depth, quint64 total) -> void {
        if (++steps > maxSearchSteps || total > limit || (found && bestTotal == limit))
            return;
        if (depth == groups.size()) {
            if (!found || total > bestTotal) {
                best = current;
                bestTotal = total;
                found = true;
            }
            return;
        }
        for (const AsfStream *s : groups[depth]) {
            current.append(s);
            self(self, depth + 1, total + s->bitRate);
            current.removeLast();
        }
    };
    search(search, 0, fixedRate);
    if (found)
        return best;
    QList<const AsfStream *> cheapest;
    for (const Group &g : groups)
        cheapest.append(g.first());
    return cheapest;
}

} // namespace

bool StreamChoice::dropsAny() const
{
    return std::any_of(picks.begin(), picks.end(), [](const StreamPick &p) { return !p.chosen; });
}

bool StreamChoice::anyChosen() const
{
    return std::any_of(picks.begin(), picks.end(), [](const StreamPick &p) { return p.chosen; });
}

bool StreamChoice::chosen(quint8 number) const
{
    for (const StreamPick &p : picks) {
        if (p.number == number)
            return p.chosen;
    }
    return false;
}

QList<quint8> StreamChoice::numbers(bool chosen) const
{
    QList<quint8> out;
    for (const StreamPick &p : picks) {
        if (p.chosen == chosen)
            out.append(p.number);
    }
    return out;
}

quint64 StreamChoice::chosenBitRate(const StreamList &list) const
{
    quint64 sum = 0;
    for (const StreamPick &p : picks) {
        if (const AsfStream *s = list.find(p.number); s && p.chosen)
            sum += s->bitRate;
    }
    return sum;
}

StreamChoice ChooseStreams(const StreamList &list, const StreamRule &rule)
{
    StreamChoice choice;
    choice.rule = rule.kind;
    if (rule.kind == StreamRuleKind::Auto)
        choice.rule = list.groups.isEmpty() ? StreamRuleKind::All : StreamRuleKind::Best;
    for (const AsfStream &s : list.streams)
        choice.picks.append(
            {s.number, choice.rule != StreamRuleKind::List || rule.streams.contains(s.number)});
    if (choice.rule != StreamRuleKind::Best && choice.rule != StreamRuleKind::MaxBitRate)
        return choice;

    const QList<Group> groups = alternatives(list);
    QList<const AsfStream *> kept;
    if (choice.rule == StreamRuleKind::Best) {
        for (const Group &g : groups)
            kept.append(g.last());
    } else {
        quint64 fixedRate = 0;
        for (const AsfStream &s : list.streams) {
            const bool grouped =
                std::any_of(groups.begin(), groups.end(), [&](const Group &g) { return g.contains(&s); });
            if (!grouped)
                fixedRate += s.bitRate;
        }
        kept = fitting(groups, fixedRate, rule.maxBitRate);
    }
    for (const Group &g : groups) {
        for (const AsfStream *s : g) {
            for (StreamPick &p : choice.picks) {
                if (p.number == s->number)
                    p.chosen = kept.contains(s);
            }
        }
    }
    return choice;
}

bool HeaderCanStateChoice(const StreamList &list)
{
    return std::any_of(list.streams.begin(), list.streams.end(),
                       [](const AsfStream &s) { return s.bitrateRecordAt >= 0 || s.dataBitrateAt >= 0; });
}

std::optional<StreamChoice> ChoiceStatedInHeader(const StreamList &list)
{
    StreamChoice choice;
    choice.rule = StreamRuleKind::List;
    for (const AsfStream &s : list.streams)
        choice.picks.append({s.number, !s.rateCleared});
    if (!choice.dropsAny() || !choice.anyChosen())
        return std::nullopt;
    // A recording writes the sum of what it kept; a header that says otherwise was not made so.
    const quint64 kept = choice.chosenBitRate(list);
    if (kept != 0 && list.maxBitrateAt >= 0 && kept != list.maxBitrate)
        return std::nullopt;
    return choice;
}

QList<HeaderPatch> StreamChoicePatches(const StreamList &list, const StreamChoice &choice)
{
    QList<HeaderPatch> patches;
    if (!choice.dropsAny())
        return patches;
    const QByteArray zero = U32ToBytes(0);
    for (const AsfStream &s : list.streams) {
        if (choice.chosen(s.number))
            continue;
        for (qint64 at : {s.bitrateRecordAt, s.dataBitrateAt, s.alternateBitrateAt}) {
            if (at >= 0)
                patches.append({at, zero});
        }
    }
    const quint64 kept = choice.chosenBitRate(list);
    if (kept != 0 && list.maxBitrateAt >= 0)
        patches.append({list.maxBitrateAt, U32ToBytes(quint32(qMin<quint64>(kept, 0xFFFFFFFFu)))});
    return patches;
}

} // namespace lumo
