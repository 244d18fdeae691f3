// Where a program looks for the HTML engine module: a copy of the test program is placed in a
// folder of its own, with or without the module, and asked to load it.

#include "main/pageengineloader.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

namespace {
const char* const kProbeArgument = "--load-page-engine";

// The probe's side: loads the module as the first preview would and says how that went.
int probe(int argc, char** argv)
{
    QApplication app(argc, argv);
    QString reason;
    if (PageEngineLoader::factory(&reason)) {
        std::fputs("loaded\n", stdout);
        return 0;
    }
    std::fputs(reason.toUtf8().constData(), stdout);
    return 1;
}

bool copyInto(const QString& file, const QString& folder)
{
    return QDir().mkpath(folder) && QFile::copy(file, QDir(folder).filePath(QFileInfo(file).fileName()));
}
} // namespace

class TestEngineLocation : public QObject
{
    Q_OBJECT

private slots:
    void theModuleIsFoundBesideTheProgramOrInItsLibraryFolderOnly_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QString>("moduleFolder");
        QTest::addColumn<QString>("othersMayWrite");
        QTest::addColumn<QString>("answer");
        const QString refused = QStringLiteral("无法启动网页预览组件：");
        // The build's own module is not taken: it may belong to another version of the program.
        QTest::newRow("no module") << QStringLiteral("bin") << QString() << QString() << refused;
        QTest::newRow("beside the program")
            << QStringLiteral("bin") << QStringLiteral("bin") << QString() << QStringLiteral("loaded");
        QTest::newRow("installed library folder") << QStringLiteral("bin") << QStringLiteral("lib/feylume")
                                                  << QString() << QStringLiteral("loaded");
        QTest::newRow("some other folder")
            << QStringLiteral("bin") << QStringLiteral("lib") << QString() << refused;
        // A program copied alone into a shared folder: anyone there could plant ../lib/feylume/.
        QTest::newRow("library folder of a program not installed")
            << QStringLiteral("shared") << QStringLiteral("lib/feylume") << QString() << refused;
        QTest::newRow("library folder others may write")
            << QStringLiteral("bin") << QStringLiteral("lib/feylume") << QStringLiteral("lib/feylume")
            << refused;
        QTest::newRow("folder above it others may write")
            << QStringLiteral("bin") << QStringLiteral("lib/feylume") << QStringLiteral("lib") << refused;
        QTest::newRow("module others may write")
            << QStringLiteral("bin") << QStringLiteral("lib/feylume")
            << QStringLiteral("lib/feylume/feylume_pageengine.so") << refused;
    }

    void theModuleIsFoundBesideTheProgramOrInItsLibraryFolderOnly()
    {
        QFETCH(QString, programFolder);
        QFETCH(QString, moduleFolder);
        QFETCH(QString, othersMayWrite);
        QFETCH(QString, answer);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString program = QCoreApplication::applicationFilePath();
        QVERIFY(copyInto(program, root.filePath(programFolder)));
        if (!moduleFolder.isEmpty())
            QVERIFY(copyInto(QStringLiteral(FEYLUME_BUILT_PAGE_ENGINE), root.filePath(moduleFolder)));
        if (!othersMayWrite.isEmpty()) {
            QFile opened(root.filePath(othersMayWrite));
            QVERIFY(opened.setPermissions(opened.permissions() | QFileDevice::WriteOther));
        }

        QProcess copy;
        // Nor is a module named from outside.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("FEYLUME_PAGE_ENGINE"), QStringLiteral(FEYLUME_BUILT_PAGE_ENGINE));
        copy.setProcessEnvironment(environment);
        copy.start(QDir(root.filePath(programFolder)).filePath(QFileInfo(program).fileName()),
            {QLatin1String(kProbeArgument)});
        QVERIFY(copy.waitForFinished(60000));
        const QString said = QString::fromUtf8(copy.readAllStandardOutput());
        QVERIFY2(said.startsWith(answer), qPrintable(said));
        QCOMPARE(copy.exitCode(), answer == QLatin1String("loaded") ? 0 : 1);
    }
};

int main(int argc, char** argv)
{
    if (argc == 2 && qstrcmp(argv[1], kProbeArgument) == 0)
        return probe(argc, argv);
    QApplication app(argc, argv);
    TestEngineLocation test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_enginelocation.moc"
