#include "shell/language.h"

#include "shell/logging.h"
#include "shell/settings.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace lumo {

namespace {

// Built into the program; an installed copy is the fallback for a build without them.
constexpr QStringView embeddedFolder = u":/lumo/translations";

constexpr QStringView choiceAuto = u"auto";
constexpr QStringView choiceChinese = u"zh";
constexpr QStringView choiceEnglish = u"en";

Language installed = Language::Chinese;

// What the last call installed, owned by the application.
QPointer<QTranslator> ownTranslator;
QPointer<QTranslator> qtTranslator;

void removeInstalled()
{
    for (QPointer<QTranslator> *t : {&ownTranslator, &qtTranslator}) {
        if (*t) {
            QCoreApplication::removeTranslator(*t);
            delete t->data();
        }
    }
}

// Loads `name`.qm from the first folder that has it and installs it.
bool installTranslator(QPointer<QTranslator> &slot, const QString &name, const QStringList &folders)
{
    auto translator = new QTranslator(QCoreApplication::instance());
    for (const QString &folder : folders) {
        if (translator->load(name, folder)) {
            QCoreApplication::installTranslator(translator);
            slot = translator;
            return true;
        }
    }
    qCInfo(lcShell) << "no translation" << name << "in" << folders;
    delete translator;
    return false;
}

QStringList ownFolders()
{
    return {embeddedFolder.toString(), QStringLiteral(LUMO_TRANSLATIONS_DIR)};
}

} // namespace

Language chooseLanguage(const QByteArray &lumoLang, LanguageChoice stored, const QLocale &system)
{
    if (lumoLang == "zh")
        return Language::Chinese;
    if (lumoLang == "en")
        return Language::English;
    if (stored == LanguageChoice::Chinese)
        return Language::Chinese;
    if (stored == LanguageChoice::English)
        return Language::English;
    return system.language() == QLocale::Chinese ? Language::Chinese : Language::English;
}

bool installLanguage(Language language)
{
    removeInstalled();
    installed = language;
    if (language == Language::English)
        return installTranslator(ownTranslator, QStringLiteral("lumo_en"), ownFolders());
    // Our texts are Chinese already; only the command lines' texts and Qt's own need one.
    const bool own = installTranslator(ownTranslator, QStringLiteral("lumo_zh_CN"), ownFolders());
    const bool qt = installTranslator(qtTranslator, QStringLiteral("qtbase_zh_CN"),
                                      {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
    return own && qt;
}

Language setUpLanguage()
{
    Settings settings;
    settings.load();
    const Language language = chooseLanguage(qgetenv("LUMO_LANG"), settings.language(), QLocale::system());
    installLanguage(language);
    return language;
}

Language currentLanguage()
{
    return installed;
}

QString languageChoiceText(LanguageChoice choice)
{
    switch (choice) {
    case LanguageChoice::Chinese:
        return choiceChinese.toString();
    case LanguageChoice::English:
        return choiceEnglish.toString();
    case LanguageChoice::Auto:
        break;
    }
    return choiceAuto.toString();
}

LanguageChoice languageChoiceFromText(const QString &text)
{
    if (text == choiceChinese)
        return LanguageChoice::Chinese;
    if (text == choiceEnglish)
        return LanguageChoice::English;
    return LanguageChoice::Auto;
}

} // namespace lumo
