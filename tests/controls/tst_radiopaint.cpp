// Radio button backgrounds kept between paints: a rounded or gradient background is the fill style's own
// picture (up to the rounding of its anti-aliased edges), and after any input changed the button paints what a freshly made button with the same settings
// paints (a background or text kept from before would show).
#include "TevTest.h"

#include "TEVQRadioButton.h"
#include "TEVQResourceManager.h"
#include "TEVQWidgetBaseImpl.h"

#include <QPainter>

#include <algorithm>
#include <functional>
#include <memory>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

QImage grab(QWidget* w)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    return img;
}

FillStyle rounded(const QColor& from, const QColor& to, int radius)
{
    FillStyle f;
    f.fillRes.fillColor = from;
    f.fillRes.gradientEndColor = to;
    f.fillRes.gradient = from != to;
    f.fillRes.radius = radius;
    f.fillRes.drawBorder = true;
    f.fillRes.borderSize = 1;
    f.fillRes.borderColor = QColor(60, 80, 100);
    return f;
}

TextStyleDesc ink(const QColor& c, int pixelSize = 12)
{
    TextStyleDesc t;
    t.color = c;
    t.pixelSize = pixelSize;
    t.family = QStringLiteral("DejaVu Sans");
    return t;
}

// The same picture but for the rounding of anti-aliased edges (the background is drawn once and copied): at
// most 1 apart in every premultiplied channel (the colour of an almost transparent pixel means little).
bool sameUpToRounding(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < pa.height(); ++y)
        for (int x = 0; x < pa.width(); ++x) {
            const QRgb p = pa.pixel(x, y), q = pb.pixel(x, y);
            if (std::max({qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)), qAbs(qBlue(p) - qBlue(q)),
                          qAbs(qAlpha(p) - qAlpha(q))}) > 1)
                return false;
        }
    return true;
}

void sendEnter(QWidget* w)
{
    QEvent e(QEvent::Enter);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

class RadioPaintTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        rm()->initDefaultImageRes();
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
    }

    // With nothing else shown, the button is exactly its background as the drawing helper draws it.
    void backgroundIsTheFillStylesPicture_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("radius");
        QTest::addColumn<bool>("gradient");
        for (bool checked : {false, true}) {
            QTest::addRow("%s rounded", checked ? "checked" : "unchecked") << checked << 6 << false;
            QTest::addRow("%s gradient", checked ? "checked" : "unchecked") << checked << 0 << true;
            QTest::addRow("%s both", checked ? "checked" : "unchecked") << checked << 9 << true;
        }
    }

    void backgroundIsTheFillStylesPicture()
    {
        QFETCH(bool, checked);
        QFETCH(int, radius);
        QFETCH(bool, gradient);
        const FillStyle unchecked = rounded(QColor(232, 240, 250), gradient ? QColor(180, 200, 240) : QColor(232, 240, 250), radius);
        const FillStyle selected = rounded(QColor(250, 220, 200), gradient ? QColor(240, 160, 120) : QColor(250, 220, 200), radius);
        TEVQRadioButton radio;
        radio.resize(130, 28);
        radio.setShowIcon(false);
        radio.setShowText(false);
        radio.setBackground(CtrlState(4), unchecked);
        for (int s = 0; s < 4; ++s)
            radio.setSelectedBackground(CtrlState(s), selected);
        radio.setChecked(checked);
        QImage expected(radio.size(), QImage::Format_ARGB32);
        expected.fill(Qt::transparent);
        {
            QPainter p(&expected);
            TEVQWidgetBaseImpl::drawFillStyle(&p, checked ? selected : unchecked, radio.rect());
        }
        for (int pass = 0; pass < 2; ++pass) // drawn, then copied
            QVERIFY(sameUpToRounding(grab(&radio), expected));
    }

    // After each change the kept button paints what a new button with the same settings paints.
    void pictureFollowsEveryInput()
    {
        QString text = QStringLiteral("Inverter 1");
        FillStyle background = rounded(QColor(232, 240, 250), QColor(190, 210, 240), 6);
        FillStyle selected = rounded(QColor(250, 220, 200), QColor(240, 160, 120), 6);
        TextStyleDesc textStyle = ink(QColor(20, 30, 40));
        QSize size(140, 26);
        bool checked = false;
        bool hot = false;
        auto configure = [&](TEVQRadioButton& r) {
            r.setIcon(RadioIconUnchecked, QStringLiteral("IDB_UNSELECT"));
            r.setIcon(RadioIconChecked, QStringLiteral("IDB_SELECTED"));
            r.setText(text);
            r.setBackground(CtrlState(4), background);
            for (int s = 0; s < 4; ++s)
                r.setSelectedBackground(CtrlState(s), selected);
            r.setTextStyle(false, textStyle);
            r.setTextStyle(true, textStyle);
            r.resize(size);
            r.setAutoExclusive(false);
            r.setChecked(checked);
            if (hot)
                sendEnter(&r);
        };
        TEVQRadioButton kept;
        configure(kept);
        QImage previous;
        auto check = [&](const char* what) {
            TEVQRadioButton fresh;
            configure(fresh);
            const QImage expected = grab(&fresh);
            QVERIFY2(expected != previous, what); // the change shows
            QVERIFY2(grab(&kept) == expected, what);
            QVERIFY2(grab(&kept) == expected, what);
            previous = expected;
        };
        check("first paint");
        text = QStringLiteral("Combiner box 12");
        kept.setText(text);
        check("text");
        background = rounded(QColor(200, 240, 200), QColor(120, 200, 120), 10);
        kept.setBackground(CtrlState(4), background);
        check("background");
        background.fillRes.gradient = false;
        kept.setBackground(CtrlState(4), background);
        check("gradient off");
        size = QSize(180, 34);
        kept.resize(size);
        check("size");
        checked = true;
        kept.setChecked(true);
        check("checked");
        selected = rounded(QColor(30, 60, 90), QColor(30, 60, 90), 4);
        for (int s = 0; s < 4; ++s)
            kept.setSelectedBackground(CtrlState(s), selected);
        check("checked background");
        hot = true;
        selected.fillRes.fillColor = QColor(90, 60, 30);
        kept.setSelectedBackground(CtrlStateHot, selected);
        sendEnter(&kept);
        check("hot");
        textStyle = ink(QColor(200, 30, 40), 15);
        kept.setTextStyle(false, textStyle);
        kept.setTextStyle(true, textStyle);
        check("text style");
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Serif"));
        check("global family");
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
        check("global family back");
    }
};

TEV_TEST_MAIN(RadioPaintTest)
#include "tst_radiopaint.moc"
