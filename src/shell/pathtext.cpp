#include "shell/pathtext.h"

namespace lumo {

namespace {

// Scans from the second-to-last character down to the second.
qsizetype lastInner(const QString &text, auto isMatch)
{
    for (qsizetype i = text.size() - 2; i >= 1; --i) {
        if (isMatch(text[i]))
            return i;
    }
    return -1;
}

} // namespace

QString FileNameOf(const QString &text)
{
    const qsizetype i = lastInner(text, [](QChar c) { return c == u'/' || c == u':' || c == u'\\'; });
    return i < 0 ? text : text.mid(i + 1);
}

QString StripQuery(const QString &text)
{
    const qsizetype i = lastInner(text, [](QChar c) { return c == u'?'; });
    return i < 0 ? text : text.left(i);
}

QString StripExtension(const QString &text)
{
    const qsizetype i = lastInner(text, [](QChar c) { return c == u'.'; });
    return i < 0 ? text : text.left(i);
}

QString TrimControls(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace lumo
