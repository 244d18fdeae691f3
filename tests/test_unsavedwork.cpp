// Unsaved changes kept in the recovery journal while a script is edited or added, offered back
// at the next start, and the journals that must not be applied: the window seen from inside.

#include "app/endrequests.h"
#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "main/unsavedwork.h"
#include "store/query.h"
#include "store/recoveryjournal.h"
#include "support/filecontents.h"
#include "support/libraryfixture.h"
#include "support/mainwindowfixture.h"
#include "support/modalanswerer.h"
#include "support/ordinaryuser.h"
#include "support/userinput.h"
#include "widgets/statusbar.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>

namespace {
const QString kScript = QStringLiteral("打字机");
const QString kTyped = QStringLiteral("飘雪😀");
} // namespace

class TestUnsavedWork : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<LibraryFixture> m_library;
    std::unique_ptr<QTemporaryDir> m_config;

    AppPlaces places() const { return placesRemembering(m_library->appDir(), m_config->path()); }
    QString journalPath() const
    {
        return QFileInfo(m_library->libraryPath()).path() + QStringLiteral("/qvlb.recovery");
    }
    QString settingsJournalPath() const
    {
        return m_config->filePath(QStringLiteral("feylume/qvlb.recovery"));
    }
    QStringList putAside() const
    {
        return QDir(places().backupDir).entryList({QStringLiteral("unsaved-*.recovery")}, QDir::Files);
    }

    std::unique_ptr<TForm1> start() { return startMainWindow(places()); }

    // Types into the script's code and waits for the journal, as a run that is then killed
    // leaves it: the window goes without its close, so nothing removes the journal.
    QString leaveJournalOfTypedCode()
    {
        auto form = start();
        selectNode(*form, kScript, true);
        UserInput::focus(form->DBMemo2);
        UserInput::type(form->DBMemo2, kTyped);
        if (!QTest::qWaitFor([&] { return QFile::exists(journalPath()); }, 5000))
            qWarning("no journal was written");
        letProgramGoIdle();
        return form->DBMemo2->text();
    }

