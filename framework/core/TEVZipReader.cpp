#include "TEVZipReader.h"

#include <minizip/ioapi.h>
#include <minizip/unzip.h>
#include <zlib.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <limits>
#include <cstring>
#include <ctime>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace TEVQtLib {

namespace {

constexpr int kReadHandle = 1; // the only kind of handle this layer makes: an archive opened for reading

std::atomic<unsigned> g_lastResult{TEVZipOk};

unsigned setResult(unsigned code)
{
    g_lastResult.store(code, std::memory_order_relaxed);
    return code;
}

// ---- streams ------------------------------------------------------------------------------------------------
// minizip reads through a table of callbacks. Both streams below refuse writing, report a short read as an
// error (minizip asks only for bytes it needs, and its byte readers would otherwise take the end of the data for
// zeros) and clear that error on a successful seek; each supplies only how it opens, reads, tells, seeks and
// closes.

bool isReadMode(int mode)
{
    return (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ;
}

template <class Stream>
uLong ZCALLBACK streamRead(voidpf, voidpf stream, void* buf, uLong size)
{
    auto* s = static_cast<Stream*>(stream);
    const uLong n = s->read(buf, size);
    if (n < size)
        s->failed = true;
    return n;
}

template <class Stream>
uLong ZCALLBACK streamWrite(voidpf, voidpf stream, const void*, uLong)
{
    static_cast<Stream*>(stream)->failed = true;
    return 0;
}

template <class Stream>
ZPOS64_T ZCALLBACK streamTell(voidpf, voidpf stream)
{
    return static_cast<Stream*>(stream)->tell();
}

template <class Stream>
long ZCALLBACK streamSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    int whence;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: whence = SEEK_SET; break;
    case ZLIB_FILEFUNC_SEEK_CUR: whence = SEEK_CUR; break;
    case ZLIB_FILEFUNC_SEEK_END: whence = SEEK_END; break;
    default: return -1;
    }
    auto* s = static_cast<Stream*>(stream);
    if (!s->seek(offset, whence))
        return -1;
    s->failed = false;
    return 0;
}

template <class Stream>
int ZCALLBACK streamClose(voidpf, voidpf stream)
{
    return static_cast<Stream*>(stream)->close();
}

template <class Stream>
int ZCALLBACK streamError(voidpf, voidpf stream)
{
    auto* s = static_cast<Stream*>(stream);
    return (s->failed || s->hasError()) ? 1 : 0;
}

template <class Stream>
void fillFunctions(zlib_filefunc64_def* f, void* opaque)
{
    f->zopen64_file = Stream::open;
    f->zread_file = streamRead<Stream>;
    f->zwrite_file = streamWrite<Stream>;
    f->ztell64_file = streamTell<Stream>;
    f->zseek64_file = streamSeek<Stream>;
    f->zclose_file = streamClose<Stream>;
    f->zerror_file = streamError<Stream>;
    f->opaque = opaque;
}

// The archive in memory: a block with a read position. The "file name" handed to unzOpen2_64 is the stream
// itself.
struct MemoryStream {
    const unsigned char* data = nullptr;
    ZPOS64_T size = 0;
    ZPOS64_T pos = 0;
    bool failed = false;

    static voidpf ZCALLBACK open(voidpf, const void* stream, int mode)
    {
        if (!isReadMode(mode))
            return nullptr;
        auto* s = static_cast<MemoryStream*>(const_cast<void*>(stream));
        s->pos = 0;
        s->failed = false;
        return s;
    }

    uLong read(void* buf, uLong want)
    {
        const ZPOS64_T left = pos < size ? size - pos : 0;
        const ZPOS64_T n = want < left ? want : left;
        if (n > 0)
            std::memcpy(buf, data + pos, static_cast<size_t>(n));
        pos += n;
        return static_cast<uLong>(n);
    }

    ZPOS64_T tell() const { return pos; }

    bool seek(ZPOS64_T offset, int whence)
    {
        const ZPOS64_T base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? pos : size;
        // Like a file, the position may go past the end (reads there give nothing); it may not wrap around.
        if (offset > std::numeric_limits<ZPOS64_T>::max() - base)
            return false;
        pos = base + offset;
        return true;
    }

    int close() { return 0; } // the block belongs to the caller
    bool hasError() const { return false; }
};

