#include "LanguageManager.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <algorithm>

namespace TEVQtLib {

LanguageManager* LanguageManager::instance()
{
    static LanguageManager manager(nullptr);
    return &manager;
}

LanguageManager::LanguageManager(QObject* parent)
    : QObject(parent)
{
}

LanguageManager::~LanguageManager() = default;

bool LanguageManager::loadFromFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = tr("Unable to open language file '%1': %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray content = file.readAll();
    return loadFromJson(content, error);
}

bool LanguageManager::loadFromJson(const QByteArray& json, QString* error)
{
    const auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };

    // Qt's reader is strict JSON, refuses bytes that are not UTF-8 and bounds the nesting depth; its
    // error object names "no error occurred" for a document that parsed but is not an object.
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return fail(tr("Invalid language JSON: %1").arg(parseError.errorString()));

    const QJsonObject root = document.object();
    const QJsonValue defaultValue = root.value(QLatin1String("defaultLanguage"));
    const QString defaultLanguage = defaultValue.isString() ? defaultValue.toString() : QString();
    const QJsonValue languagesValue = root.value(QLatin1String("languages"));
    if (defaultLanguage.isEmpty() || !languagesValue.isObject())
        return fail(tr("Language JSON requires defaultLanguage and a languages object."));

    QHash<QString, QHash<QString, QString>> translations;
    const QJsonObject languages = languagesValue.toObject();
    for (auto language = languages.constBegin(); language != languages.constEnd(); ++language) {
        const QJsonValue tableValue = language.value();
        const QJsonObject table = tableValue.isObject() ? tableValue.toObject() : QJsonObject();
        if (table.isEmpty())
            return fail(tr("Language '%1' must contain at least one translation.").arg(language.key()));

        QHash<QString, QString>& texts = translations[language.key()];
        texts.reserve(table.size());
        for (auto entry = table.constBegin(); entry != table.constEnd(); ++entry) {
            const QJsonValue value = entry.value();
            if (!value.isString())
                return fail(tr("Translation '%1' in language '%2' must be a string.")
                                .arg(entry.key(), language.key()));
            texts.insert(entry.key(), value.toString());
        }
    }

    if (!translations.contains(defaultLanguage))
        return fail(tr("Default language '%1' does not exist in languages.").arg(defaultLanguage));

    const QString current = translations.contains(m_currentLanguage) ? m_currentLanguage : defaultLanguage;
    m_translations.swap(translations);
    m_defaultLanguage = defaultLanguage;
    m_currentLanguage = current;
    m_reportedMissing.clear();
    emit languageChanged(m_currentLanguage);
    return true;
}

bool LanguageManager::setLanguage(const QString& language)
{
    if (!m_translations.contains(language))
        return false;
    if (language == m_currentLanguage)
        return true;
    m_currentLanguage = language;
    m_reportedMissing.clear();
    emit languageChanged(m_currentLanguage);
    return true;
}

QString LanguageManager::currentLanguage() const
{
    return m_currentLanguage;
}

QString LanguageManager::defaultLanguage() const
{
    return m_defaultLanguage;
}

QStringList LanguageManager::languages() const
{
    QStringList names = m_translations.keys();
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int byCase = a.compare(b, Qt::CaseInsensitive);
        // Names equal but for case keep one fixed order.
        return byCase != 0 ? byCase < 0 : a < b;
    });
    return names;
}

bool LanguageManager::contains(const QString& key, const QString& language) const
{
    const QString asked = language.isEmpty() ? m_currentLanguage : language;
    const auto table = m_translations.constFind(asked);
    if (table != m_translations.constEnd() && table->contains(key))
        return true;
    if (language.isEmpty() && m_currentLanguage != m_defaultLanguage) {
        const auto fallback = m_translations.constFind(m_defaultLanguage);
        return fallback != m_translations.constEnd() && fallback->contains(key);
    }
    return false;
}

QString LanguageManager::text(const QString& key, const QString& fallback) const
{
    QString found = lookup(m_currentLanguage, key);
    if (found.isNull() && m_currentLanguage != m_defaultLanguage)
        found = lookup(m_defaultLanguage, key);
    if (!found.isNull())
        return found;
    if (!fallback.isNull())
        return fallback;

    const QString entry = m_currentLanguage + QLatin1Char(':') + key;
    if (!m_reportedMissing.contains(entry)) {
        m_reportedMissing.insert(entry);
        qWarning() << "Missing translation key" << key << "for language" << m_currentLanguage;
    }
    return key;
}

QString LanguageManager::lookup(const QString& language, const QString& key) const
{
    const auto table = m_translations.constFind(language);
    if (table == m_translations.constEnd())
        return QString();
    const auto entry = table->constFind(key);
    if (entry == table->constEnd())
        return QString();
    // A stored empty text is a text: keep it non-null so that it is not mistaken for a missing one.
    return entry->isNull() ? QString(QLatin1String("")) : *entry;
}

} // namespace TEVQtLib