private slots:
    void init()
    {
        m_library = std::make_unique<LibraryFixture>();
        m_library->createSmall();
        m_config = std::make_unique<QTemporaryDir>();
    }

    void cleanup()
    {
        QFile::setPermissions(QFileInfo(m_library->libraryPath()).path(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_library.reset();
        m_config.reset();
    }

    void journalKeepsTheRecordUntilItIsAnswered_data()
    {
        QTest::addColumn<int>("answerKey");
        QTest::addColumn<bool>("stored");
        QTest::newRow("saved with F7") << int(Qt::Key_F7) << true;
        QTest::newRow("abandoned with F8") << int(Qt::Key_F8) << false;
    }

    void journalKeepsTheRecordUntilItIsAnswered()
    {
        QFETCH(int, answerKey);
        QFETCH(bool, stored);
        const QByteArray libraryBefore = fileContents(m_library->libraryPath());
        auto form = start();
        selectNode(*form, kScript, true);
        UserInput::focus(form->DBMemo2);
        UserInput::type(form->DBMemo2, kTyped);
        QTRY_VERIFY(QFile::exists(journalPath()));

        const RecoveryJournal::ReadResult journal = RecoveryJournal::read(journalPath());
        QCOMPARE(journal.status, RecoveryJournal::ReadResult::Status::Sound);
        QCOMPARE(journal.record.mode, RecoveryRecord::Mode::Edit);
        QCOMPARE(journal.record.scriptName, kScript.toUtf8());
        QCOMPARE(journal.record.libraryPath, QFileInfo(m_library->libraryPath()).absoluteFilePath());
        QCOMPARE(journal.record.field(QStringLiteral("cjs_text")).toString(), form->DBMemo2->text());
        QCOMPARE(journal.record.field(QStringLiteral("cjs_zzm")).toString(), QStringLiteral("林一"));
        // Kept, not stored: the library is as it was.
        QCOMPARE(fileContents(m_library->libraryPath()), libraryBefore);

        UserInput::press(QKeyCombination(Qt::Key(answerKey)));
        QTRY_VERIFY(!QFile::exists(journalPath()));
        QCOMPARE(m_library->value(QStringLiteral("SELECT cjs_text FROM tjs WHERE cjs_name='打字机'"))
                     .startsWith(kTyped),
            stored);
    }

    // Typing on without a pause long enough for the quiet write is kept as it goes, not only once
    // the user stops.
    void aLongRunOfTypingIsKeptAsItGoes()
    {
        auto form = start();
        selectNode(*form, kScript, true);
        UserInput::focus(form->DBMemo2);
        QElapsedTimer typing;
        typing.start();
        bool kept = false;
        while (!kept && typing.elapsed() < 3 * UnsavedWork::kLongestDelayMs) {
            UserInput::type(form->DBMemo2, QStringLiteral("雪"));
            QTest::qWait(UnsavedWork::kQuietDelayMs / 3);
            kept = QFile::exists(journalPath());
        }
        QVERIFY(kept);
        QTRY_VERIFY(RecoveryJournal::read(journalPath())
                        .record.field(QStringLiteral("cjs_text"))
                        .toString()
                        .contains(QStringLiteral("雪")));
    }

    void newScriptIsKeptInInsertMode()
    {
        auto form = start();
        selectNode(*form, QStringLiteral("文字特效"), false);
        form->Treeclass->setFocus();
        UserInput::press(Qt::Key_F5);
        QCOMPARE(form->ADOQuery2->state(), DataSetState::Insert);
        UserInput::focus(form->DBEdit2);
        UserInput::type(form->DBEdit2, QStringLiteral("新脚本"));
        QTRY_VERIFY(QFile::exists(journalPath()));
        const RecoveryJournal::ReadResult journal = RecoveryJournal::read(journalPath());
        QCOMPARE(journal.record.mode, RecoveryRecord::Mode::Insert);
        QCOMPARE(journal.record.scriptId, qint64(-1));
        QCOMPARE(journal.record.field(QStringLiteral("cjs_name")).toString(), QStringLiteral("新脚本"));
    }

    void quitRequestWritesTheJournalAtOnce()
    {
        auto form = start();
        selectNode(*form, kScript, true);
        UserInput::focus(form->DBMemo2);
        UserInput::type(form->DBMemo2, kTyped);
        // No waiting: the request itself writes what the editor holds.
        form->keepWorkUnattended();
        QVERIFY(QFile::exists(journalPath()));
        QCOMPARE(RecoveryJournal::read(journalPath()).record.field(QStringLiteral("cjs_text")).toString(),
            form->DBMemo2->text());
        QVERIFY(QFile::exists(places().settingsPath));
        QCOMPARE(form->ADOQuery2->state(), DataSetState::Edit);
    }

    void restoreAtNextStart_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::newRow("yes puts the changes back") << true;
        QTest::newRow("no keeps them aside") << false;
    }

    void restoreAtNextStart()
    {
        QFETCH(bool, restore);
        const QByteArray libraryBefore = fileContents(m_library->libraryPath());
        const QString typedCode = leaveJournalOfTypedCode();
        const QString storedCode
            = m_library->value(QStringLiteral("SELECT cjs_text FROM tjs WHERE cjs_name='打字机'"));

        ModalAnswerer answerer({{restore ? QStringLiteral("&Yes") : QStringLiteral("&No")}});
        auto form = start();
        QTRY_VERIFY(answerer.done());
        const SeenBox& offer = answerer.seen().at(0);
        QVERIFY2(offer.text.contains(QStringLiteral("脚本[ 打字机 ]")), qPrintable(offer.text));
        QVERIFY2(offer.text.contains(QStringLiteral("修改于 ")), qPrintable(offer.text));
        // Enter restores.
        QCOMPARE(offer.defaultButton, QStringLiteral("&Yes"));
        letProgramGoIdle();
        // Nothing is stored by the answer either way.
        QCOMPARE(fileContents(m_library->libraryPath()), libraryBefore);
        if (restore) {
            QCOMPARE(form->ADOQuery2->state(), DataSetState::Edit);
            QCOMPARE(form->CurrentScriptName, kScript);
            QCOMPARE(form->DBMemo2->text(), typedCode);
            QVERIFY(putAside().isEmpty());
            UserInput::focus(form->DBMemo2);
            UserInput::press(Qt::Key_F7);
            QTRY_VERIFY(!QFile::exists(journalPath()));
            QCOMPARE(m_library->value(QStringLiteral("SELECT cjs_text FROM tjs WHERE cjs_name='打字机'")),
                typedCode);
        } else {
            QVERIFY(!form->ADOQuery2->isChanging());
            QVERIFY(!QFile::exists(journalPath()));
            QCOMPARE(putAside().size(), 1);
            QVERIFY2(form->Stb->notice().contains(QStringLiteral("未恢复的修改已另存到")),
                qPrintable(form->Stb->notice()));
            const RecoveryJournal::ReadResult aside
                = RecoveryJournal::read(places().backupDir + putAside().at(0));
            QCOMPARE(aside.record.field(QStringLiteral("cjs_text")).toString(), typedCode);
            QCOMPARE(m_library->value(QStringLiteral("SELECT cjs_text FROM tjs WHERE cjs_name='打字机'")),
                storedCode);
        }
    }

    void journalThatNoLongerFitsIsKeptAside_data()
    {
        QTest::addColumn<QString>("sinceThen");
        QTest::addColumn<QString>("told");
        QTest::newRow("script deleted") << "DELETE FROM tjs WHERE cjs_name='打字机'"
                                        << "已被改名、删除或在别处修改";
        QTest::newRow("script renamed") << "UPDATE tjs SET cjs_name='打字机二' WHERE cjs_name='打字机'"
                                        << "已被改名、删除或在别处修改";
        QTest::newRow("script changed by another run")
            << "UPDATE tjs SET cjs_zzm='别人' WHERE cjs_name='打字机'"
            << "已被改名、删除或在别处修改";
        QTest::newRow("journal damaged") << ""
                                         << "恢复文件已损坏";
    }

    void journalThatNoLongerFitsIsKeptAside()
    {
        QFETCH(QString, sinceThen);
        QFETCH(QString, told);
        leaveJournalOfTypedCode();
        if (sinceThen.isEmpty()) {
            QByteArray bytes = fileContents(journalPath());
            bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x55);
            QFile file(journalPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        } else {
            m_library->value(sinceThen);
        }
        const QByteArray libraryBefore = fileContents(m_library->libraryPath());

        const bool damaged = sinceThen.isEmpty();
        QList<Answer> answers;
        if (!damaged)
            answers << Answer {QStringLiteral("&Yes")};
        answers << Answer {QStringLiteral("OK")};
        ModalAnswerer answerer(answers);
        auto form = start();
        QTRY_VERIFY(answerer.done());
        const SeenBox& message = answerer.seen().last();
        QVERIFY2(message.text.contains(told), qPrintable(message.text));
        QVERIFY2(
            message.text.contains(QDir::toNativeSeparators(places().backupDir)), qPrintable(message.text));
        letProgramGoIdle();
        QVERIFY(!form->ADOQuery2->isChanging());
        QVERIFY(!QFile::exists(journalPath()));
        QCOMPARE(putAside().size(), 1);
        QCOMPARE(fileContents(m_library->libraryPath()), libraryBefore);
    }

    void readOnlyFolderKeepsTheJournalBesideTheSettings()
    {
        FEYLUME_AS_ORDINARY_USER();
        const QString folder = QFileInfo(m_library->libraryPath()).path();
        auto form = start();
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        selectNode(*form, kScript, true);
        UserInput::focus(form->DBMemo2);
        UserInput::type(form->DBMemo2, kTyped);
        QTRY_VERIFY(QFile::exists(settingsJournalPath()));
        QVERIFY(!QFile::exists(journalPath()));
        const QString typed = form->DBMemo2->text();
        QCOMPARE(
            RecoveryJournal::read(settingsJournalPath()).record.field(QStringLiteral("cjs_text")).toString(),
            typed);

        // The library cannot take the change; the refusal keeps the typed work and its journal.
        ModalAnswerer refusal({{QStringLiteral("OK")}});
        UserInput::press(Qt::Key_F7);
        QTRY_VERIFY(refusal.done());
        letProgramGoIdle();
        QCOMPARE(form->ADOQuery2->state(), DataSetState::Edit);
        QCOMPARE(form->DBMemo2->text(), typed);
        QVERIFY(QFile::exists(settingsJournalPath()));
    }

    void endSignalsAreAnsweredOnTheEventLoop_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    void endSignalsAreAnsweredOnTheEventLoop()
    {
        QFETCH(int, signal);
        EndRequests requests;
        QSignalSpy ended(&requests, &EndRequests::endRequested);
        std::raise(signal);
        std::raise(signal);
        // Not from inside the handler: the request comes on the event loop, once.
        QCOMPARE(ended.count(), 0);
        QTRY_COMPARE(ended.count(), 1);
        letProgramGoIdle();
        QCOMPARE(ended.count(), 1);
        QVERIFY(requests.isEnding());
    }
};

QTEST_MAIN(TestUnsavedWork)
#include "test_unsavedwork.moc"
