#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

namespace lumo {

// The languages the program speaks. Its own texts are written in Chinese; English comes
// from a translation, as do Qt's own texts (standard buttons, file dialogs) in Chinese.
enum class Language
{
    Chinese,
    English,
};

// The stored choice of the settings window.
enum class LanguageChoice
{
    Auto, // follow the system locale
    Chinese,
    English,
};

// The language of this run: LUMO_LANG ("zh" or "en") first, then the stored choice, then the
// system locale (a Chinese locale gives Chinese, every other one English). A LUMO_LANG of any
// other value is ignored.
Language chooseLanguage(const QByteArray &lumoLang, LanguageChoice stored, const QLocale &system);

// Installs the translations of `language` into the running application, replacing those an
// earlier call installed. Returns false when a translation that should be there was not found
// (the program then shows that text in its source language).
bool installLanguage(Language language);

// Chooses the language from the environment, the settings file and the system locale, and
// installs it. Every program calls this once its QCoreApplication exists.
Language setUpLanguage();

// The language installed last (Chinese before any call).
Language currentLanguage();

// The settings file's words for a choice, and back; anything else reads as Auto.
QString languageChoiceText(LanguageChoice choice);
LanguageChoice languageChoiceFromText(const QString &text);

} // namespace lumo
