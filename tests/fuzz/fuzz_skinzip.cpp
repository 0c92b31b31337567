// Feeds bytes to the skin loader as a skin archive, from memory and from a file (which also reads the UTF-16
// "language.txt"): fonts registered, styles filed, the dictionary read; then every file of the skin is asked for
// as an image and an SVG and drawn, every style looked up and drawn, and every language made current. The default
// store is reset after each input.
#include "FuzzResources.h"

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

namespace {

const QString& archivePath()
{
    static QTemporaryDir* dir = new QTemporaryDir;
    static const QString path = dir->filePath(QStringLiteral("skin.zip"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzsupport::resourceApplication("fuzz_skinzip");
    if (size > (1u << 20))
        return 0;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    rm->setScaleFactor(size % 3 == 0 ? 0.5f : 100.0f);
    const char* bytes = reinterpret_cast<const char*>(data);
    bool loaded = rm->loadSkinFile(bytes, int(size));
    const QString& path = archivePath();
    if (fuzzsupport::writeBytes(path, bytes, qint64(size)))
        loaded = rm->loadSkinFile(path) || loaded;
    if (loaded) {
        fuzzsupport::touchImages(fuzzsupport::fileNames(rm->defaultStore()));
        fuzzsupport::touchStore(rm->defaultStore(), false);
        fuzzsupport::touchLanguages();
    }
    fuzzsupport::resetDefaultStore();
    return 0;
}
