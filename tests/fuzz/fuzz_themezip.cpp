// Feeds bytes to the theme loader as a theme archive: the archive read under the reader's caps, the style file
// parsed and filed, "theme.json" parsed and indexed; then every file of the loaded theme is asked for as an image
// and an SVG and drawn, every style looked up and drawn, every theme element looked up. Nothing may crash, and no
// image may be decoded beyond the resource manager's caps.
#include "FuzzResources.h"

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

namespace {

const QString& archivePath()
{
    static QTemporaryDir* dir = new QTemporaryDir;
    static const QString path = dir->filePath(QStringLiteral("theme.zip"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzsupport::resourceApplication("fuzz_themezip");
    if (size > (1u << 20))
        return 0;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    // The size picks the scale factor, which decides whether images and margins shrink.
    rm->setScaleFactor(size % 3 == 0 ? 0.5f : 100.0f);
    const QString& path = archivePath();
    if (!fuzzsupport::writeBytes(path, reinterpret_cast<const char*>(data), qint64(size)))
        return 0;
    if (rm->loadThemeFile(path)) {
        TEVQResourceManagerImpl* theme = rm->themeStore();
        fuzzsupport::touchImages(fuzzsupport::fileNames(theme));
        fuzzsupport::touchStore(theme, true);
    }
    return 0;
}
