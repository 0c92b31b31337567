// Feeds arbitrary bytes to the dictionary loader and, when they load, exercises the lookups, the language
// switch and the missing-key log on the result.
#include "LanguageManager.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

using TEVQtLib::LanguageManager;

namespace {
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_dictionary";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = [] {
        qInstallMessageHandler(quiet);
        return new QCoreApplication(argc, argv);
    }();
    (void)app;

    LanguageManager* manager = LanguageManager::instance();
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    QString error;
    const bool loaded = manager->loadFromJson(bytes, &error);
    if (!loaded) {
        // Every refusal carries a message.
        if (error.isEmpty())
            __builtin_trap();
        return 0;
    }

    const QStringList languages = manager->languages();
    if (!languages.contains(manager->defaultLanguage()) || !languages.contains(manager->currentLanguage()))
        __builtin_trap();
    for (const QString& language : languages) {
        if (!manager->setLanguage(language) || manager->currentLanguage() != language)
            __builtin_trap();
        for (const QString& key : {QStringLiteral("k"), QStringLiteral("solar.nav.overview"), QString()}) {
            const bool known = manager->contains(key, QString());
            manager->contains(key, language);
            // A key no table holds is answered by the fallback, or by itself.
            if (!known && (manager->text(key, QStringLiteral("fallback")) != QStringLiteral("fallback")
                           || manager->text(key, QString()) != key))
                __builtin_trap();
            if (known && manager->text(key, QString()).isNull())
                __builtin_trap();
        }
    }
    if (manager->setLanguage(QStringLiteral("\x01no such language")))
        __builtin_trap();
    return 0;
}