// A file this layer opens and closes itself. A regular file of up to kWholeFileLimit bytes is read in one go
// and served from memory, so that minizip's many small reads and seeks (two directory records and a local
// header per entry) cost a copy each rather than a library call and, often, a system call; a larger file is
// read through the C library as minizip asks for it.
constexpr qint64 kWholeFileLimit = 64 * 1024 * 1024;

struct FileStream {
    std::FILE* file = nullptr;
    std::vector<unsigned char> bytes; // the whole file, when it was read at once
    MemoryStream memory;              // reads from bytes
    bool whole = false;
    bool failed = false;

    static voidpf ZCALLBACK open(voidpf opaque, const void* path, int mode)
    {
        if (!isReadMode(mode) || !path)
            return nullptr;
        auto* s = static_cast<FileStream*>(opaque);
        s->failed = false;
        s->file = std::fopen(static_cast<const char*>(path), "rb");
        if (!s->file)
            return nullptr;
        s->readWhole();
        return s;
    }

    void readWhole()
    {
        struct stat info;
        if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kWholeFileLimit)
            return;
        try {
            bytes.resize(static_cast<size_t>(info.st_size));
        } catch (const std::bad_alloc&) {
            return;
        }
        if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fgetc(file) != EOF) {
            // The file changed under us: read it as minizip asks instead.
            std::vector<unsigned char>().swap(bytes);
            std::clearerr(file);
            std::rewind(file);
            return;
        }
        static const unsigned char empty = 0;
        memory.data = bytes.empty() ? &empty : bytes.data();
        memory.size = bytes.size();
        memory.pos = 0;
        whole = true;
        std::fclose(file);
        file = nullptr;
    }

    uLong read(void* buf, uLong want)
    {
        return whole ? memory.read(buf, want) : static_cast<uLong>(std::fread(buf, 1, want, file));
    }

    ZPOS64_T tell() const
    {
        if (whole)
            return memory.tell();
        const off_t p = ftello(file);
        return p < 0 ? ZPOS64_T(-1) : static_cast<ZPOS64_T>(p);
    }

    bool seek(ZPOS64_T offset, int whence)
    {
        if (whole)
            return memory.seek(offset, whence);
        if (offset > ZPOS64_T(std::numeric_limits<off_t>::max()))
            return false;
        return fseeko(file, static_cast<off_t>(offset), whence) == 0;
    }

    int close()
    {
        const int rc = file ? std::fclose(file) : 0;
        file = nullptr;
        std::vector<unsigned char>().swap(bytes);
        whole = false;
        return rc;
    }

    bool hasError() const { return !whole && std::ferror(file) != 0; }
};

// ---- helpers --------------------------------------------------------------------------------------------------

unsigned mapUnzError(int err)
{
    switch (err) {
    case UNZ_OK: return TEVZipOk;
    case UNZ_ERRNO: return TEVZipReadFailed;
    case UNZ_PARAMERROR: return TEVZipBadArgument;
    case UNZ_CRCERROR: return TEVZipCrcMismatch;
    case UNZ_BADZIPFILE:
    case UNZ_END_OF_LIST_OF_FILE: return TEVZipBadHeader;
    default: return TEVZipInflateFailed; // zlib's own codes and minizip's internal error
    }
}

// Drops drive prefixes, leading separators and everything up to the last parent step that follows a separator.
std::string sanitiseName(const char* name)
{
    const char* s = name;
    for (;;) {
        if (s[0] != '\0' && s[1] == ':') {
            s += 2;
            continue;
        }
        if (s[0] == '/' || s[0] == '\\') {
            ++s;
            continue;
        }
        const char* cut = nullptr;
        for (const char* p = s; p[0] != '\0'; ++p) {
            if ((p[0] == '/' || p[0] == '\\') && p[1] == '.' && p[2] == '.' && (p[3] == '/' || p[3] == '\\')) {
                cut = p + 4;
                break;
            }
        }
        if (cut) {
            s = cut;
            continue;
        }
        break;
    }
    return std::string(s, strnlen(s, TEVZipMaxName));
}

unsigned attributesOf(uLong versionMadeBy, uLong external)
{
    const unsigned host = static_cast<unsigned>((versionMadeBy >> 8) & 0xFF);
    bool readOnly;
    bool directory;
    if (host == 0 || host == 7 || host == 11 || host == 14) { // MS-DOS, Macintosh, NTFS, VFAT
        readOnly = (external & 0x1u) != 0;
        directory = (external & 0x10u) != 0;
    } else {
        readOnly = (external & (1u << 23)) == 0;
        directory = (external & (1u << 30)) != 0;
    }
    unsigned attributes = static_cast<unsigned>((external >> 16) & 0xFFFFu);
    if (directory)
        attributes |= 0x4000u;
    if (readOnly)
        attributes &= ~0x80u;
    return attributes;
}

