#include "mms/bytes.h"

#include "shell/interaction.h"

namespace lumo {

QString ReadU32RangeMessage(qint64 position, qint64 length)
{
    return QStringLiteral("数据超出范围 - 4字节到长函数: %1 : %2").arg(position).arg(length);
}

bool ReadU32(QByteArrayView bytes, qint64 position, quint32 &out, Interaction *person)
{
    if (position >= 1 && bytes.size() >= position + 3) {
        out = le32(bytes.data() + position - 1);
        return true;
    }
    if (person)
        person->showMessage(ReadU32RangeMessage(position, bytes.size()));
    return false;
}

} // namespace lumo
