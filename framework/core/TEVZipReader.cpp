#include "TEVZipReader.h"

namespace TEVQtLib {

TEVZipReader* tevZipOpenFile(const char*, const char*) { return nullptr; }
TEVZipReader* tevZipOpenMemory(const void*, unsigned, const char*) { return nullptr; }
unsigned tevZipGetEntry(TEVZipReader*, int, TEVZipEntry*) { return TEVZipBadArgument; }
unsigned tevZipExtract(TEVZipReader*, int, void*, unsigned, unsigned*) { return TEVZipBadArgument; }
unsigned tevZipClose(TEVZipReader*) { return TEVZipBadArgument; }
unsigned tevZipLastResult() { return TEVZipBadArgument; }
unsigned tevZipReadEntry(TEVZipReader*, int, QByteArray& data, quint64*) { data.clear(); return TEVZipBadArgument; }
unsigned tevZipReadAll(TEVZipReader*, QVector<TEVZipFile>& files) { files.clear(); return TEVZipBadArgument; }

} // namespace TEVQtLib
