#include "control/savefilechoice.h"

#include "control/address.h"
#include "mms/downloadtask.h"
#include "shell/filefilters.h"
#include "shell/interaction.h"
#include "shell/settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace lumo {

namespace {
QString createFailedText()
{
    return QCoreApplication::translate("SaveFileChoice", "创建保存文件时发生问题");
}
} // namespace

std::optional<QString> ProposedSaveName(const QString &urlText)
{
    // A percent-encoded name is proposed as the name it stands for.
    QString name = QUrl::fromPercentEncoding(StripQuery(FileNameOf(urlText)).toUtf8());
    name.replace(u'/', u'_');
    const AddressClass kind = ClassifyAddress(name);
    if (kind & OtherFile)
        return name + QStringLiteral("_live.asf");
    if (kind & MediaFile)
        return name;
    return std::nullopt;
}

SaveFileChoice PrepareSaveFile(DownloadTask &task, Interaction &person, Settings &settings,
                               const QString &urlText)
{
    const std::optional<QString> proposed = ProposedSaveName(urlText);
    if (!proposed) {
        person.showMessage(
            QCoreApplication::translate("SaveFileChoice", "文件的类型是非法的, 请检查你的地址输入"));
        return {};
    }
    const QString name = *proposed;
    // No overwrite question: an existing file gets the resume question instead.
    const std::optional<QString> chosen = person.chooseSaveFile(
        saveFileRequest(QCoreApplication::translate("SaveFileChoice", "创建 / 续传 保存文件"),
                        QStringLiteral("asf"), MediaFilterEntry, settings.saveFolder(), name, false));
    if (!chosen || chosen->isEmpty())
        return {};
    const QString path = *chosen;
    settings.setSaveFolder(folderOf(path));

    // A file that exists but cannot be measured counts as holding data.
    const QFileInfo info(path);
    const bool holdsData = info.exists() && (info.size() > 0 || !info.isReadable() || !info.isFile());

    if (holdsData) {
        switch (person.askResume(path)) {
        case ResumeChoice::Resume:
            task.ResumeMode = ResumeMode::Resume;
            if (!task.SaveFile.openExisting(path)) {
                person.showMessage(createFailedText());
                return {path, false};
            }
            return {path, true};
        case ResumeChoice::Cancel:
        case ResumeChoice::NoChoice:
            return {path, false};
        case ResumeChoice::Overwrite:
            break;
        }
    }

    task.ResumeMode = ResumeMode::New;
    QFile::remove(path);
    if (!task.SaveFile.createNew(path)) {
        person.showMessage(createFailedText());
        return {path, false};
    }
    return {path, true};
}

} // namespace lumo
