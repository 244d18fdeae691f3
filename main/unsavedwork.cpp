#include "unsavedwork.h"

#include "categorytree.h"
#include "currentscript.h"
#include "dbctrls/fieldlink.h"
#include "store/appplaces.h"
#include "store/query.h"
#include "widgets/messageboxes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <utility>

namespace {
const QString kScriptId = QStringLiteral("cjs_id");
const QString kScriptName = QStringLiteral("cjs_name");
const QString kJournalSuffix = QStringLiteral(".recovery");

QString shownTime(const QDateTime& when)
{
    return when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString shownName(const RecoveryRecord& record)
{
    const QString name = StoredName::fromBytes(storedBytes(record.field(kScriptName))).text();
    return name.isEmpty() ? QStringLiteral("未命名") : name;
}

QList<QVariant> currentValues(const DataSet& set)
{
    QList<QVariant> values;
    for (int i = 0; i < set.fieldCount(); ++i)
        values << set.fieldValue(i);
    return values;
}

bool sameStoredValue(const QVariant& a, const QVariant& b)
{
    return valueKind(a) == valueKind(b)
        && (valueKind(a) == ValueKind::Null || storedBytes(a) == storedBytes(b));
}
} // namespace

UnsavedWork::UnsavedWork(const Parts& parts, CurrentScript& current)
    : QObject(parts.window)
    , m_parts(parts)
    , m_current(current)
    , m_quietTimer(new QTimer(this))
    , m_deadlineTimer(new QTimer(this))
{
    m_disk.setMaxThreadCount(1);
    m_quietTimer->setSingleShot(true);
    m_quietTimer->setInterval(kQuietDelayMs);
    m_deadlineTimer->setSingleShot(true);
    m_deadlineTimer->setInterval(kLongestDelayMs);
    for (QTimer* timer : {m_quietTimer, m_deadlineTimer})
        connect(timer, &QTimer::timeout, this, [this] { writeInBackground(); });
    connect(m_current.record(), &DataSet::dataEvent, this,
        [this](DataEvent event, const QString&) { recordChanged(int(event)); });
    for (FieldLink* link : m_parts.window->findChildren<FieldLink*>()) {
        if (link->dataSet() == m_current.record())
            connect(link, &FieldLink::edited, this, [this] { changed(); });
    }
}

UnsavedWork::~UnsavedWork()
{
    m_disk.waitForDone();
}

QString UnsavedWork::besideLibraryPath() const
{
    const QFileInfo library(m_parts.places->libraryPath);
    return library.absolutePath() + QLatin1Char('/') + library.completeBaseName() + kJournalSuffix;
}

QString UnsavedWork::besideSettingsPath() const
{
    if (m_parts.places->settingsPath.isEmpty())
        return {};
    return QFileInfo(m_parts.places->settingsPath).absolutePath() + QLatin1Char('/')
        + QFileInfo(m_parts.places->libraryPath).completeBaseName() + kJournalSuffix;
}

void UnsavedWork::recordChanged(int event)
{
    const DataSet& set = *m_current.record();
    switch (DataEvent(event)) {
    case DataEvent::UpdateState:
        if (set.isChanging() && !m_keeping)
            beginKeeping();
        break;
    case DataEvent::FieldChange:
        changed();
        break;
    case DataEvent::RecordChange:
        // Stored, abandoned or deleted: the record no longer holds anything unsaved. Closing the
        // data set is no answer of the user's and leaves the journal where it is.
        if (!set.isChanging() && m_keeping) {
            m_keeping = false;
            stopWaitingToWrite();
            removeJournals();
        }
        break;
    default:
        break;
    }
}

void UnsavedWork::beginKeeping()
{
    const DataSet& set = *m_current.record();
    m_keeping = true;
    m_dirty = false;
    m_origin = RecoveryRecord();
    m_origin.libraryPath = QFileInfo(m_parts.places->libraryPath).absoluteFilePath();
    m_originValues.clear();
    if (set.state() == DataSetState::Insert) {
        m_origin.mode = RecoveryRecord::Mode::Insert;
        return;
    }
    // The edit buffer still holds the row as stored; its texts are shared, not copied, and the
    // digest is taken on the journal's own thread.
    m_origin.mode = RecoveryRecord::Mode::Edit;
    m_originValues = currentValues(set);
    if (const int id = set.fieldIndex(kScriptId); id >= 0)
        m_origin.scriptId = set.fieldValue(id).toLongLong();
    if (const int name = set.fieldIndex(kScriptName); name >= 0)
        m_origin.scriptName = set.fieldBytes(name);
}

void UnsavedWork::changed()
{
    if (!m_keeping)
        return;
    m_dirty = true;
    m_quietTimer->start();
    if (!m_deadlineTimer->isActive())
        m_deadlineTimer->start();
}

RecoveryRecord UnsavedWork::snapshot() const
{
    const DataSet& set = *m_current.record();
    RecoveryRecord record = m_origin;
    record.changedAt = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < set.fieldCount(); ++i)
        record.fields.append({set.fieldName(i), set.fieldValue(i)});
    // What the editors hold and have not handed to the record yet, read without handing it.
    for (const FieldLink* link : m_parts.window->findChildren<FieldLink*>()) {
        if (link->dataSet() != &set || !link->isModified() || !link->isActive())
            continue;
        const int index = set.fieldIndex(link->field());
        record.fields[index].second = link->pendingValue();
    }
    return record;
}

