#pragma once
// Reading zip archives (themes and skins) from a file or from a block of memory, on top of minizip and zlib.
//
// The low-level interface works on an opaque handle: open, ask for entry descriptions, extract an entry into a
// caller's buffer (in chunks), close. Every call returns a result code and also leaves it in a process-wide
// last-result variable (tevZipLastResult).
//
// Nothing read from an archive is trusted. Names are sanitised and are only ever used as in-memory keys: this
// layer never writes a file. Loaders should read entries through tevZipReadEntry / tevZipReadAll, which cap the
// declared sizes, require the produced bytes to match the declared size and check the CRC-32, so that a
// failed entry can fail the whole load.
#include "TEVGlobal.h"

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

namespace TEVQtLib {

// Result codes.
enum TEVZipResult : unsigned {
    TEVZipOk = 0x0,                  // success
    TEVZipCannotOpen = 0x200,        // the archive file cannot be opened, or the data is not a readable archive
    TEVZipMoreData = 0x600,          // the caller's buffer is full and more data of the entry remain
    TEVZipBadHeader = 0x700,         // the entry's local header does not match its directory record
    TEVZipReadFailed = 0x800,        // reading or seeking the archive failed
    TEVZipPassword = 0x1000,         // the entry needs a (correct) password
    TEVZipCrcMismatch = 0x2000,      // the extracted bytes do not match the entry's CRC-32
    TEVZipSizeMismatch = 0x4000,     // the extracted bytes are more or fewer than the entry declares
    TEVZipBadArgument = 0x10000,     // null handle, null buffer, index out of range
    TEVZipTooLarge = 0x20000,        // a declared size is over the per-entry or the total cap
    TEVZipNotForReading = 0x80000,   // the handle is not an archive opened for reading
    TEVZipInflateFailed = 0x5000000, // the compressed data could not be inflated
};

// Caps on what the checked readers accept: the uncompressed size of one entry and the sum over an archive.
constexpr quint32 TEVZipMaxEntrySize = 64u * 1024u * 1024u;
constexpr quint64 TEVZipMaxTotalSize = 256ull * 1024u * 1024u;

// Longest entry name kept (bytes, without the terminating zero).
constexpr int TEVZipMaxName = 1024;

// Description of one entry (or, for index -1, of the archive: the number of entries in `index`).
struct TEVZipEntry {
    int index = 0;
    char name[TEVZipMaxName + 1] = {}; // sanitised path inside the archive, zero-terminated
    unsigned attributes = 0;           // mode bits: upper 16 bits of the external attributes, 0x4000 directory,
                                       // 0x80 cleared for a read-only entry
    qint64 accessTime = 0;             // seconds since 1970-01-01 UTC
    qint64 creationTime = 0;
    qint64 modificationTime = 0;
    quint32 compressedSize = 0;
    quint32 uncompressedSize = 0; // 0 for directories; 0xFFFFFFFF for anything that does not fit 32 bits

    bool isDirectory() const { return (attributes & 0x4000u) != 0; }
};

// Opaque archive handle; created by the open functions, freed by tevZipClose.
class TEVZipReader;

// Opens an archive file for reading. Null (last result 0x200) when the file cannot be opened or is not an archive.
// password may be null.
TEV_EXPORT TEVZipReader* tevZipOpenFile(const char* path, const char* password = nullptr);

// Opens an archive held in memory. The bytes are not copied: they must stay valid until tevZipClose.
TEV_EXPORT TEVZipReader* tevZipOpenMemory(const void* data, unsigned size, const char* password = nullptr);

// Fills *entry with the description of entry `index`; index -1 gives the number of entries in entry->index.
TEV_EXPORT unsigned tevZipGetEntry(TEVZipReader* zip, int index, TEVZipEntry* entry);

// Inflates up to `size` bytes of entry `index` into buffer. 0x600 when the buffer is full and more remains (call
// again with the same index to continue), 0 at the end of the entry. *produced (optional) receives the number of
// bytes written by this call. The end of the entry is checked against its CRC-32 and its declared size.
TEV_EXPORT unsigned tevZipExtract(TEVZipReader* zip, int index, void* buffer, unsigned size,
                                  unsigned* produced = nullptr);

// Closes the archive and frees the handle.
TEV_EXPORT unsigned tevZipClose(TEVZipReader* zip);

// The code of the latest operation (process-wide).
TEV_EXPORT unsigned tevZipLastResult();

// Checked extraction of one whole entry: the declared size must be within TEVZipMaxEntrySize (and within
// *budget when given, which is then reduced by it); the data must inflate to exactly the declared size with a
// matching CRC-32. On failure `data` is empty and the code says why.
TEV_EXPORT unsigned tevZipReadEntry(TEVZipReader* zip, int index, QByteArray& data, quint64* budget = nullptr);

// One extracted entry.
struct TEVZipFile {
    QByteArray name; // sanitised path inside the archive (a key, never a file system path)
    QByteArray data;
};

// Reads and checks every entry, in archive order, as tevZipReadEntry does, with TEVZipMaxTotalSize over the whole
// archive (every declared size is checked against the caps before anything is allocated), and returns those with
// a non-zero declared size (directories and empty entries are left out). Any failing entry fails the call:
// `files` is then empty and the code is that entry's.
TEV_EXPORT unsigned tevZipReadAll(TEVZipReader* zip, QVector<TEVZipFile>& files);

} // namespace TEVQtLib
