#include "CoreTests.h"

#include <QTest>

QTEST_GUILESS_MAIN(CoreTests)