qint64 dosTimeToUnix(uLong dosDate)
{
    const unsigned date = static_cast<unsigned>((dosDate >> 16) & 0xFFFF);
    const unsigned time = static_cast<unsigned>(dosDate & 0xFFFF);
    std::tm tm{};
    tm.tm_year = static_cast<int>((date >> 9) & 0x7F) + 80;
    tm.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
    tm.tm_mday = static_cast<int>(date & 0x1F);
    tm.tm_hour = static_cast<int>((time >> 11) & 0x1F);
    tm.tm_min = static_cast<int>((time >> 5) & 0x3F);
    tm.tm_sec = static_cast<int>(time & 0x1F) * 2;
    tm.tm_isdst = -1; // the platform decides on daylight saving
    return static_cast<qint64>(std::mktime(&tm));
}

quint32 readLe32(const unsigned char* p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

// Applies the times of the first extended-timestamp ("UT") block of a local extra field.
void applyExtendedTimes(const unsigned char* extra, size_t length, TEVZipEntry* entry)
{
    size_t pos = 0;
    while (length - pos >= 4) {
        const unsigned char id0 = extra[pos];
        const unsigned char id1 = extra[pos + 1];
        const size_t blockSize = size_t(extra[pos + 2]) | (size_t(extra[pos + 3]) << 8);
        pos += 4;
        if (blockSize > length - pos)
            return; // a block that runs past the field ends the search
        if (id0 == 'U' && id1 == 'T') {
            if (blockSize < 1)
                return;
            const unsigned char flags = extra[pos];
            const unsigned char* p = extra + pos + 1;
            const unsigned char* end = extra + pos + blockSize;
            qint64* targets[3] = {&entry->modificationTime, &entry->accessTime, &entry->creationTime};
            for (int bit = 0; bit < 3; ++bit) {
                if (!(flags & (1u << bit)))
                    continue;
                if (end - p < 4)
                    return;
                *targets[bit] = static_cast<qint32>(readLe32(p));
                p += 4;
            }
            return;
        }
        pos += blockSize;
    }
}

quint32 clamp32(ZPOS64_T v)
{
    return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<quint32>(v);
}

} // namespace

// ---- the handle ---------------------------------------------------------------------------------------------------

class TEVZipReader {
public:
    int kind = kReadHandle;
    unzFile uf = nullptr;
    MemoryStream memory; // used when opened from memory
    FileStream file;     // used when opened from a file
    std::optional<std::string> password;

    int count = 0;       // number of entries
    int libIndex = -1;   // entry minizip is positioned at, -1 when unknown
    int openIndex = -1;  // entry open for extraction (minizip's side may already be closed at its end)
    bool libOpen = false; // minizip has the entry open
    int cachedIndex = -1;
    TEVZipEntry cached;

    // State of the entry open for extraction.
    ZPOS64_T openDeclaredSize = 0;
    bool openEncrypted = false;
    ZPOS64_T openProduced = 0;
    bool openFinished = false;

    ~TEVZipReader()
    {
        closeEntry();
        if (uf)
            unzClose(uf);
    }

    void closeEntry()
    {
        if (libOpen)
            unzCloseCurrentFile(uf);
        libOpen = false;
        openIndex = -1;
    }

    // Positions minizip at entry `index` (0 <= index < count): back to the first entry when needed, then forward.
    unsigned goTo(int index)
    {
        if (libIndex < 0 || index < libIndex) {
            const int err = unzGoToFirstFile(uf);
            if (err != UNZ_OK) {
                libIndex = -1;
                return mapUnzError(err);
            }
            libIndex = 0;
        }
        while (libIndex < index) {
            const int err = unzGoToNextFile(uf);
            if (err != UNZ_OK) {
                libIndex = -1;
                return mapUnzError(err);
            }
            ++libIndex;
        }
        return TEVZipOk;
    }

    unsigned describe(int index, TEVZipEntry* entry);
    // Opens entry `index` for extraction, which checks its local header against its directory record. `known`,
    // when given, is the entry's directory record as read before.
    unsigned openForExtraction(int index, const unz_file_info64* known = nullptr);
    unsigned finishEntry();
};

