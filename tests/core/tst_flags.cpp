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
        QVERIFY(tevIsSerializeChild() && !tevIsInDesigner() && !tevIsQtEmulator());
    }
    void settersStoreAsGiven()
    {
        tevSetIsInDesigner(true);
        tevEnableSerializeChild(false);
        QVERIFY(tevIsInDesigner() && !tevIsSerializeChild() && !tevIsQtEmulator());
        tevSetIsInDesigner(false);
        tevEnableSerializeChild(true);
    }
};

TEV_TEST_MAIN(TestFlags)
#include "tst_flags.moc"
