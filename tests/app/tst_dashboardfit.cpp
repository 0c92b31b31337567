// The dashboard's texts fit at the smallest, the usual and a large window size: on every section, with the trend
// drawer closed and open, in English and Chinese, in the dashboard's font and a wider one, at the start and after
// four hours of running (the energy totals have grown by a digit), no label shows an elided or clipped text and
// no widget reaches outside the box that holds it (a card pushed out of its row is cut by the row).
#include "DashboardBlocks.h"
#include "DashboardFixture.h"
#include "DashboardStartup.h"
#include "PhotovoltaicPlantWindow.h"
#include "SolarPlantSimulator.h"
#include "TEVQComboBox.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQPushButton.h"
#include "TEVQRadioButton.h"
#include "TEVQSwitch.h"
#include "TEVQtLib.h"
#include "TevTest.h"

#include <QFontMetrics>
#include <QTextDocument>

#include <memory>

using namespace quenlark;

namespace {

// The path of object names from the window down to w, for messages.
QString pathOf(const QWidget* w, const QWidget* top)
{
    QStringList names;
    for (const QWidget* p = w; p && p != top; p = p->parentWidget())
        names.prepend(p->objectName().isEmpty() ? QString::fromLatin1(p->metaObject()->className())
                                                : p->objectName());
    return names.join(QLatin1Char('/'));
}

// Problems of one label: elided, wider than its text room, or cut by an ancestor.
QStringList labelProblems(TEVQLabel* l, const QWidget* top)
{
    QStringList out;
    const QString full = l->painter()->text;
    const QString shown = l->QLabel::text();
    if (full.isEmpty())
        return out;
    if (shown != full)
        out << QStringLiteral("%1: \"%2\" shown as \"%3\"").arg(pathOf(l, top), full, shown);
    if (!l->wordWrap() && !Qt::mightBeRichText(shown)) {
        const QFontMetrics fm(l->font());
        const int need = fm.horizontalAdvance(shown);
        const int room = l->contentsRect().width() - 2 * l->margin() - (l->indent() > 0 ? l->indent() : 0);
        if (need > room)
            out << QStringLiteral("%1: \"%2\" needs %3 px, has %4").arg(pathOf(l, top), shown).arg(need).arg(room);
        if (fm.height() > l->contentsRect().height() + 2)
            out << QStringLiteral("%1: \"%2\" needs %3 px of height, has %4")
                       .arg(pathOf(l, top), shown)
                       .arg(fm.height())
                       .arg(l->contentsRect().height());
    }
    return out;
}

// A widget must lie inside every ancestor up to the window (one pixel of slack for rounded shares).
QString cutBy(const QWidget* w, const QWidget* top)
{
    QRect r(QPoint(0, 0), w->size());
    const QWidget* child = w;
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        r.translate(child->pos());
        const QRect inside = QRect(QPoint(0, 0), p->size()).adjusted(-1, -1, 1, 1);
        if (!inside.contains(r))
            return QStringLiteral("%1 (%2) is cut by %3 (%4)")
                .arg(pathOf(w, top))
                .arg(QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()))
                .arg(pathOf(p, top))
                .arg(QStringLiteral("%1x%2").arg(p->width()).arg(p->height()));
        if (p == top)
            break;
        child = p;
    }
    return QString();
}

} // namespace

class PhotovoltaicPlantWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<PhotovoltaicPlantWindow> w;

    QStringList problemsOnScreen()
    {
        QStringList out;
        for (TEVQLabel* l : w->findChildren<TEVQLabel*>()) {
            if (!l->isVisibleTo(w.get()) || l->width() <= 0)
                continue;
            out << labelProblems(l, w.get());
            const QString cut = cutBy(l, w.get());
            if (!cut.isEmpty())
                out << cut;
        }
        // Buttons paint their own text: what the last paint showed is the full text.
        w->grab();
        auto shownInFull = [&out, this](QWidget* b, const QString& full, const TEVQtLib::TEVTextCache& cache) {
            if (!b->isVisibleTo(w.get()) || full.isEmpty() || cache.shownText().isEmpty())
                return;
            if (cache.shownText() != full)
                out << QStringLiteral("%1: \"%2\" shown as \"%3\"").arg(pathOf(b, w.get()), full, cache.shownText());
        };
        // A push button elides its text to its width past the text offsets; the normal look's font decides.
        for (TEVQPushButton* b : w->findChildren<TEVQPushButton*>()) {
            if (!b->isVisibleTo(w.get()) || b->text().isEmpty() || !b->getShowText())
                continue;
            const TEVQtLib::TextStyleDesc& style = b->painter()->textStyles[0];
            TEVQtLib::TEVTextCache fonts;
            const int need = QFontMetrics(fonts.font(style)).horizontalAdvance(b->text());
            const int room = b->width() - b->painter()->textOffsetX - style.offsetX - 2;
            if (need > room)
                out << QStringLiteral("%1: \"%2\" needs %3 px, has %4").arg(pathOf(b, w.get()), b->text()).arg(need).arg(room);
        }
        for (TEVQRadioButton* b : w->findChildren<TEVQRadioButton*>())
            shownInFull(b, b->text(), b->painter()->textCache);
        for (TEVQComboBox* c : w->findChildren<TEVQComboBox*>())
            shownInFull(c, c->currentText(), c->painter()->textCache);
        // A switch draws each side's text in a slot of the thumb's width (less a pixel on each side), in the
        // style of either side.
        for (TEVQSwitch* s : w->findChildren<TEVQSwitch*>()) {
            if (!s->isVisibleTo(w.get()))
                continue;
            const TEVQSwitchImpl* d = s->painter();
            for (const QString& text : {d->leftText, d->rightText}) {
                for (const TEVQtLib::TextStyleDesc* style : {&d->leftTextStyle, &d->rightTextStyle}) {
                    TEVQtLib::TEVTextCache fonts;
                    const int need = QFontMetrics(fonts.font(*style)).horizontalAdvance(text);
                    if (need > d->thumbSize.width() - 2)
                        out << QStringLiteral("%1: \"%2\" needs %3 px, has %4")
                                   .arg(pathOf(s, w.get()), text)
                                   .arg(need)
                                   .arg(d->thumbSize.width() - 2);
                }
            }
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        // The dashboard's own font, as the program sets it.
        TEVQtLib::init();
        TEVQtLib::TEVGlobalConfig config = TEVQtLib::tevGetGlobalConfig();
        config.fontFamily = QStringLiteral("Microsoft YaHei UI");
        TEVQtLib::tevSetGlobalConfig(config);
        QString message;
        QVERIFY2(openDashboard(w, &message), qPrintable(message));
        // The suite runs this test once more at a scale of 2 (QT_SCALE_FACTOR), as on a high-density screen:
        // that run must really draw two device pixels per pixel.
        const qreal scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                : 1.0;
        QCOMPARE(w->devicePixelRatioF(), scale);
    }

    void cleanupTestCase() { w.reset(); }

    // A fitted label keeps a growing value whole: a smaller size while the text is wider than the label (keeping
    // the alignment it was given), the theme's size again once it fits (a shorter text, a wider label), and the
    // new theme's size after a theme change.
    void fittedLabelKeepsItsText()
    {
        TEVQContainer box;
        box.setChildLayout(TEVQContainer::AutoChildLayout(0));
        box.resize(70, 40);
        TEVQLabel* l = addLabel(&box, QStringLiteral("SolarLabelMetric"), 1, 30);
        fitTextToWidth(l);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTRY_COMPARE(l->width(), 70);
        const int metric = l->getTextStyle(TEVQtLib::CtrlStateNormal).pixelSize;
        auto size = [l] { return l->getTextStyle(TEVQtLib::CtrlStateNormal).pixelSize; };
        auto whole = [l] {
            return l->QLabel::text() == l->painter()->text &&
                   QFontMetrics(l->font()).horizontalAdvance(l->QLabel::text()) <= l->contentsRect().width();
        };
        setFittedText(l, QStringLiteral("612.0"));
        QCOMPARE(size(), metric);
        QVERIFY(whole());
        setFittedText(l, QStringLiteral("10980.4"));
        QVERIFY(size() < metric);
        QVERIFY(whole());
        QCOMPARE(l->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        setFittedText(l, QStringLiteral("612.0"));
        QCOMPARE(size(), metric);

        setFittedText(l, QStringLiteral("10980.4"));
        box.resize(400, 40);
        QTRY_COMPARE(size(), metric);
        box.resize(70, 40);
        QTRY_VERIFY(size() < metric);
        QVERIFY(whole());

        // The title style is smaller than the metric one: the fit starts again from its size.
        l->setThemeName(QStringLiteral("SolarLabelTitle"));
        QTRY_VERIFY(size() <= 18 && whole());
        box.resize(400, 40);
        QTRY_COMPARE(size(), 18);
    }

    void textsFit_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("language");
        // The global font family: the dashboard's own, or none (the labels' own family, which falls back to
        // the tests' pinned font, wider than the dashboard's).
        QTest::addColumn<QString>("font");
        // Simulated hours before the check; the rows run in this order and the simulator only goes on. After four
        // hours the daily energy has four digits before the point and the annual one three (each a digit more
        // than at the start).
        QTest::addColumn<int>("hours");
        const QString dashboard = QStringLiteral("Microsoft YaHei UI");
        QTest::newRow("1280x720 en") << QSize(1280, 720) << "en-US" << dashboard << 0;
        QTest::newRow("1280x720 zh") << QSize(1280, 720) << "zh-CN" << dashboard << 0;
        QTest::newRow("1440x900 en") << QSize(1440, 900) << "en-US" << dashboard << 0;
        QTest::newRow("1440x900 zh") << QSize(1440, 900) << "zh-CN" << dashboard << 0;
        QTest::newRow("1280x720 en, wide font") << QSize(1280, 720) << "en-US" << QString() << 0;
        QTest::newRow("1440x900 en, wide font") << QSize(1440, 900) << "en-US" << QString() << 0;
        QTest::newRow("1280x720 zh, wide font") << QSize(1280, 720) << "zh-CN" << QString() << 0;
        QTest::newRow("1280x720 en, 4 h") << QSize(1280, 720) << "en-US" << dashboard << 4;
        QTest::newRow("1280x720 zh, 4 h") << QSize(1280, 720) << "zh-CN" << dashboard << 4;
        QTest::newRow("2560x1440 en, 4 h") << QSize(2560, 1440) << "en-US" << dashboard << 4;
        QTest::newRow("1280x720 en, wide font, 4 h") << QSize(1280, 720) << "en-US" << QString() << 4;
    }

    void textsFit()
    {
        QFETCH(QSize, size);
        QFETCH(QString, language);
        QFETCH(QString, font);
        QFETCH(int, hours);
        // The drawer's closing slide of the previous row has ended (its texts are squeezed while it slides).
        QTRY_VERIFY(!w->trendDrawerBody()->isVisible());
        if (TEVQtLib::tevGetGlobalFontFamily() != font) {
            TEVQtLib::tevSetGlobalFontFamily(font);
            TEVQtLib::tevNotifyThemeChange();
        }
        QVERIFY(TEVQtLib::tevSetLanguage(language));
        w->resize(size);
        QTRY_COMPARE(w->size(), size);
        // The simulator's own ticks up to the running time (the energy totals grow with them), without a
        // refresh for each; then a live snapshot a few ticks on, with every inverter state the plant shows.
        SolarPlantSimulator* sim = w->simulator();
        {
            const QSignalBlocker quiet(sim);
            while (sim->tickCount() < hours * 3600)
                sim->advance();
        }
        for (int i = 0; i < 3; ++i)
            sim->advance();
        w->refreshSnapshot(sim->snapshot());

        QStringList problems;
        for (bool drawer : {false, true}) {
            w->setTrendDrawerExpanded(drawer);
            for (int section = 0; section < 11; ++section) {
                w->setCurrentSection(section);
                // The drawer slides once, at the first section: its texts are read once the slide has ended,
                // however long a slow machine takes for it.
                if (drawer && section == 0)
                    QTRY_VERIFY_WITH_TIMEOUT(!w->trendDrawer()->isResizeAnimationRunning(), 60000);
                QTest::qWait(30);
                for (const QString& p : problemsOnScreen())
                    problems << QStringLiteral("section %1%2: %3").arg(section).arg(drawer ? " drawer" : "", p);
                if (section == 2 && !drawer)
                    tevtest::keepRender(w->grab().toImage(),
                                        QStringLiteral("fit %1.png").arg(QString::fromLatin1(QTest::currentDataTag())));
            }
        }
        w->setTrendDrawerExpanded(false);
        problems.removeDuplicates();
        for (const QString& p : problems)
            qWarning("%s", qPrintable(p));
        QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("%1 texts do not fit").arg(problems.size())));
    }
};

TEV_TEST_MAIN(PhotovoltaicPlantWindowTest)
#include "tst_dashboardfit.moc"
