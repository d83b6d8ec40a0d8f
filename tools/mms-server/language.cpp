#include "language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace mmsserver {

void setUpLanguage()
{
    const QByteArray wanted = qgetenv("LUMO_LANG");
    const bool chinese =
        wanted == "zh" || (wanted != "en" && QLocale::system().language() == QLocale::Chinese);
    if (!chinese)
        return;
    // Ours, built in, and Qt's own (the parser's "Usage:" and "Options:").
    const QStringList names{QStringLiteral(":/lumo/translations/lumo-mms-server_zh_CN.qm"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                                QStringLiteral("/qtbase_zh_CN.qm")};
    for (const QString &name : names) {
        auto translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(name))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace mmsserver
