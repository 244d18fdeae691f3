// The installed tree as `cmake --install` stages it: what it holds, that the desktop's validators
// accept it, that the Debian package holds the same and installs and removes without scripts,
// that a moved tree still finds its own sample library, and that none of this touches the list
// of files the user's own install left in the build folder.

#include "store/appplaces.h"
#include "support/filecontents.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QtTest>

namespace {
const QStringList kInstalledFiles = {
    QStringLiteral("bin/feylume"),
    QStringLiteral("lib/feylume/feylume_pageengine.so"),
    QStringLiteral("share/feylume/qvlb.db"),
    QStringLiteral("share/applications/feylume.desktop"),
    QStringLiteral("share/metainfo/example.qingyingstudio.feylume.metainfo.xml"),
    QStringLiteral("share/icons/hicolor/16x16/apps/feylume.png"),
    QStringLiteral("share/icons/hicolor/22x22/apps/feylume.png"),
    QStringLiteral("share/icons/hicolor/24x24/apps/feylume.png"),
    QStringLiteral("share/icons/hicolor/32x32/apps/feylume.png"),
    QStringLiteral("share/icons/hicolor/48x48/apps/feylume.png"),
    QStringLiteral("share/icons/hicolor/64x64/apps/feylume.png"),
    QStringLiteral("share/icons/hicolor/scalable/apps/feylume.svg"),
    QStringLiteral("share/doc/feylume/copyright"),
};
// What `cmake --install` of the whole build wrote last, and the README's uninstall reads.
const QString kUsersManifest = QStringLiteral(FEYLUME_BUILD_DIR "/install_manifest.txt");

// Every file under the folder, relative to it, sorted.
QStringList filesUnder(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

struct Run
{
    int exitCode = -1;
    QString output;
};

Run run(const QString& program, const QStringList& arguments, const QProcessEnvironment& env = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!env.isEmpty())
        process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromLocal8Bit(process.readAll())};
}
} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_stage;
    QString m_prefix;
    QByteArray m_usersManifest;

