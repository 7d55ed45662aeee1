#include <QTest>

#include "platform/Platform.h"

using namespace glimmora;

// The face list shows each family once, by the name other programs know.
class FontFamiliesTests : public QObject {
    Q_OBJECT

private slots:
    void distinctNames_data() {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("plain") << QStringList{"Tahoma", "Arial"} << QStringList{"Tahoma", "Arial"};
        QTest::addRow("twoFoundries") << QStringList{"Arial", "C059 [UKWN]", "C059 [URW]", "Tahoma"}
                                      << QStringList{"Arial", "C059", "Tahoma"};
        QTest::addRow("plainAfterFoundry")
            << QStringList{"Nimbus [URW]", "Nimbus"} << QStringList{"Nimbus"};
        QTest::addRow("bracketInsideName")
            << QStringList{"Odd [x] Sans"} << QStringList{"Odd [x] Sans"};
    }
    void distinctNames() {
        QFETCH(QStringList, families);
        QFETCH(QStringList, expected);
        QCOMPARE(DistinctFamilyNames(families), expected);
    }
};

QTEST_GUILESS_MAIN(FontFamiliesTests)
#include "FontFamiliesTests.moc"
