#pragma once
// Builds zip archives at test time with minizip's writer, and finds the records inside them for byte patching.
#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace ziptest {

struct Item {
    QByteArray name;
    QByteArray data;
    int method = 8;            // 8 deflate, 0 stored
    int versionMadeBy = 0;     // high byte: host system (0 MS-DOS, 3 Unix)
    quint32 external = 0;      // external attributes
    QByteArray localExtra;     // local extra field
    int year = 2021, month = 3, day = 4, hour = 5, minute = 6, second = 8; // DOS time (local)
    QByteArray password;       // encrypts the entry when set

    Item() = default;
    Item(const QByteArray& n, const QByteArray& d, int m = 8) : name(n), data(d), method(m) {}
};

inline Item directory(const QByteArray& name)
{
    Item it(name, QByteArray(), 0);
    it.external = 0x10; // MS-DOS directory bit
    return it;
}

// The archive bytes; empty on failure.
QByteArray build(const QList<Item>& items);

// Offsets of the n-th local header ("PK\3\4") and central directory record ("PK\1\2"); -1 when absent.
int localHeader(const QByteArray& zip, int n);
int centralRecord(const QByteArray& zip, int n);

void put16(QByteArray& b, int at, quint16 v);
void put32(QByteArray& b, int at, quint32 v);

// Sets the CRC-32 / compressed / uncompressed size of entry n in both its local header and its directory record.
void patchCrc(QByteArray& zip, int n, quint32 crc);
void patchSizes(QByteArray& zip, int n, quint32 compressed, quint32 uncompressed);

// "UT" extended-timestamp block with the given flags and times.
QByteArray utBlock(quint8 flags, const QList<qint32>& times);

} // namespace ziptest
