#pragma once

#include <QObject>

class CategoryTree;
class CurrentScript;
class ScriptCounts;
class StatusBar;
class TDBComboBox;
class TDBEdit;
class TDBMemo;

// The current script's record session: adding, saving, abandoning and deleting the script the
// editors show, and how a store brings the tree in line with the stored script.
class RecordSession : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        CategoryTree* tree;
        TDBComboBox* categoryBox;
        TDBEdit* nameEdit;
        TDBMemo* introMemo;
        TDBMemo* codeMemo;
    };

    // Becomes the current script's way of storing a pending change.
    RecordSession(const Parts& parts, CurrentScript& current, ScriptCounts& counts, QObject* parent);

    // A new record, once a pending change is stored.
    void addScript();
    // The selected script, after the user confirms.
    void deleteSelectedScript();
    // Stores the current record.
    void saveScript();
    // Drops the current record's changes, and the editors' history of them.
    void abandonChanges();

    // Stores a pending edit or new script with the save command's checks and brings the tree in
    // line; true when nothing is left pending.
    bool saveCurrentScript();

private:
    bool storePendingChanges();
    bool saveEditedScript();
    bool saveNewScript();

    Parts m_parts;
    CurrentScript& m_current;
    ScriptCounts& m_counts;
};
