#include <QtTest>
class TstProductMenu : public QObject { Q_OBJECT };
QTEST_MAIN(TstProductMenu)
#include "tst_productmenu.moc"
