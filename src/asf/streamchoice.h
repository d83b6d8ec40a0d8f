#pragma once

#include "asf/streamlist.h"
#include "shell/streamrule.h"

#include <QByteArray>
#include <QList>

#include <optional>

namespace lumo {

// One stream of the header and whether the recording asks for it.
struct StreamPick
{
    quint8 number = 0;
    bool chosen = true;

    bool operator==(const StreamPick &) const = default;
};

// What a rule made of a stream list: every stream of the list, in its order.
struct StreamChoice
{
    StreamRuleKind rule = StreamRuleKind::All; // the rule applied (Auto resolved)
    QList<StreamPick> picks;

    bool dropsAny() const;
    bool anyChosen() const;
    bool chosen(quint8 number) const;
    QList<quint8> numbers(bool chosen) const;
    // The sum of the chosen streams' rates (bit/s); streams without a rate count 0.
    quint64 chosenBitRate(const StreamList &list) const;
};

// Applies the rule. Groups of alternatives are the header's bit-rate (and unnamed) exclusion
// groups, and the video streams that no group names, which a player also shows one of;
// language groups keep every member. Of alternatives the higher rate is better, then the
// larger picture, then the later stream. Streams named by a List rule that the header lacks
// are ignored; the choice may then hold nothing.
StreamChoice ChooseStreams(const StreamList &list, const StreamRule &rule);

// The choice a recording states in its header (see StreamChoicePatches), or nullopt when the
// header states none: no stream has its rates cleared, or the Maximum Bitrate disagrees.
std::optional<StreamChoice> ChoiceStatedInHeader(const StreamList &list);

// Whether a header can state a choice: some stream has a rate field.
bool HeaderCanStateChoice(const StreamList &list);

struct HeaderPatch
{
    qint64 offset = 0; // into the header
    QByteArray bytes;
};

// The header changes that make a recording state only what it holds: the dropped streams' rate
// fields (Stream Bitrate Properties record, Extended Stream Properties data and alternate
// rates) read 0, and the File Properties' Maximum Bitrate is the chosen streams' sum. Nothing
// when no stream is dropped. The objects and their sizes stay.
QList<HeaderPatch> StreamChoicePatches(const StreamList &list, const StreamChoice &choice);

} // namespace lumo