unsigned TEVZipReader::describe(int index, TEVZipEntry* entry)
{
    unsigned code = goTo(index);
    if (code != TEVZipOk)
        return code;

    unz_file_info64 info{};
    char rawName[TEVZipMaxName + 1] = {};
    int err = unzGetCurrentFileInfo64(uf, &info, rawName, TEVZipMaxName, nullptr, 0, nullptr, 0);
    if (err != UNZ_OK)
        return mapUnzError(err);
    rawName[info.size_filename < TEVZipMaxName ? info.size_filename : TEVZipMaxName] = '\0';

    // Opening the entry raw checks its local header against the directory record and gives access to the local
    // extra field; nothing is inflated.
    int method = 0;
    int level = 0;
    err = unzOpenCurrentFile2(uf, &method, &level, 1);
    if (err != UNZ_OK)
        return err == UNZ_ERRNO ? TEVZipReadFailed : TEVZipBadHeader;
    std::vector<unsigned char> extra;
    int extraSize = unzGetLocalExtrafield(uf, nullptr, 0);
    if (extraSize > 0) {
        extra.resize(static_cast<size_t>(extraSize));
        extraSize = unzGetLocalExtrafield(uf, extra.data(), static_cast<unsigned>(extraSize));
    }
    unzCloseCurrentFile(uf);
    if (extraSize < 0)
        return TEVZipReadFailed;

    entry->index = index;
    const std::string name = sanitiseName(rawName);
    std::memcpy(entry->name, name.data(), name.size());
    entry->name[name.size()] = '\0';
    entry->attributes = attributesOf(info.version, info.external_fa);
    const qint64 t = dosTimeToUnix(info.dosDate);
    entry->accessTime = entry->creationTime = entry->modificationTime = t;
    applyExtendedTimes(extra.data(), static_cast<size_t>(extraSize), entry);
    entry->compressedSize = clamp32(info.compressed_size);
    entry->uncompressedSize = clamp32(info.uncompressed_size);

    cached = *entry;
    cachedIndex = index;
    return TEVZipOk;
}

unsigned TEVZipReader::openForExtraction(int index, const unz_file_info64* known)
{
    unsigned code = goTo(index);
    if (code != TEVZipOk)
        return code;
    unz_file_info64 read{};
    if (!known) {
        const int err = unzGetCurrentFileInfo64(uf, &read, nullptr, 0, nullptr, 0, nullptr, 0);
        if (err != UNZ_OK)
            return mapUnzError(err);
    }
    const unz_file_info64& info = known ? *known : read;
    const bool encrypted = (info.flag & 1u) != 0;
    const int err = unzOpenCurrentFilePassword(uf, password && encrypted ? password->c_str() : nullptr);
    if (err == UNZ_PARAMERROR && password && encrypted)
        return TEVZipPassword; // a minizip built without decryption refuses every password
    if (err != UNZ_OK)
        return err == UNZ_ERRNO ? TEVZipReadFailed : err == UNZ_BADZIPFILE ? TEVZipBadHeader : mapUnzError(err);
    openIndex = index;
    libOpen = true;
    openDeclaredSize = info.uncompressed_size;
    openEncrypted = encrypted;
    openProduced = 0;
    openFinished = false;
    return TEVZipOk;
}

// The end of the open entry was reached: the bytes produced must match its declared size and CRC-32. minizip keeps
// the CRC-32 of every byte it hands out and compares it with the directory record's when the entry is closed at
// its end; the entry stays marked open here so that a further call for it reports the end again.
unsigned TEVZipReader::finishEntry()
{
    openFinished = true;
    unsigned code = TEVZipOk;
    if (openProduced != openDeclaredSize) {
        code = TEVZipSizeMismatch;
    } else {
        const int err = unzCloseCurrentFile(uf);
        libOpen = false;
        if (err == UNZ_CRCERROR)
            code = TEVZipCrcMismatch;
        else if (err != UNZ_OK)
            code = mapUnzError(err);
    }
    if (code != TEVZipOk && openEncrypted)
        code = TEVZipPassword; // wrong or missing password: the decrypted bytes make no sense
    if (code != TEVZipOk)
        closeEntry();
    return code;
}

// ---- interface ----------------------------------------------------------------------------------------------------