void UnsavedWork::stopWaitingToWrite()
{
    m_quietTimer->stop();
    m_deadlineTimer->stop();
}

void UnsavedWork::writeInBackground()
{
    stopWaitingToWrite();
    if (!m_keeping || !m_dirty || !m_current.record()->isChanging())
        return;
    m_ownsJournal = true;
    m_disk.start([record = snapshot(), originValues = m_originValues, primary = besideLibraryPath(),
                     fallback = besideSettingsPath()]() mutable {
        if (record.mode == RecoveryRecord::Mode::Edit)
            record.rowDigest = RecoveryJournal::rowDigest(originValues);
        // Beside the library when its folder can be written, else beside the settings; the
        // other place must not keep an older journal.
        if (RecoveryJournal::write(primary, record)) {
            if (!fallback.isEmpty())
                QFile::remove(fallback);
        } else if (!fallback.isEmpty() && QDir().mkpath(QFileInfo(fallback).path())
            && RecoveryJournal::write(fallback, record)) {
            QFile::remove(primary);
        }
    });
}

void UnsavedWork::keepNow()
{
    m_ending = true;
    writeInBackground();
    m_disk.waitForDone();
}

void UnsavedWork::forget()
{
    m_keeping = false;
    stopWaitingToWrite();
    removeJournals();
    m_disk.waitForDone();
}

void UnsavedWork::removeJournals()
{
    // Only a journal of this run's record: one left by an earlier run waits for its offer.
    if (!std::exchange(m_ownsJournal, false))
        return;
    m_disk.start([primary = besideLibraryPath(), fallback = besideSettingsPath()] {
        QFile::remove(primary);
        if (!fallback.isEmpty())
            QFile::remove(fallback);
    });
}

