#include "LanguageManager.h"

#include "TEVJson.h"

#include <QDebug>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

namespace TEVQtLib {

namespace {

// Offset of the first byte that is not part of well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF), or -1 when all of [begin, end) is well-formed.
qint64 firstInvalidUtf8(const char* begin, const char* end)
{
    const auto* p = reinterpret_cast<const unsigned char*>(begin);
    const auto* const e = reinterpret_cast<const unsigned char*>(end);
    const auto* const start = p;
    while (p < e) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80; // bounds of the second byte
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0; // overlong
            else if (c == 0xED)
                high = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90; // overlong
            else if (c == 0xF4)
                high = 0x8F; // above U+10FFFF
        } else {
            return p - start;
        }
        if (e - p < length || p[1] < low || p[1] > high)
            return p - start;
        for (int i = 2; i < length; ++i) {
            if (p[i] < 0x80 || p[i] > 0xBF)
                return p - start;
        }
        p += length;
    }
    return -1;
}

} // namespace

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
    const auto invalid = [&fail](const QString& reason) {
        return fail(tr("Invalid language JSON: %1").arg(reason));
    };

    const char* begin = json.constData();
    const char* const end = begin + json.size();
    // Editors on some systems start a UTF-8 file with a byte-order mark; it is not part of the document.
    if (end - begin >= 3 && std::memcmp(begin, "\xEF\xBB\xBF", 3) == 0)
        begin += 3;
    const qint64 badByte = firstInvalidUtf8(begin, end);
    if (badByte >= 0)
        return invalid(QStringLiteral("invalid UTF-8 at byte %1").arg(badByte + (begin - json.constData())));
    Json::Value root;
    std::string parseError;
    if (!json::parse(begin, end, root, &parseError))
        return invalid(json::toQString(parseError).simplified());
    if (!json::isObject(root))
        return invalid(QStringLiteral("the root is not an object"));

    const std::optional<std::string> defaultName = json::toString(json::get(root, "defaultLanguage"));
    const Json::Value* languages = json::find(root, "languages");
    if (!defaultName || defaultName->empty() || !languages || !json::isObject(*languages))
        return fail(tr("Language JSON requires defaultLanguage and a languages object."));
    const QString defaultLanguage = json::toQString(*defaultName);

    // Members come in the order of their names.
    QHash<QString, QHash<QString, QString>> translations;
    for (auto language = languages->begin(); language != languages->end(); ++language) {
        const QString languageName = json::toQString(language.name());
        const Json::Value& table = *language;
        if (!json::isObject(table) || table.empty())
            return fail(tr("Language '%1' must contain at least one translation.").arg(languageName));

        QHash<QString, QString>& texts = translations[languageName];
        texts.reserve(int(table.size()));
        for (auto entry = table.begin(); entry != table.end(); ++entry) {
            const std::optional<std::string> value = json::toString(*entry);
            if (!value)
                return fail(tr("Translation '%1' in language '%2' must be a string.")
                                .arg(json::toQString(entry.name()), languageName));
            texts.insert(json::toQString(entry.name()), json::toQString(*value));
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
