#include "TEVPlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>

#include <climits>
#include <unistd.h>

namespace TEVQtLib {
namespace platform {

QString moduleFilePath()
{
    char buf[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    if (n > 0) {
        buf[n] = '\0';
        return QFile::decodeName(QByteArray(buf, int(n)));
    }
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QString();
}

QString normalizeSeparators(const QString& path)
{
    QString out = path;
    out.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return out;
}

QString joinPath(const QString& dir, const QString& name)
{
    QString d = normalizeSeparators(dir);
    QString n = normalizeSeparators(name);
    if (d.isEmpty())
        return n;
    while (d.size() > 1 && d.endsWith(QLatin1Char('/')))
        d.chop(1);
    while (n.startsWith(QLatin1Char('/')))
        n.remove(0, 1);
    if (n.isEmpty())
        return d;
    if (d == QLatin1String("/"))
        return d + n;
    return d + QLatin1Char('/') + n;
}

QString resolveCaseInsensitive(const QString& dir, const QString& name)
{
    const QString exact = joinPath(dir, name);
    if (QFileInfo::exists(exact))
        return exact;
    const int slash = exact.lastIndexOf(QLatin1Char('/'));
    const QString parent = slash >= 0 ? exact.left(slash == 0 ? 1 : slash) : QStringLiteral(".");
    const QString last = slash >= 0 ? exact.mid(slash + 1) : exact;
    if (last.isEmpty())
        return exact;
    QDir pd(parent);
    if (!pd.exists())
        return exact;
    const QStringList entries = pd.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        if (e.compare(last, Qt::CaseInsensitive) == 0)
            return slash >= 0 ? joinPath(parent, e) : e;
    }
    return exact;
}

QString resolveCaseInsensitive(const QString& path)
{
    return resolveCaseInsensitive(QString(), path);
}

QStringList cjkFallbackFamilies()
{
    return {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("Droid Sans Fallback"), QStringLiteral("DejaVu Sans")};
}

void installFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("Microsoft YaHei UI"), cjkFallbackFamilies());
    QFont::insertSubstitutions(QStringLiteral("Microsoft YaHei"), cjkFallbackFamilies());
}

} // namespace platform
} // namespace TEVQtLib
