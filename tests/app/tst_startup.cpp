// The dashboard program from outside: exit codes, the screenshot file, start-up failures with their message
// box and standard-error text, and an installation under a path with non-ASCII characters.
#include "TevTest.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

#ifdef TEV_HAVE_XCB
#include <xcb/xcb.h>
#include <cstdlib>
#include <cstring>
#endif

namespace {

const QString kApp = QStringLiteral(TEV_APP_EXECUTABLE);

#ifdef TEV_HAVE_XCB
// Asks the top-level window titled title of the process pid (the start-up message box, the dashboard) to
// close, as a window manager's close button would. True once a window was found and asked. The process is
// matched too: other tests on the same display show windows of the same title.
bool closeWindowTitled(const QByteArray& title, qint64 pid)
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        return a;
    };
    const xcb_atom_t protocols = atom("WM_PROTOCOLS"), del = atom("WM_DELETE_WINDOW");
    const xcb_atom_t netName = atom("_NET_WM_NAME"), utf8 = atom("UTF8_STRING"), netPid = atom("_NET_WM_PID");
    bool asked = false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, screen->root), nullptr);
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            xcb_get_property_reply_t* p =
                xcb_get_property_reply(c, xcb_get_property(c, 0, children[i], netName, utf8, 0, 256), nullptr);
            const QByteArray name = p ? QByteArray(static_cast<const char*>(xcb_get_property_value(p)),
                                                   xcb_get_property_value_length(p))
                                      : QByteArray();
            free(p);
            if (name != title)
                continue;
            xcb_get_property_reply_t* owner = xcb_get_property_reply(
                c, xcb_get_property(c, 0, children[i], netPid, XCB_ATOM_CARDINAL, 0, 1), nullptr);
            const bool ours = owner && xcb_get_property_value_length(owner) == 4 &&
                              *static_cast<const uint32_t*>(xcb_get_property_value(owner)) == uint32_t(pid);
            free(owner);
            if (!ours)
                continue;
            xcb_client_message_event_t ev{};
            ev.response_type = XCB_CLIENT_MESSAGE;
            ev.format = 32;
            ev.window = children[i];
            ev.type = protocols;
            ev.data.data32[0] = del;
            ev.data.data32[1] = XCB_CURRENT_TIME;
            xcb_send_event(c, 0, children[i], XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
            asked = true;
        }
        free(tree);
    }
    xcb_flush(c);
    xcb_disconnect(c);
    return asked;
}
#endif

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
    bool finished = false;
};

// Runs the program with the arguments; when closeTitle is given, closes the window of that title as soon as it
// is there (for the start-up message box, once its message is on standard error). The program's exit, the
// framework's singletons and caches going last, is leak-checked (without the GL driver, whose allocations the
// checker cannot attribute).
Run runApp(const QString& program, const QStringList& args, const QByteArray& closeTitle = QByteArray(),
           int timeoutMs = 90000)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0"));
    env.insert(QStringLiteral("LSAN_OPTIONS"),
               QStringLiteral("print_suppressions=0:suppressions=") + tevtest::dataPath(QStringLiteral("lsan.supp")));
    env.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(20000))
        return r;
    if (!closeTitle.isEmpty()) {
#ifdef TEV_HAVE_XCB
        const bool box = closeTitle == "Quenlark";
        QElapsedTimer t;
        t.start();
        bool asked = false;
        while (!asked && t.elapsed() < timeoutMs && p.state() == QProcess::Running) {
            p.waitForReadyRead(box ? 200 : 20);
            r.err += p.readAllStandardError();
            if (!box || r.err.contains("Quenlark:"))
                asked = closeWindowTitled(closeTitle, p.processId());
        }
#endif
    }
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    r.code = p.exitCode();
    r.out += p.readAllStandardOutput();
    r.err += p.readAllStandardError();
    return r;
}

// A copy of the program in dir, with or without the theme directory beside it.
QString installCopy(const QString& dir, bool withTheme)
{
    QDir().mkpath(dir);
    const QString exe = dir + QStringLiteral("/photovoltaic");
    QFile::remove(exe);
    // A hard link where the file system allows it (the sanitizer build is large), else a copy.
    if (::link(QFile::encodeName(kApp).constData(), QFile::encodeName(exe).constData()) != 0 &&
        !QFile::copy(kApp, exe))
        return QString();
    QFile::setPermissions(exe, QFile::permissions(kApp));
    if (withTheme) {
        const QString src = QFileInfo(kApp).absolutePath() + QStringLiteral("/photovoltaic-theme");
        QDir().mkpath(dir + QStringLiteral("/photovoltaic-theme"));
        for (const QString& f : {QStringLiteral("style.json"), QStringLiteral("theme.json")})
            QFile::copy(src + QLatin1Char('/') + f, dir + QStringLiteral("/photovoltaic-theme/") + f);
    }
    return exe;
}