namespace {

TEVZipReader* finishOpen(TEVZipReader* zip, const char* password)
{
    if (!zip->uf) {
        delete zip;
        setResult(TEVZipCannotOpen);
        return nullptr;
    }
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip->uf, &global) != UNZ_OK) {
        delete zip;
        setResult(TEVZipCannotOpen);
        return nullptr;
    }
    zip->count = global.number_entry > ZPOS64_T(INT_MAX) ? INT_MAX : static_cast<int>(global.number_entry);
    if (password)
        zip->password = std::string(password);
    setResult(TEVZipOk);
    return zip;
}

unsigned checkHandle(TEVZipReader* zip)
{
    if (!zip)
        return TEVZipBadArgument;
    if (zip->kind != kReadHandle)
        return TEVZipNotForReading;
    return TEVZipOk;
}

} // namespace

TEVZipReader* tevZipOpenFile(const char* path, const char* password)
{
    if (!path) {
        setResult(TEVZipCannotOpen);
        return nullptr;
    }
    auto* zip = new TEVZipReader;
    zlib_filefunc64_def functions;
    fillFunctions<FileStream>(&functions, &zip->file);
    zip->uf = unzOpen2_64(path, &functions);
    return finishOpen(zip, password);
}

TEVZipReader* tevZipOpenMemory(const void* data, unsigned size, const char* password)
{
    if (!data && size > 0) {
        setResult(TEVZipCannotOpen);
        return nullptr;
    }
    auto* zip = new TEVZipReader;
    static const unsigned char empty = 0;
    zip->memory.data = data ? static_cast<const unsigned char*>(data) : &empty;
    zip->memory.size = size;
    zlib_filefunc64_def functions;
    fillFunctions<MemoryStream>(&functions, nullptr);
    zip->uf = unzOpen2_64(&zip->memory, &functions);
    return finishOpen(zip, password);
}

unsigned tevZipGetEntry(TEVZipReader* zip, int index, TEVZipEntry* entry)
{
    if (entry)
        *entry = TEVZipEntry();
    unsigned code = checkHandle(zip);
    if (code != TEVZipOk)
        return setResult(code);
    if (!entry || index < -1 || index >= zip->count)
        return setResult(TEVZipBadArgument);
    zip->closeEntry();
    if (index >= 0 && index == zip->cachedIndex) {
        *entry = zip->cached;
        return setResult(TEVZipOk);
    }
    if (index == -1) {
        entry->index = zip->count;
        return setResult(TEVZipOk);
    }
    code = zip->describe(index, entry);
    if (code != TEVZipOk)
        *entry = TEVZipEntry();
    return setResult(code);
}

unsigned tevZipExtract(TEVZipReader* zip, int index, void* buffer, unsigned size, unsigned* produced)
{
    if (produced)
        *produced = 0;
    unsigned code = checkHandle(zip);
    if (code != TEVZipOk)
        return setResult(code);
    if (index < 0 || (!buffer && size > 0))
        return setResult(TEVZipBadArgument);
    if (index != zip->openIndex) {
        zip->closeEntry();
        if (index >= zip->count)
            return setResult(TEVZipBadArgument);
        code = zip->openForExtraction(index);
        if (code != TEVZipOk)
            return setResult(code);
    }
    if (zip->openFinished) {
        // Called again after the end: nothing more to give.
        zip->closeEntry();
        return setResult(TEVZipOk);
    }

    const unsigned request = size > (1u << 30) ? (1u << 30) : size;
    const int n = request > 0 ? unzReadCurrentFile(zip->uf, buffer, request) : 0;
    if (n < 0) {
        code = (zip->openEncrypted && n != UNZ_ERRNO) ? TEVZipPassword : mapUnzError(n);
        zip->closeEntry();
        return setResult(code);
    }
    if (n > 0) {
        zip->openProduced += static_cast<ZPOS64_T>(n);
        if (produced)
            *produced = static_cast<unsigned>(n);
    }
    if (unzeof(zip->uf) == 1)
        return setResult(zip->finishEntry());
    if (n > 0 || request == 0)
        return setResult(TEVZipMoreData);
    // Nothing produced before the declared end: the data stop short of what the entry declares.
    code = zip->openEncrypted ? TEVZipPassword : TEVZipSizeMismatch;
    zip->closeEntry();
    return setResult(code);
}

unsigned tevZipClose(TEVZipReader* zip)
{
    const unsigned code = checkHandle(zip);
    if (code != TEVZipOk)
        return setResult(code);
    delete zip;
    return setResult(TEVZipOk);
}