void UnsavedWork::offerRestore()
{
    if (m_offered || !m_parts.readyToOffer())
        return;
    m_offered = true;
    m_disk.waitForDone();
    const QString ours = QFileInfo(m_parts.places->libraryPath).absoluteFilePath();
    for (const QString& path : {besideLibraryPath(), besideSettingsPath()}) {
        if (path.isEmpty())
            continue;
        const RecoveryJournal::ReadResult found = RecoveryJournal::read(path);
        if (found.status == RecoveryJournal::ReadResult::Status::Missing)
            continue;
        if (found.status == RecoveryJournal::ReadResult::Status::Damaged) {
            MessageBoxes::information(
                QStringLiteral("发现上次运行留下的未保存修改，但恢复文件已损坏，无法读取。\n该文件已移到：%1")
                    .arg(QDir::toNativeSeparators(putAside(path))));
            continue;
        }
        // A journal beside the settings may belong to another library.
        if (found.record.libraryPath != ours)
            continue;
        const RecoveryRecord& record = found.record;
        const QString what = record.mode == RecoveryRecord::Mode::Edit
            ? QStringLiteral("脚本[ %1 ]的修改").arg(shownName(record))
            : QStringLiteral("正在添加的脚本[ %1 ]").arg(shownName(record));
        const bool wanted = MessageBoxes::confirm(QStringLiteral(
            "上次运行结束时，%1还没有保存（修改于 %2）。\n要恢复吗?\n\n"
            "选“是”放回编辑框，再由您保存(F7)或放弃(F8)；选“否”则不恢复，修改另存到备份文件夹。")
                                                      .arg(what, shownTime(record.changedAt)));
        if (m_ending)
            return;
        if (!wanted) {
            m_parts.tell(
                QStringLiteral("未恢复的修改已另存到 %1").arg(QDir::toNativeSeparators(putAside(path))));
            continue;
        }
        if (!restore(record)) {
            MessageBoxes::information(QStringLiteral(
                "脚本[ %1 ]在上次运行之后已被改名、删除或在别处修改，未保存的修改不能自动恢复。\n"
                "这些修改已另存到：%2")
                                          .arg(shownName(record), QDir::toNativeSeparators(putAside(path))));
        }
        // One record can be restored: the editors hold one.
        return;
    }
}

bool UnsavedWork::restore(const RecoveryRecord& record)
{
    if (record.mode == RecoveryRecord::Mode::Edit) {
        if (!restoreEdit(record))
            return false;
    } else {
        restoreInsert(record);
    }
    // The journal now stands for the restored record: saving or abandoning it removes it.
    m_ownsJournal = m_keeping;
    return true;
}

bool UnsavedWork::restoreEdit(const RecoveryRecord& record)
{
    const StoredName name = StoredName::fromBytes(record.scriptName);
    DataSet& set = *m_current.record();
    if (!m_current.storePendingChanges())
        return false;
    if (TreeNode* node = m_current.nodeIfAny(name, true))
        m_parts.tree->setCurrentNode(node);
    if (m_current.storedName() != name || set.isEmpty())
        m_current.open(name);
    // Applied only to the very row the edit began from, as it was then: a script renamed,
    // deleted or changed by another run since would be overwritten blindly.
    if (set.isEmpty() || set.fieldValue(kScriptId).toLongLong() != record.scriptId
        || RecoveryJournal::rowDigest(currentValues(set)) != record.rowDigest)
        return false;
    set.edit();
    for (const auto& [column, value] : record.fields) {
        if (set.fieldIndex(column) >= 0 && !sameStoredValue(set.fieldValue(column), value))
            set.setFieldValue(column, value);
    }
    return true;
}

void UnsavedWork::restoreInsert(const RecoveryRecord& record)
{
    m_parts.addScript();
    DataSet& set = *m_current.record();
    if (set.state() != DataSetState::Insert)
        return;
    for (const auto& [column, value] : record.fields) {
        if (set.fieldIndex(column) >= 0 && valueKind(value) != ValueKind::Null)
            set.setFieldValue(column, value);
    }
}

QString UnsavedWork::putAside(const QString& path) const
{
    // Beside the backups, where the user looks for earlier states; beside the journal itself
    // when that folder cannot be made.
    const QString name
        = QStringLiteral("unsaved-%1%2")
              .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")), kJournalSuffix);
    for (const QString& folder : {m_parts.places->backupDir, QFileInfo(path).path() + QLatin1Char('/')}) {
        if (!QDir().mkpath(folder))
            continue;
        QString target = folder + name;
        for (int n = 2; QFileInfo::exists(target); ++n)
            target = folder
                + QStringLiteral("unsaved-%1-%2%3")
                      .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")))
                      .arg(n)
                      .arg(kJournalSuffix);
        if (QFile::rename(path, target))
            return target;
    }
    return path;
}