private slots:
    void initTestCase()
    {
        QVERIFY(m_stage.isValid());
        m_usersManifest = fileContents(kUsersManifest);
        // Staged as a package build does: the prefix is /usr, DESTDIR puts it in the folder.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), m_stage.path());
        const Run install = run(QStringLiteral(CMAKE_COMMAND),
            {QStringLiteral("--install"), QStringLiteral(FEYLUME_BUILD_DIR), QStringLiteral("--prefix"),
                QStringLiteral("/usr"), QStringLiteral("--component"), QStringLiteral("feylume")},
            env);
        QVERIFY2(install.exitCode == 0, qPrintable(install.output));
        m_prefix = m_stage.path() + QStringLiteral("/usr");
    }

    void treeHoldsTheProgramAndWhatTheDesktopNeeds()
    {
        QCOMPARE(filesUnder(m_prefix), [] {
            QStringList sorted = kInstalledFiles;
            sorted.sort();
            return sorted;
        }());
        QVERIFY(QFileInfo(m_prefix + QStringLiteral("/bin/feylume")).isExecutable());
        const QString entry = QString::fromUtf8(
            fileContents(m_prefix + QStringLiteral("/share/applications/feylume.desktop")));
        QVERIFY(entry.contains(QStringLiteral("\nName=Feylume\n")));
        QVERIFY(entry.contains(QStringLiteral("\nName[zh_CN]=")));
        // One main category, so that menus list the program once.
        QVERIFY(entry.contains(QStringLiteral("\nCategories=Development;WebDevelopment;\n")));
        QVERIFY(entry.contains(QStringLiteral("\nIcon=feylume\n")));
        QVERIFY(entry.contains(QStringLiteral("\nExec=feylume\n")));
        QVERIFY(
            fileContents(m_prefix + QStringLiteral("/share/doc/feylume/copyright"))
                .startsWith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"));
    }

    // Launchers draw the icon larger than the largest bitmap from the scalable one.
    void scalableIconIsAWholeDrawing()
    {
        QFile icon(m_prefix + QStringLiteral("/share/icons/hicolor/scalable/apps/feylume.svg"));
        QVERIFY(icon.open(QIODevice::ReadOnly));
        QXmlStreamReader svg(&icon);
        QVERIFY(svg.readNextStartElement());
        QCOMPARE(svg.name(), QStringLiteral("svg"));
        QCOMPARE(svg.attributes().value(QStringLiteral("viewBox")), QStringLiteral("0 0 64 64"));
        int paths = 0;
        while (!svg.atEnd()) {
            if (svg.readNext() == QXmlStreamReader::StartElement && svg.name() == QStringLiteral("path"))
                ++paths;
        }
        QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
        QVERIFY(paths > 0);
    }

    void validatorsAcceptTheDesktopFiles_data()
    {
        QTest::addColumn<QString>("validator");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        // A line of the validator's output that tells of something to mend, hints included.
        QTest::addColumn<QString>("finding");
        QTest::newRow("desktop entry")
            << "desktop-file-validate" << QStringList() << "share/applications/feylume.desktop"
            << ".+";
        QTest::newRow("metainfo") << "appstreamcli"
                                  << QStringList {QStringLiteral("validate"), QStringLiteral("--no-net")}
                                  << "share/metainfo/example.qingyingstudio.feylume.metainfo.xml"
                                  << "^[WE]:";
    }

    void validatorsAcceptTheDesktopFiles()
    {
        QFETCH(QString, validator);
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QFETCH(QString, finding);
        const QString program = QStandardPaths::findExecutable(validator);
        if (program.isEmpty())
            QSKIP(qPrintable(validator + QStringLiteral(" is not installed")));
        const Run check = run(program, arguments << m_prefix + QLatin1Char('/') + file);
        QVERIFY2(check.exitCode == 0, qPrintable(check.output));
        const QRegularExpression findings(finding, QRegularExpression::MultilineOption);
        QVERIFY2(!findings.match(check.output).hasMatch(), qPrintable(check.output));
    }

    void debianPackageHoldsTheInstalledFiles()
    {
        const QString cpack = QStandardPaths::findExecutable(
            QStringLiteral("cpack"), {QFileInfo(QStringLiteral(CMAKE_COMMAND)).path()});
        const QString dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
        if (cpack.isEmpty() || dpkgDeb.isEmpty())
            QSKIP("cpack or dpkg-deb is not installed");
        QTemporaryDir out;
        const Run pack = run(cpack,
            {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                QStringLiteral(FEYLUME_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"), out.path()});
        QVERIFY2(pack.exitCode == 0, qPrintable(pack.output));
        const QStringList packages = QDir(out.path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
        QCOMPARE(packages.size(), 1);
        const QString package = out.filePath(packages.first());

        // Regular files show as "-rw-r--r-- root/root size date ./usr/bin/feylume".
        const Run contents = run(dpkgDeb, {QStringLiteral("--contents"), package});
        QCOMPARE(contents.exitCode, 0);
        QStringList files;
        for (const QString& line : contents.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (line.startsWith(QLatin1Char('-')))
                files << line.section(QStringLiteral(" ./usr/"), 1);
        }
        files.sort();
        QCOMPARE(files, filesUnder(m_prefix));

        const Run depends = run(dpkgDeb, {QStringLiteral("--field"), package, QStringLiteral("Depends")});
        QVERIFY2(depends.output.contains(QStringLiteral("libqt6widgets6")), qPrintable(depends.output));
        QVERIFY2(depends.output.contains(QStringLiteral("libsqlite3")), qPrintable(depends.output));

        // Without maintainer scripts or conffiles, `dpkg -r` removes the package wholly instead
        // of leaving it half there for a purge.
        QTemporaryDir control;
        const Run extract = run(dpkgDeb, {QStringLiteral("--control"), package, control.path()});
        QVERIFY2(extract.exitCode == 0, qPrintable(extract.output));
        QCOMPARE(QDir(control.path()).entryList(QDir::Files, QDir::Name),
            QStringList({QStringLiteral("control"), QStringLiteral("md5sums")}));
    }

    void movedTreeStartsOnItsOwnSample()
    {
        const QString moved = m_stage.path() + QStringLiteral("/elsewhere/feylume");
        QVERIFY(QDir().mkpath(QFileInfo(moved).path()));
        QVERIFY(QDir().rename(m_prefix, moved));
        const auto moveBack = qScopeGuard([&] { QDir().rename(moved, m_prefix); });

        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const QString userLibrary = home.path() + QStringLiteral("/data/feylume/qvlb.db");

        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(moved + QStringLiteral("/bin/feylume"), {});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(userLibrary).size()
                == QFileInfo(moved + QStringLiteral("/share/feylume/qvlb.db")).size(),
            20000);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished();
        QCOMPARE(fileContents(userLibrary), fileContents(moved + QStringLiteral("/share/feylume/qvlb.db")));

        const AppPlaces places
            = AppPlaces::forProgram(moved + QStringLiteral("/bin"), {home.path(), home.path()});
        QCOMPARE(places.sampleLibraryPath, moved + QStringLiteral("/share/feylume/qvlb.db"));
        QVERIFY(QFile::exists(moved + QStringLiteral("/bin/../lib/feylume/feylume_pageengine.so")));
    }

    // Last, after the staged install and the package build.
    void theUsersInstallListIsLeftAlone() { QCOMPARE(fileContents(kUsersManifest), m_usersManifest); }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
