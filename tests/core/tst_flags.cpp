// The framework's process-wide switches and their initial values.
#include "TevTest.h"
#include "TEVFlags.h"

using namespace TEVQtLib;

class TestFlags : public QObject
{
    Q_OBJECT
private slots:
    void initialValues()
    {
        QVERIFY(tevIsSerializeChild());
        QVERIFY(!tevIsInDesigner());
        QVERIFY(!tevIsQtEmulator());
    }
    void settersStoreAsGiven()
    {
        tevSetIsInDesigner(true);
        QVERIFY(tevIsInDesigner());
        tevSetIsInDesigner(false);
        QVERIFY(!tevIsInDesigner());
        tevEnableSerializeChild(false);
        QVERIFY(!tevIsSerializeChild());
        tevEnableSerializeChild(true);
        QVERIFY(tevIsSerializeChild());
        QVERIFY(!tevIsQtEmulator());
    }
};

TEV_TEST_MAIN(TestFlags)
#include "tst_flags.moc"
