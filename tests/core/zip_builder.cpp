#include "zip_builder.h"

#include <QTemporaryDir>
#include <QFile>

#include <minizip/zip.h>
#include <zlib.h>

namespace ziptest {

QByteArray build(const QList<Item>& items)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return {};
    const QByteArray path = QFile::encodeName(dir.filePath("a.zip"));
    zipFile zf = zipOpen64(path.constData(), APPEND_STATUS_CREATE);
    if (!zf)
        return {};
    bool ok = true;
    for (const Item& it : items) {
        zip_fileinfo zi{};
        zi.tmz_date.tm_year = uInt(it.year);
        zi.tmz_date.tm_mon = uInt(it.month - 1);
        zi.tmz_date.tm_mday = uInt(it.day);
        zi.tmz_date.tm_hour = uInt(it.hour);
        zi.tmz_date.tm_min = uInt(it.minute);
        zi.tmz_date.tm_sec = uInt(it.second);
        zi.external_fa = it.external;
        const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(it.data.constData()), uInt(it.data.size()));
        int err = zipOpenNewFileInZip4_64(zf, it.name.constData(), &zi,
                                          it.localExtra.isEmpty() ? nullptr : it.localExtra.constData(),
                                          uInt(it.localExtra.size()), nullptr, 0, nullptr, it.method,
                                          it.method ? Z_DEFAULT_COMPRESSION : 0, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                          Z_DEFAULT_STRATEGY,
                                          it.password.isEmpty() ? nullptr : it.password.constData(), crc,
                                          uLong(it.versionMadeBy), 0, 0);
        if (err == ZIP_OK && !it.data.isEmpty())
            err = zipWriteInFileInZip(zf, it.data.constData(), unsigned(it.data.size()));
        if (err == ZIP_OK)
            err = zipCloseFileInZip(zf);
        ok = ok && err == ZIP_OK;
    }
    ok = zipClose(zf, nullptr) == ZIP_OK && ok;
    if (!ok)
        return {};
    QFile f(dir.filePath("a.zip"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

static int findNth(const QByteArray& zip, const char* sig, int n)
{
    int at = -1;
    for (int i = 0; i <= n; ++i) {
        at = zip.indexOf(QByteArray(sig, 4), at + 1);
        if (at < 0)
            return -1;
    }
    return at;
}

int localHeader(const QByteArray& zip, int n) { return findNth(zip, "PK\x03\x04", n); }
int centralRecord(const QByteArray& zip, int n) { return findNth(zip, "PK\x01\x02", n); }

void put16(QByteArray& b, int at, quint16 v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

void put32(QByteArray& b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

void patchCrc(QByteArray& zip, int n, quint32 crc)
{
    put32(zip, localHeader(zip, n) + 14, crc);
    put32(zip, centralRecord(zip, n) + 16, crc);
}

void patchSizes(QByteArray& zip, int n, quint32 compressed, quint32 uncompressed)
{
    const int l = localHeader(zip, n);
    const int c = centralRecord(zip, n);
    put32(zip, l + 18, compressed);
    put32(zip, l + 22, uncompressed);
    put32(zip, c + 20, compressed);
    put32(zip, c + 24, uncompressed);
}

QByteArray utBlock(quint8 flags, const QList<qint32>& times)
{
    QByteArray b("UT");
    b.append(char(0));
    b.append(char(0));
    put16(b, 2, quint16(1 + 4 * times.size()));
    b.append(char(flags));
    for (qint32 t : times) {
        const int at = b.size();
        b.append(QByteArray(4, '\0'));
        put32(b, at, quint32(t));
    }
    return b;
}

} // namespace ziptest