QSize pngSize(const QByteArray& bytes)
{
    if (!bytes.startsWith("\x89PNG\r\n\x1a\n") || bytes.size() < 24)
        return QSize();
    auto be = [&](int at) {
        return int((uchar(bytes[at]) << 24) | (uchar(bytes[at + 1]) << 16) | (uchar(bytes[at + 2]) << 8) |
                   uchar(bytes[at + 3]));
    };
    return QSize(be(16), be(20));
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void screenshotSizes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QSize>("size");
        QTest::newRow("default") << QStringList() << QSize(1440, 900);
        QTest::newRow("raised to the minimum") << QStringList{"--size", "800x600"} << QSize(1280, 720);
        QTest::newRow("chinese, drawer, section") << QStringList{"--zh", "--drawer", "--section", "weather"}
                                                  << QSize(1440, 900);
    }

    void screenshotSizes()
    {
        QFETCH(QStringList, args);
        QFETCH(QSize, size);
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("out/shot.jpg")); // PNG whatever the extension
        const Run r = runApp(kApp, args + QStringList{QStringLiteral("--screenshot"), path});
        QVERIFY2(r.finished, r.err.constData());
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(path.toUtf8()));
        QCOMPARE(pngSize(tevtest::readFile(path)), size);
    }

    void screenshotFailure()
    {
        QTemporaryDir tmp;
        QVERIFY(tevtest::writeFile(tmp.filePath(QStringLiteral("file")), "x"));
        const Run r = runApp(kApp, {QStringLiteral("--screenshot"), tmp.filePath(QStringLiteral("file/shot.png"))});
        QVERIFY(r.finished);
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("could not be written"));
    }

    // The window closed while it starts: the drawer sliding open, the simulator ticking, the layout pass
    // pending. The program ends with the loop's result and nothing left behind.
    void closedWhileStarting()
    {
#ifndef TEV_HAVE_XCB
        QSKIP("needs libxcb to close the window");
#else
        const Run r = runApp(kApp, {QStringLiteral("--drawer"), QStringLiteral("--section"), QStringLiteral("charts")},
                             "Quenlark Solar Operations");
        QVERIFY2(r.finished, r.err.constData());
        QVERIFY2(r.code == 0 && !r.err.contains("Sanitizer"), r.err.constData());
#endif
    }

    void nonAsciiInstallation()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(QString::fromUtf8("光伏 电站 Ünïcode"));
        const QString exe = installCopy(dir, true);
        QVERIFY(!exe.isEmpty());
        const QString shot = dir + QString::fromUtf8("/截图.png");
        const Run r = runApp(exe, {QStringLiteral("--screenshot"), shot});
        QVERIFY2(r.finished, r.err.constData());
        QCOMPARE(r.code, 0);
        QCOMPARE(pngSize(tevtest::readFile(shot)), QSize(1440, 900));
    }

    void themeFailures_data()
    {
        QTest::addColumn<QByteArray>("style"); // empty: no theme directory at all
        QTest::addColumn<QStringList>("args");
        QTest::newRow("missing") << QByteArray() << QStringList();
        QTest::newRow("missing, Chinese asked") << QByteArray() << QStringList{"--zh"};
        QTest::newRow("no style member") << QByteArray("{\"elements\": []}") << QStringList();
        QTest::newRow("not JSON") << QByteArray("{\"style\": [") << QStringList();
    }

    void themeFailures()
    {
#ifndef TEV_HAVE_XCB
        QSKIP("needs libxcb to close the message box");
#else
        QFETCH(QByteArray, style);
        QFETCH(QStringList, args);
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(QStringLiteral("install"));
        const QString exe = installCopy(dir, false);
        QVERIFY(!exe.isEmpty());
        if (!style.isEmpty())
            QVERIFY(tevtest::writeFile(dir + QStringLiteral("/photovoltaic-theme/style.json"), style));
        const QString shot = tmp.filePath(QStringLiteral("shot.png"));
        const Run r = runApp(exe, args + QStringList{QStringLiteral("--screenshot"), shot}, "Quenlark");
        QVERIFY2(r.finished, r.err.constData());
        QCOMPARE(r.code, 1);
        // In the dictionary's default language, whatever the command line asks.
        const QByteArray expected = "Unable to load the Quenlark theme from:\n" + dir.toUtf8() + "/photovoltaic-theme";
        QVERIFY2(r.err.contains(expected), r.err.constData());
        QVERIFY(!QFile::exists(shot));
#endif
    }
};

TEV_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
