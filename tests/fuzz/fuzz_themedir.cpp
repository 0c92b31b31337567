// Feeds bytes to the theme loader as a theme directory: the input is split into files (see writeFiles) written
// into a fresh folder, which is loaded as a theme; then every file of the loaded theme is asked for as an image
// and an SVG and drawn, every style looked up and drawn, every theme element looked up.
#include "FuzzResources.h"

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzsupport::resourceApplication("fuzz_themedir");
    if (size > (1u << 20))
        return 0;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    rm->setScaleFactor(size % 3 == 0 ? 0.5f : 100.0f);
    // A folder of its own for every input: loading the folder of the theme in use again would do nothing.
    QTemporaryDir dir;
    if (!dir.isValid())
        return 0;
    fuzzsupport::writeFiles(data, size, dir.path());
    if (rm->loadThemeDir(dir.path())) {
        TEVQResourceManagerImpl* theme = rm->themeStore();
        fuzzsupport::touchImages(fuzzsupport::fileNames(theme));
        fuzzsupport::touchStore(theme, true);
    }
    return 0;
}
