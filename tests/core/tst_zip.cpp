// The zip archive reader: listing, descriptions, chunked and checked extraction, from files and from memory, and
// archives that lie about themselves.
#include "TevTest.h"
#include "TEVZipReader.h"
#include "zip_builder.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <zlib.h>

#include <memory>

using namespace TEVQtLib;
using ziptest::Item;

namespace {

struct Closer {
    void operator()(TEVZipReader* z) const { tevZipClose(z); }
};
using ZipPtr = std::unique_ptr<TEVZipReader, Closer>;

// The bytes must outlive the handle.
ZipPtr openMem(const QByteArray& bytes, const char* password = nullptr)
{
    return ZipPtr(tevZipOpenMemory(bytes.constData(), unsigned(bytes.size()), password));
}

QByteArray pattern(int n, int seed = 0)
{
    QByteArray b(n, '\0');
    quint32 x = 12345u + quint32(seed);
    for (int i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        b[i] = char((x >> 16) & 0xFF);
    }
    return b;
}

QByteArray readWhole(TEVZipReader* z, int index, unsigned* code)
{
    QByteArray out;
    *code = tevZipReadEntry(z, index, out);
    return out;
}

qint64 utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC).toSecsSinceEpoch();
}

} // namespace

class TestZip : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        tzset();
    }

    void listsEntriesAndDescribesThem()
    {
        QList<Item> items{Item("a.txt", "alpha"), Item("dir/b.bin", pattern(3000)), ziptest::directory("dir/"),
                          Item("c.txt", "", 0)};
        const QByteArray zip = ziptest::build(items);
        QVERIFY(!zip.isEmpty());
        ZipPtr z = openMem(zip);
        QVERIFY(z);
        QCOMPARE(tevZipLastResult(), unsigned(TEVZipOk));

        TEVZipEntry e;
        QCOMPARE(tevZipGetEntry(z.get(), -1, &e), unsigned(TEVZipOk));
        QCOMPARE(e.index, 4);
        QCOMPARE(e.name[0], '\0');
        QCOMPARE(e.uncompressedSize, 0u);
        QCOMPARE(e.modificationTime, 0);

        QCOMPARE(tevZipGetEntry(z.get(), 1, &e), unsigned(TEVZipOk));
        QCOMPARE(e.index, 1);
        QCOMPARE(QByteArray(e.name), QByteArray("dir/b.bin"));
        QCOMPARE(e.uncompressedSize, 3000u);
        QVERIFY(e.compressedSize > 0);
        QVERIFY(!e.isDirectory());

        QCOMPARE(tevZipGetEntry(z.get(), 2, &e), unsigned(TEVZipOk));
        QCOMPARE(QByteArray(e.name), QByteArray("dir/"));
        QVERIFY(e.isDirectory());
        QCOMPARE(e.attributes, 0x4000u);
        QCOMPARE(e.uncompressedSize, 0u);

        // Going back to an earlier entry, and asking twice for the same one.
        QCOMPARE(tevZipGetEntry(z.get(), 0, &e), unsigned(TEVZipOk));
        QCOMPARE(QByteArray(e.name), QByteArray("a.txt"));
        QCOMPARE(e.uncompressedSize, 5u);
        TEVZipEntry again;
        QCOMPARE(tevZipGetEntry(z.get(), 0, &again), unsigned(TEVZipOk));
        QCOMPARE(QByteArray(again.name), QByteArray("a.txt"));
        QCOMPARE(again.modificationTime, e.modificationTime);

        // Out of range: the description is cleared as well.
        for (int bad : {-2, 4, 1000, INT_MIN}) {
            QCOMPARE(tevZipGetEntry(z.get(), bad, &e), unsigned(TEVZipBadArgument));
            QCOMPARE(e.name[0], '\0');
            QCOMPARE(tevZipLastResult(), unsigned(TEVZipBadArgument));
        }
        QCOMPARE(tevZipGetEntry(z.get(), 0, nullptr), unsigned(TEVZipBadArgument));
    }

    void sanitisesNames_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("parent steps") << QByteArray("../../a/b.txt") << QByteArray("a/b.txt");
        QTest::newRow("drive") << QByteArray("C:\\x.txt") << QByteArray("x.txt");
        QTest::newRow("absolute") << QByteArray("/etc/passwd") << QByteArray("etc/passwd");
        QTest::newRow("backslashes") << QByteArray("\\\\srv\\share\\..\\f.txt") << QByteArray("f.txt");
        QTest::newRow("middle") << QByteArray("images/../../../x.png") << QByteArray("x.png");
        QTest::newRow("mixed") << QByteArray("a\\../b/..\\c.txt") << QByteArray("c.txt");
        QTest::newRow("drive after step") << QByteArray("x/../D:/y") << QByteArray("y");
        QTest::newRow("plain") << QByteArray("images/btn.png") << QByteArray("images/btn.png");
        QTest::newRow("dots in names") << QByteArray("a..b/..c") << QByteArray("a..b/..c");
        QTest::newRow("leading parent kept") << QByteArray("../x") << QByteArray("../x");
    }

    void sanitisesNames()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, expected);
        const QByteArray zip = ziptest::build({Item(stored, "data")});
        ZipPtr z = openMem(zip);
        QVERIFY(z);
        TEVZipEntry e;
        QCOMPARE(tevZipGetEntry(z.get(), 0, &e), unsigned(TEVZipOk));
        QCOMPARE(QByteArray(e.name), expected);
    }

    void longNamesAreCutAt1024()
    {
        const QByteArray name = QByteArray(1500, 'n');
        const QByteArray zip = ziptest::build({Item(name, "x"), Item(QByteArray(1024, 'm'), "y")});
        ZipPtr z = openMem(zip);
        QVERIFY(z);
        TEVZipEntry e;
        QCOMPARE(tevZipGetEntry(z.get(), 0, &e), unsigned(TEVZipOk));
        QCOMPARE(QByteArray(e.name), QByteArray(1024, 'n'));
        QCOMPARE(tevZipGetEntry(z.get(), 1, &e), unsigned(TEVZipOk));
        QCOMPARE(QByteArray(e.name), QByteArray(1024, 'm'));
        unsigned code = 0;
        QCOMPARE(readWhole(z.get(), 0, &code), QByteArray("x"));
        QCOMPARE(code, unsigned(TEVZipOk));
    }

    void attributesByHostSystem_data()
    {
        QTest::addColumn<int>("host");
        QTest::addColumn<quint32>("external");
        QTest::addColumn<unsigned>("expected");
        QTest::newRow("dos file") << 0 << quint32(0x20) << 0u;
        QTest::newRow("dos read-only") << 0 << quint32((0100644u << 16) | 0x01) << 0x8124u;
        QTest::newRow("dos directory") << 0 << quint32(0x10) << 0x4000u;
        QTest::newRow("ntfs directory") << 11 << quint32(0x10) << 0x4000u;
        QTest::newRow("vfat plain") << 14 << quint32(0100644u << 16) << 0x81A4u;
        QTest::newRow("unix file") << 3 << quint32(0100644u << 16) << 0x81A4u;
        QTest::newRow("unix read-only") << 3 << quint32(0100444u << 16) << 0x8124u;
        QTest::newRow("unix directory") << 3 << quint32((040755u << 16) | 0x10) << 0x41EDu;
        QTest::newRow("unix no mode") << 3 << quint32(0) << 0u;
    }

    void attributesByHostSystem()
    {
        QFETCH(int, host);
        QFETCH(quint32, external);
        QFETCH(unsigned, expected);
        Item it("f", "z");
        it.versionMadeBy = host << 8 | 20;
        it.external = external;
        const QByteArray bytes_z = ziptest::build({it});
        ZipPtr z = openMem(bytes_z);
        QVERIFY(z);
        TEVZipEntry e;
        QCOMPARE(tevZipGetEntry(z.get(), 0, &e), unsigned(TEVZipOk));
        QCOMPARE(e.attributes, expected);
    }

    void timesFromDosDateAndExtendedTimestamp()
    {
        Item plain("plain", "p");
        plain.year = 2021, plain.month = 3, plain.day = 4, plain.hour = 5, plain.minute = 6, plain.second = 9;
        Item all("all", "a");
        all.localExtra = ziptest::utBlock(7, {1600000000, 1600000100, 1500000000});
        Item modOnly("mod", "m");
        // An unrelated block first, then "UT" with only the modification time.
        modOnly.localExtra = QByteArray("\x34\x12\x02\x00zz", 6) + ziptest::utBlock(1, {1234567890});
        Item accessOnly("acc", "c");
        accessOnly.localExtra = ziptest::utBlock(2, {1000000000});
        Item broken("broken", "b");
        broken.localExtra = ziptest::utBlock(7, {1600000000, 1600000100, 1500000000});
        ziptest::put16(broken.localExtra, 2, 40); // block claims more than the field holds
        Item shortUt("short", "s");
        shortUt.localExtra = ziptest::utBlock(7, {1600000000}); // flags promise three times, one is there

        const QByteArray bytes_z = ziptest::build({plain, all, modOnly, accessOnly, broken, shortUt});
        ZipPtr z = openMem(bytes_z);
        QVERIFY(z);
        const qint64 dos = utc(2021, 3, 4, 5, 6, 8); // two-second resolution
        TEVZipEntry e;
        QCOMPARE(tevZipGetEntry(z.get(), 0, &e), unsigned(TEVZipOk));
        QCOMPARE(e.modificationTime, dos);
        QCOMPARE(e.accessTime, dos);
        QCOMPARE(e.creationTime, dos);

        QCOMPARE(tevZipGetEntry(z.get(), 1, &e), unsigned(TEVZipOk));
        QCOMPARE(e.modificationTime, qint64(1600000000));
        QCOMPARE(e.accessTime, qint64(1600000100));
        QCOMPARE(e.creationTime, qint64(1500000000));

        QCOMPARE(tevZipGetEntry(z.get(), 2, &e), unsigned(TEVZipOk));
        QCOMPARE(e.modificationTime, qint64(1234567890));
        QCOMPARE(e.accessTime, utc(2021, 3, 4, 5, 6, 8));

        QCOMPARE(tevZipGetEntry(z.get(), 3, &e), unsigned(TEVZipOk));
        QCOMPARE(e.accessTime, qint64(1000000000));
        QCOMPARE(e.modificationTime, dos);

        QCOMPARE(tevZipGetEntry(z.get(), 4, &e), unsigned(TEVZipOk));
        QCOMPARE(e.modificationTime, dos);

        QCOMPARE(tevZipGetEntry(z.get(), 5, &e), unsigned(TEVZipOk));
        QCOMPARE(e.modificationTime, qint64(1600000000));
        QCOMPARE(e.accessTime, dos);
    }

    void chunkedExtraction()
    {
        const QByteArray ten("0123456789");
        for (int method : {0, 8}) {
            const QByteArray bytes_z = ziptest::build({Item("ten", ten, method), Item("other", "xyz")});
            ZipPtr z = openMem(bytes_z);
            QVERIFY(z);
            char buf[4];
            unsigned produced = 99;
            QCOMPARE(tevZipExtract(z.get(), 0, buf, 4, &produced), unsigned(TEVZipMoreData));
            QCOMPARE(QByteArray(buf, int(produced)), QByteArray("0123"));
            QCOMPARE(tevZipLastResult(), unsigned(TEVZipMoreData));
            QCOMPARE(tevZipExtract(z.get(), 0, buf, 4, &produced), unsigned(TEVZipMoreData));
            QCOMPARE(QByteArray(buf, int(produced)), QByteArray("4567"));
            QCOMPARE(tevZipExtract(z.get(), 0, buf, 4, &produced), unsigned(TEVZipOk));
            QCOMPARE(QByteArray(buf, int(produced)), QByteArray("89"));
            // Once more after the end: nothing, still success.
            QCOMPARE(tevZipExtract(z.get(), 0, buf, 4, &produced), unsigned(TEVZipOk));
            QCOMPARE(produced, 0u);

            // Switching entries mid-way restarts the first one later.
            QCOMPARE(tevZipExtract(z.get(), 0, buf, 4, &produced), unsigned(TEVZipMoreData));
            QCOMPARE(tevZipExtract(z.get(), 1, buf, 4, &produced), unsigned(TEVZipOk));
            QCOMPARE(QByteArray(buf, int(produced)), QByteArray("xyz"));
            QCOMPARE(tevZipExtract(z.get(), 0, buf, 4, &produced), unsigned(TEVZipMoreData));
            QCOMPARE(QByteArray(buf, int(produced)), QByteArray("0123"));
            // Asking for a description closes the open entry too.
            TEVZipEntry e;
            QCOMPARE(tevZipGetEntry(z.get(), 0, &e), unsigned(TEVZipOk));
            QCOMPARE(tevZipExtract(z.get(), 0, buf, 4, &produced), unsigned(TEVZipMoreData));
            QCOMPARE(QByteArray(buf, int(produced)), QByteArray("0123"));
            // A zero-sized request on an entry with data left.
            QCOMPARE(tevZipExtract(z.get(), 0, buf, 0, &produced), unsigned(TEVZipMoreData));
            QCOMPARE(produced, 0u);
        }
    }

    void extractionArgumentsAndHandles()
    {
        const QByteArray bytes_z = ziptest::build({Item("a", "abc")});
        ZipPtr z = openMem(bytes_z);
        QVERIFY(z);
        char buf[8];
        for (int bad : {-1, -2, 1, 99, INT_MIN}) {
            QCOMPARE(tevZipExtract(z.get(), bad, buf, sizeof buf), unsigned(TEVZipBadArgument));
            QCOMPARE(tevZipLastResult(), unsigned(TEVZipBadArgument));
        }
        QCOMPARE(tevZipExtract(z.get(), 0, nullptr, 8), unsigned(TEVZipBadArgument));
        // The handle still works after the refused calls.
        unsigned produced = 0;
        QCOMPARE(tevZipExtract(z.get(), 0, buf, sizeof buf, &produced), unsigned(TEVZipOk));
        QCOMPARE(QByteArray(buf, int(produced)), QByteArray("abc"));

        TEVZipEntry e;
        QCOMPARE(tevZipGetEntry(nullptr, 0, &e), unsigned(TEVZipBadArgument));
        QCOMPARE(tevZipExtract(nullptr, 0, buf, 8), unsigned(TEVZipBadArgument));
        QCOMPARE(tevZipClose(nullptr), unsigned(TEVZipBadArgument));
        QByteArray data("keep");
        QCOMPARE(tevZipReadEntry(nullptr, 0, data), unsigned(TEVZipBadArgument));
        QVERIFY(data.isEmpty());
        QVector<TEVZipFile> files{TEVZipFile()};
        QCOMPARE(tevZipReadAll(nullptr, files), unsigned(TEVZipBadArgument));
        QVERIFY(files.isEmpty());
        QCOMPARE(tevZipReadEntry(z.get(), -1, data), unsigned(TEVZipBadArgument));

        QCOMPARE(tevZipClose(z.release()), unsigned(TEVZipOk));
        QCOMPARE(tevZipLastResult(), unsigned(TEVZipOk));
    }

    void fileAndMemoryReadAlike()
    {
        Item unixDir = ziptest::directory("d/");
        unixDir.versionMadeBy = 3 << 8;
        unixDir.external = (040755u << 16) | 0x10;
        Item timed("d/t.txt", pattern(70000, 3));
        timed.localExtra = ziptest::utBlock(1, {1700000000});
        const QByteArray zip = ziptest::build({Item("one", pattern(100, 1), 0), unixDir, timed});
        QTemporaryDir dir;
        const QString path = dir.filePath("archive name.zip");
        QVERIFY(tevtest::writeFile(path, zip));

        ZipPtr fromFile(tevZipOpenFile(QFile::encodeName(path).constData()));
        QVERIFY(fromFile);
        ZipPtr fromMem = openMem(zip);
        QVERIFY(fromMem);
        TEVZipEntry a, b;
        QCOMPARE(tevZipGetEntry(fromFile.get(), -1, &a), unsigned(TEVZipOk));
        QCOMPARE(a.index, 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(tevZipGetEntry(fromFile.get(), i, &a), unsigned(TEVZipOk));
            QCOMPARE(tevZipGetEntry(fromMem.get(), i, &b), unsigned(TEVZipOk));
            QCOMPARE(QByteArray(a.name), QByteArray(b.name));
            QCOMPARE(a.attributes, b.attributes);
            QCOMPARE(a.modificationTime, b.modificationTime);
            QCOMPARE(a.accessTime, b.accessTime);
            QCOMPARE(a.creationTime, b.creationTime);
            QCOMPARE(a.compressedSize, b.compressedSize);
            QCOMPARE(a.uncompressedSize, b.uncompressedSize);
            unsigned ca = 1, cb = 1;
            QCOMPARE(readWhole(fromFile.get(), i, &ca), readWhole(fromMem.get(), i, &cb));
            QCOMPARE(ca, unsigned(TEVZipOk));
            QCOMPARE(cb, unsigned(TEVZipOk));
        }
        QCOMPARE(readWhole(fromFile.get(), 2, &a.attributes), pattern(70000, 3));
        QCOMPARE(a.modificationTime, qint64(1700000000));

        QVector<TEVZipFile> files;
        QCOMPARE(tevZipReadAll(fromFile.get(), files), unsigned(TEVZipOk));
        QCOMPARE(files.size(), 2); // the directory is left out
        QCOMPARE(files[0].name, QByteArray("one"));
        QCOMPARE(files[0].data, pattern(100, 1));
        QCOMPARE(files[1].name, QByteArray("d/t.txt"));
        QCOMPARE(files[1].data, pattern(70000, 3));
    }

    void refusesWhatIsNotAnArchive()
    {
        QTemporaryDir dir;
        const QString text = dir.filePath("notes.txt");
        QVERIFY(tevtest::writeFile(text, "this is not a zip archive, just some text\n"));
        QVERIFY(!tevZipOpenFile(QFile::encodeName(text).constData()));
        QCOMPARE(tevZipLastResult(), unsigned(TEVZipCannotOpen));

        const QByteArray bytes_good = ziptest::build({Item("a", "b")});
        ZipPtr good = openMem(bytes_good); // resets the last result
        QVERIFY(good);
        QCOMPARE(tevZipLastResult(), unsigned(TEVZipOk));

        QVERIFY(!tevZipOpenFile(QFile::encodeName(dir.filePath("missing.zip")).constData()));
        QCOMPARE(tevZipLastResult(), unsigned(TEVZipCannotOpen));
        QVERIFY(!tevZipOpenFile(QFile::encodeName(dir.path()).constData())); // a folder
        QCOMPARE(tevZipLastResult(), unsigned(TEVZipCannotOpen));
        QVERIFY(!tevZipOpenFile(nullptr));
        QVERIFY(!tevZipOpenMemory(nullptr, 10));
        QVERIFY(!tevZipOpenMemory(nullptr, 0));
        QVERIFY(!tevZipOpenMemory("", 0));
        QCOMPARE(tevZipLastResult(), unsigned(TEVZipCannotOpen));
        const QByteArray garbage = pattern(5000, 9);
        QVERIFY(!openMem(garbage));
        // minizip refuses an end record with no entries at all.
        const QByteArray emptyZip = ziptest::build({});
        QCOMPARE(emptyZip.size(), 22);
        QVERIFY(!openMem(emptyZip));
        QCOMPARE(tevZipLastResult(), unsigned(TEVZipCannotOpen));
    }

    void passwords()
    {
        Item secret("secret.txt", pattern(500, 4));
        secret.password = "pw";
        const QByteArray zip = ziptest::build({secret, Item("open.txt", "public")});
        unsigned code = 0;
        {
            // Debian's minizip is built without decryption: the right password then also ends in 0x1000.
            ZipPtr z = openMem(zip, "pw");
            QVERIFY(z);
            const QByteArray got = readWhole(z.get(), 0, &code);
            QVERIFY(code == TEVZipPassword || (code == TEVZipOk && got == pattern(500, 4)));
            QCOMPARE(readWhole(z.get(), 1, &code), QByteArray("public"));
            QCOMPARE(code, unsigned(TEVZipOk));
        }
        for (const char* pw : {static_cast<const char*>(nullptr), "wrong"}) {
            ZipPtr z = openMem(zip, pw);
            QVERIFY(z);
            QVERIFY(readWhole(z.get(), 0, &code).isEmpty());
            QCOMPARE(code, unsigned(TEVZipPassword));
            QCOMPARE(readWhole(z.get(), 1, &code), QByteArray("public"));
            QCOMPARE(code, unsigned(TEVZipOk));
        }
    }

    void checkedReadsRefuseLies()
    {
        const QByteArray body = pattern(2000, 5);
        const QByteArray good = ziptest::build({Item("a", "first"), Item("b", body), Item("c", "last")});
        const quint32 realCrc = quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size())));
        const int cb = ziptest::centralRecord(good, 1);
        const quint32 compressed = quint32(uchar(good[cb + 20])) | quint32(uchar(good[cb + 21])) << 8;

        struct Case {
            const char* what;
            QByteArray zip;
            unsigned expected;
        };
        QList<Case> cases;
        QByteArray z = good;
        ziptest::patchCrc(z, 1, realCrc ^ 1);
        cases.append({"wrong crc", z, TEVZipCrcMismatch});
        z = good;
        ziptest::patchSizes(z, 1, compressed, 2500);
        cases.append({"declared larger", z, TEVZipSizeMismatch});
        z = good;
        ziptest::patchSizes(z, 1, compressed, 1500);
        cases.append({"declared smaller", z, TEVZipCrcMismatch});
        z = good;
        ziptest::patchSizes(z, 1, compressed, 0);
        cases.append({"declared empty", z, TEVZipCrcMismatch});
        z = good;
        z[ziptest::localHeader(z, 1) + 30 + 1 + 10] = char(z[ziptest::localHeader(z, 1) + 30 + 1 + 10] ^ 0x55);
        cases.append({"flipped byte", z, ~0u});
        z = good;
        ziptest::patchSizes(z, 1, 3u * 1024u * 1024u * 1024u, 3u * 1024u * 1024u * 1024u);
        cases.append({"3 GiB", z, TEVZipTooLarge});
        z = good;
        ziptest::patchSizes(z, 1, compressed, TEVZipMaxEntrySize + 1);
        cases.append({"just over the cap", z, TEVZipTooLarge});
        z = good;
        ziptest::patchSizes(z, 1, compressed / 2, 2000);
        cases.append({"compressed size cut", z, TEVZipInflateFailed});
        z = good;
        z[ziptest::localHeader(z, 1)] = 'X';
        cases.append({"local signature", z, TEVZipBadHeader});
        z = good;
        ziptest::put32(z, ziptest::localHeader(z, 1) + 14, realCrc ^ 1); // local and central disagree
        cases.append({"local crc differs", z, TEVZipBadHeader});
        z = good;
        ziptest::put32(z, ziptest::centralRecord(z, 1) + 42, quint32(z.size() + 100)); // header past the end
        cases.append({"offset past end", z, TEVZipBadHeader});
        z = good;
        ziptest::put16(z, ziptest::localHeader(z, 1) + 28, 0xFFFF); // local extra field runs past the end
        cases.append({"local extra past end", z, TEVZipReadFailed});

        for (const Case& c : cases) {
            ZipPtr zr = openMem(c.zip);
            QVERIFY2(zr, c.what);
            QByteArray data("stale");
            const unsigned code = tevZipReadEntry(zr.get(), 1, data);
            if (c.expected == ~0u)
                QVERIFY2(code == TEVZipInflateFailed || code == TEVZipCrcMismatch, c.what);
            else
                QVERIFY2(code == c.expected, qPrintable(QString("%1: 0x%2").arg(c.what).arg(code, 0, 16)));
            QVERIFY2(data.isEmpty(), c.what);
            QCOMPARE(tevZipLastResult(), code);
            // The neighbours are unharmed, and the whole-archive read fails with the entry's code.
            unsigned other = 1;
            QCOMPARE(readWhole(zr.get(), 0, &other), QByteArray("first"));
            QCOMPARE(other, unsigned(TEVZipOk));
            QCOMPARE(readWhole(zr.get(), 2, &other), QByteArray("last"));
            QCOMPARE(other, unsigned(TEVZipOk));
            QVector<TEVZipFile> files{TEVZipFile()};
            QCOMPARE(tevZipReadAll(zr.get(), files), code);
            QVERIFY(files.isEmpty());
        }
    }

    void lyingSizesInChunks()
    {
        // The low-level extraction also reports the lie at the end of the entry.
        const QByteArray body = pattern(300, 6);
        QByteArray z = ziptest::build({Item("b", body)});
        const int cb = ziptest::centralRecord(z, 0);
        const quint32 compressed = quint32(uchar(z[cb + 20])) | quint32(uchar(z[cb + 21])) << 8;
        ziptest::patchSizes(z, 0, compressed, 400);
        ZipPtr zr = openMem(z);
        QVERIFY(zr);
        QByteArray buf(128, '\0');
        unsigned produced = 0;
        unsigned total = 0;
        unsigned code;
        while ((code = tevZipExtract(zr.get(), 0, buf.data(), 128, &produced)) == TEVZipMoreData)
            total += produced;
        QCOMPARE(code, unsigned(TEVZipSizeMismatch));
        QCOMPARE(total + produced, 300u);

        QByteArray bad = ziptest::build({Item("b", body, 0)});
        ziptest::patchCrc(bad, 0, 0xDEADBEEF);
        zr = openMem(bad);
        QVERIFY(zr);
        QCOMPARE(tevZipExtract(zr.get(), 0, buf.data(), 128, &produced), unsigned(TEVZipMoreData));
        QCOMPARE(tevZipExtract(zr.get(), 0, buf.data(), 128, &produced), unsigned(TEVZipMoreData));
        QCOMPARE(tevZipExtract(zr.get(), 0, buf.data(), 128, &produced), unsigned(TEVZipCrcMismatch));
        QCOMPARE(produced, 44u);
        // After the failure the entry starts again from its beginning.
        QCOMPARE(tevZipExtract(zr.get(), 0, buf.data(), 128, &produced), unsigned(TEVZipMoreData));
        QCOMPARE(buf.left(16), body.left(16));
    }

    void sizeCaps()
    {
        const QByteArray body = pattern(1000, 7);
        QByteArray z = ziptest::build({Item("a", body), Item("b", body), Item("c", body), Item("d", body),
                                       Item("e", body)});
        QByteArray patched = z;
        for (int i = 0; i < 5; ++i) {
            const int c = ziptest::centralRecord(patched, i);
            const quint32 compressed = quint32(uchar(patched[c + 20])) | quint32(uchar(patched[c + 21])) << 8;
            ziptest::patchSizes(patched, i, compressed, 60u * 1024u * 1024u); // 5 x 60 MiB > 256 MiB in total
        }
        ZipPtr zr = openMem(patched);
        QVERIFY(zr);
        QVector<TEVZipFile> files;
        QCOMPARE(tevZipReadAll(zr.get(), files), unsigned(TEVZipTooLarge));
        QVERIFY(files.isEmpty());

        // A budget is charged by each successful read and refuses what no longer fits.
        ZipPtr ok = openMem(z);
        QVERIFY(ok);
        quint64 budget = 2500;
        QByteArray data;
        QCOMPARE(tevZipReadEntry(ok.get(), 0, data, &budget), unsigned(TEVZipOk));
        QCOMPARE(budget, quint64(1500));
        QCOMPARE(tevZipReadEntry(ok.get(), 1, data, &budget), unsigned(TEVZipOk));
        QCOMPARE(tevZipReadEntry(ok.get(), 2, data, &budget), unsigned(TEVZipTooLarge));
        QVERIFY(data.isEmpty());
        QCOMPARE(budget, quint64(500));

        // Exactly at the per-entry cap is accepted (and then fails on its real size).
        QByteArray atCap = z;
        const int c = ziptest::centralRecord(atCap, 0);
        const quint32 compressed = quint32(uchar(atCap[c + 20])) | quint32(uchar(atCap[c + 21])) << 8;
        ziptest::patchSizes(atCap, 0, compressed, TEVZipMaxEntrySize);
        zr = openMem(atCap);
        QCOMPARE(tevZipReadEntry(zr.get(), 0, data), unsigned(TEVZipSizeMismatch));
    }
};

TEV_TEST_MAIN(TestZip)
#include "tst_zip.moc"
