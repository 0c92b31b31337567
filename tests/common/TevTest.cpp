#include "TevTest.h"

#include "TEVPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QStyleFactory>

namespace tevtest {

void setUpApplication(QApplication& app)
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    TEVQtLib::platform::installFontSubstitutions();
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(9);
    QApplication::setFont(f);
    Q_UNUSED(app);
}

QString dataPath(const QString& relative)
{
    return QDir(QStringLiteral(TEV_TEST_DATA_DIR)).filePath(relative);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool keepRender(const QImage& image, const QString& name)
{
    const QString dir = qEnvironmentVariable("TEV_RENDER_DIR");
    if (dir.isEmpty())
        return true;
    QDir().mkpath(dir);
    return image.save(QDir(dir).filePath(name));
}

} // namespace tevtest
