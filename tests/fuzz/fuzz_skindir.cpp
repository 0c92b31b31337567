// Feeds bytes to the skin loader as a skin directory: the input is split into files (see writeFiles) written into
// a fresh folder, which is loaded as the skin ("style.json", the UTF-16 "language.txt") with the fonts of its
// "fonts" folder; then every file written is asked for as an image and an SVG through the skin folder and drawn,
// every style looked up and drawn, and every language made current. The default store is reset after each input.
#include "FuzzResources.h"

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzsupport::resourceApplication("fuzz_skindir");
    if (size > (1u << 20))
        return 0;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    rm->setScaleFactor(size % 3 == 0 ? 0.5f : 100.0f);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 0;
    QStringList names = fuzzsupport::writeFiles(data, size, dir.path());
    if (rm->setSkinDirPath(dir.path())) {
        rm->initFontRes(true);
        // Images are found by name in the skin folder and in its "images" folder.
        for (QString& name : names) {
            if (name.startsWith(QLatin1String("images/"), Qt::CaseInsensitive))
                name = name.mid(7);
        }
        fuzzsupport::touchImages(names);
        fuzzsupport::touchStore(rm->defaultStore(), false);
        fuzzsupport::touchLanguages();
    }
    fuzzsupport::resetDefaultStore();
    return 0;
}
