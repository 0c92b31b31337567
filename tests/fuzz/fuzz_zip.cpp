// Opens the input as an archive in memory, lists every entry and extracts each one, both whole (checked) and in
// small chunks, then reads the archive as a theme loader would.
#include "TEVZipReader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace TEVQtLib;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    // Exact-size copy, so that reads past the end are caught.
    std::vector<uint8_t> bytes(data, data + size);
    TEVZipReader* zip = tevZipOpenMemory(bytes.empty() ? nullptr : bytes.data(), unsigned(bytes.size()));
    if (!zip)
        return 0;
    TEVZipEntry entry;
    // The whole entries share the total budget of the checked reader, as in a theme or skin load: an archive
    // whose entries overlap would otherwise inflate the same data up to the per-entry cap for every entry.
    quint64 budget = TEVZipMaxTotalSize;
    if (tevZipGetEntry(zip, -1, &entry) == TEVZipOk) {
        const int count = entry.index < 64 ? entry.index : 64;
        for (int i = 0; i < count; ++i) {
            if (tevZipGetEntry(zip, i, &entry) != TEVZipOk)
                continue;
            QByteArray whole;
            tevZipReadEntry(zip, i, whole, &budget);
            char chunk[7];
            unsigned produced = 0;
            for (int rounds = 0; rounds < 4096; ++rounds) {
                if (tevZipExtract(zip, i, chunk, sizeof chunk, &produced) != TEVZipMoreData)
                    break;
            }
        }
        tevZipExtract(zip, -1, nullptr, 0);
        QVector<TEVZipFile> files;
        tevZipReadAll(zip, files);
    }
    tevZipClose(zip);
    return 0;
}
