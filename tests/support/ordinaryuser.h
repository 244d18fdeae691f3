#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTest>

// Root writes to any file whatever its mode, so a case about permissions proves nothing as root:
// it runs again as this test program in a child, under an ordinary user's id (setpriv).
struct OrdinaryUserRun
{
    enum class Outcome {
        NotNeeded, // not running as root: the case runs here
        Skipped, // it cannot run as another user here; reason says why
        Ran // it ran in the child; passed and output tell how
    };
    Outcome outcome = Outcome::NotNeeded;
    QString reason;
    bool passed = false;
    QByteArray output;
};

// The id the child runs under: the system's "nobody".
inline constexpr unsigned kOrdinaryUserId = 65534;

OrdinaryUserRun runAsOrdinaryUser(const QString& testFunction);
// The command that starts a program as the ordinary user; empty when no change is needed or
// none is possible.
QStringList ordinaryUserCommand();

// The rest of the test function runs only as an ordinary user: as root, the function runs again
// in a child, whose result stands for it here.
#define FEYLUME_AS_ORDINARY_USER()                                                                           \
    do {                                                                                                     \
        const OrdinaryUserRun rerun = runAsOrdinaryUser(QString::fromLatin1(QTest::currentTestFunction()));  \
        if (rerun.outcome == OrdinaryUserRun::Outcome::Skipped)                                              \
            QSKIP(qPrintable(rerun.reason));                                                                 \
        if (rerun.outcome == OrdinaryUserRun::Outcome::Ran) {                                                \
            QVERIFY2(rerun.passed, rerun.output.constData());                                                \
            return;                                                                                          \
        }                                                                                                    \
    } while (false)