unsigned tevZipLastResult()
{
    return g_lastResult.load(std::memory_order_relaxed);
}

namespace {

// Reads the entry open for extraction whole and checks it: the declared size must be within the per-entry cap
// and the budget (when given, then reduced by it), and the data must inflate to exactly that size with a
// matching CRC-32. Any failure closes the entry and leaves `data` empty.
unsigned readOpenEntry(TEVZipReader* zip, int index, QByteArray& data, quint64* budget)
{
    const ZPOS64_T declared = zip->openDeclaredSize;
    if (declared > TEVZipMaxEntrySize || (budget && declared > *budget)) {
        zip->closeEntry();
        return TEVZipTooLarge;
    }
    const quint32 size = static_cast<quint32>(declared);
    QByteArray bytes;
    try {
        bytes = QByteArray(static_cast<int>(size), Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        zip->closeEntry();
        return TEVZipTooLarge;
    }
    unsigned produced = 0;
    unsigned code = tevZipExtract(zip, index, bytes.data(), size, &produced);
    if (code == TEVZipMoreData)
        code = TEVZipSizeMismatch; // the buffer of the declared size is full and the entry goes on, or stopped short
    else if (code == TEVZipOk && produced != size)
        code = TEVZipSizeMismatch;
    zip->closeEntry();
    if (code != TEVZipOk)
        return code;
    if (budget)
        *budget -= size;
    data = std::move(bytes);
    return TEVZipOk;
}

} // namespace

unsigned tevZipReadEntry(TEVZipReader* zip, int index, QByteArray& data, quint64* budget)
{
    data.clear();
    unsigned code = checkHandle(zip);
    if (code == TEVZipOk && (index < 0 || index >= zip->count))
        code = TEVZipBadArgument;
    if (code != TEVZipOk)
        return setResult(code);
    zip->closeEntry();
    code = zip->openForExtraction(index);
    if (code == TEVZipOk)
        code = readOpenEntry(zip, index, data, budget);
    return setResult(code);
}

unsigned tevZipReadAll(TEVZipReader* zip, QVector<TEVZipFile>& files)
{
    files.clear();
    unsigned code = checkHandle(zip);
    if (code != TEVZipOk)
        return setResult(code);
    zip->closeEntry();
    const int count = zip->count;

    // The directory records first: every declared size is checked before anything is allocated (and nothing is
    // kept per entry, so that a directory of many tiny records costs no memory).
    quint64 total = 0;
    for (int i = 0; i < count; ++i) {
        code = zip->goTo(i);
        if (code != TEVZipOk)
            return setResult(code);
        unz_file_info64 info{};
        const int err = unzGetCurrentFileInfo64(zip->uf, &info, nullptr, 0, nullptr, 0, nullptr, 0);
        if (err != UNZ_OK)
            return setResult(mapUnzError(err));
        if (info.uncompressed_size > TEVZipMaxEntrySize)
            return setResult(TEVZipTooLarge);
        total += info.uncompressed_size;
        if (total > TEVZipMaxTotalSize)
            return setResult(TEVZipTooLarge);
    }

    // Then each entry: its record with its name, its local header checked as it is opened, its data checked.
    quint64 budget = TEVZipMaxTotalSize;
    QVector<TEVZipFile> result;
    for (int i = 0; i < count; ++i) {
        code = zip->goTo(i);
        unz_file_info64 info{};
        char rawName[TEVZipMaxName + 1] = {};
        if (code == TEVZipOk) {
            const int err = unzGetCurrentFileInfo64(zip->uf, &info, rawName, TEVZipMaxName, nullptr, 0, nullptr, 0);
            code = mapUnzError(err);
        }
        // Empty entries are checked too (an entry that claims to be empty but carries data fails), then left out.
        TEVZipFile file;
        if (code == TEVZipOk)
            code = zip->openForExtraction(i, &info);
        if (code == TEVZipOk)
            code = readOpenEntry(zip, i, file.data, &budget);
        if (code != TEVZipOk) {
            zip->closeEntry();
            return setResult(code);
        }
        if (info.uncompressed_size != 0) {
            rawName[info.size_filename < TEVZipMaxName ? info.size_filename : TEVZipMaxName] = '\0';
            const std::string name = sanitiseName(rawName);
            file.name = QByteArray(name.data(), int(name.size()));
            result.append(std::move(file));
        }
    }
    files = std::move(result);
    return setResult(TEVZipOk);
}

} // namespace TEVQtLib
