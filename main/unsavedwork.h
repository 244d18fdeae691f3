#pragma once

#include "store/recoveryjournal.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>

struct AppPlaces;
class CategoryTree;
class CurrentScript;
class QTimer;
class QWidget;

// Keeps what the current record would store in a recovery journal while it is being edited or
// added, and offers it back at the next start. The journal is written about a second after
// the last change, and during a long run of typing at the latest two seconds after the first
// change it does not hold yet, on a thread of its own so that no key waits for the disk; and at
// once when the program is asked to quit or ends unasked (keepNow). It goes when the record is
// saved or abandoned. It lies beside the library, or beside the settings when the library's
// folder cannot be written.
class UnsavedWork : public QObject
{
    Q_OBJECT
public:
    static constexpr int kQuietDelayMs = 1000;
    static constexpr int kLongestDelayMs = 2000;

    struct Parts
    {
        // The window whose editors are watched, and whose question the offer is.
        QWidget* window;
        const AppPlaces* places;
        CategoryTree* tree;
        // Starts a new script, as the add command does.
        std::function<void()> addScript;
        // Whether the library is loaded and the window is up, so that an offer can be made.
        std::function<bool()> readyToOffer;
        // A passing notice on the status bar.
        std::function<void(const QString&)> tell;
    };

    UnsavedWork(const Parts& parts, CurrentScript& current);
    ~UnsavedWork() override;

    // Writes the journal now and waits for the disk: the program is about to end unasked.
    void keepNow();
    // The user answered for the record on a normal quit: no journal is needed any more.
    void forget();
    // Once the library is loaded and the window is up: asks whether to put a journal left by an
    // earlier run back into the record. Asks at most once per run.
    void offerRestore();

    // Where the journal of this window's library lies: beside the library, or in the settings'
    // folder; empty when there is no settings folder.
    QString besideLibraryPath() const;
    QString besideSettingsPath() const;

private:
    void recordChanged(int event);
    void beginKeeping();
    void changed();
    RecoveryRecord snapshot() const;
    void stopWaitingToWrite();
    void writeInBackground();
    void removeJournals();
    bool restore(const RecoveryRecord& record);
    bool restoreEdit(const RecoveryRecord& record);
    void restoreInsert(const RecoveryRecord& record);
    QString putAside(const QString& path) const;

    Parts m_parts;
    CurrentScript& m_current;
    QTimer* m_quietTimer;
    // Runs from the first change the journal does not hold: typing without a pause keeps putting
    // the quiet write off, never this one.
    QTimer* m_deadlineTimer;
    // Keeps the file work in order: a write is never overtaken by the removal that follows it.
    QThreadPool m_disk;
    // Set while a record is being changed; the row it began from.
    bool m_keeping = false;
    bool m_dirty = false;
    // The journal on disk is this run's own, or the one restored into the record.
    bool m_ownsJournal = false;
    RecoveryRecord m_origin;
    QList<QVariant> m_originValues;
    bool m_offered = false;
    // Set once the program is ending unasked: a box that returns then was answered by nobody.
    bool m_ending = false;
};
