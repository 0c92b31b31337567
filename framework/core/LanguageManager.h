#pragma once
// The process-wide dictionary of user-visible texts: language -> (key -> text), a default and a current
// language, lookups with a fixed fallback order and a signal on every language switch.
//
// Dictionary document:
//   { "defaultLanguage": "en-US",
//     "languages": { "en-US": { "solar.nav.overview": "Overview", ... },
//                    "zh-CN": { "solar.nav.overview": "...", ... } } }
// Every language holds at least one key, every value is a string, and the default language is one of them.
#include "TEVGlobal.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

namespace TEVQtLib {

class TEV_EXPORT LanguageManager : public QObject
{
    Q_OBJECT
public:
    // The one instance, created on first use and destroyed at process exit. GUI thread only.
    static LanguageManager* instance();

    // Reads the whole file (a Qt resource path ":/..." works too) and hands it to loadFromJson.
    // On failure returns false, stores the message in error when it is not null and keeps the
    // previously loaded dictionary.
    bool loadFromFile(const QString& path, QString* error = nullptr);
    // Validates the whole document before anything is replaced. On success the current language is
    // kept when the new dictionary has it, else it becomes the default language; languageChanged is
    // emitted in both cases.
    bool loadFromJson(const QByteArray& json, QString* error = nullptr);

    // False for a language the dictionary does not hold; true without a signal for the current one;
    // otherwise switches and emits languageChanged.
    bool setLanguage(const QString& language);

    QString currentLanguage() const;
    QString defaultLanguage() const;
    // Language names sorted ascending, case-insensitively.
    QStringList languages() const;

    // Whether language (the current language when empty) holds key. Only with an empty language does
    // the default language answer too.
    bool contains(const QString& key, const QString& language = QString()) const;

    // key's text in the current language, else in the default language, else fallback when it is not
    // a null string. Failing all three, the key is logged once per language and key (until the next
    // switch or load) and returned itself.
    QString text(const QString& key, const QString& fallback = QString()) const;

signals:
    void languageChanged(const QString& language);

private:
    explicit LanguageManager(QObject* parent = nullptr);
    ~LanguageManager() override;
    Q_DISABLE_COPY(LanguageManager)

    // The text, or a null string when the language or the key is absent.
    QString lookup(const QString& language, const QString& key) const;

    QHash<QString, QHash<QString, QString>> m_translations;
    QString m_defaultLanguage;
    QString m_currentLanguage;
    // "language:key" entries already logged as missing.
    mutable QSet<QString> m_reportedMissing;
};

} // namespace TEVQtLib
