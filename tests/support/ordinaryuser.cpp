#include "ordinaryuser.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <unistd.h>

QStringList ordinaryUserCommand()
{
    if (geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        return {};
    const QString id = QString::number(kOrdinaryUserId);
    return {QStringLiteral("setpriv"), QStringLiteral("--reuid=") + id, QStringLiteral("--regid=") + id,
        QStringLiteral("--clear-groups")};
}

OrdinaryUserRun runAsOrdinaryUser(const QString& testFunction)
{
    OrdinaryUserRun run;
    if (geteuid() != 0)
        return run;
    run.outcome = OrdinaryUserRun::Outcome::Skipped;
    QStringList command = ordinaryUserCommand();
    if (command.isEmpty()) {
        run.reason
            = QStringLiteral("running as root and setpriv is missing: a read-only file cannot be made here");
        return run;
    }
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    command << QCoreApplication::applicationFilePath() << testFunction;
    child.start(command.takeFirst(), command);
    child.waitForFinished(120000);
    run.output = child.readAll();
    if (run.output.contains("Operation not permitted")) {
        run.reason = QStringLiteral("setpriv may not change the user here");
        return run;
    }
    if (run.output.contains("failed to execute")) {
        run.reason = QStringLiteral("an ordinary user cannot reach the test program in this folder");
        return run;
    }
    run.outcome = OrdinaryUserRun::Outcome::Ran;
    run.passed = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    return run;
}
