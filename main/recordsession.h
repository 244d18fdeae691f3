#pragma once

#include <QObject>

class TForm1;

// The current script's record session: adding, saving, abandoning and deleting the script the
// editors show, and how a store brings the tree in line with the stored script. It works on the
// window's current-script query (ADOQuery2), editors and tree.
class RecordSession : public QObject
{
public:
    explicit RecordSession(TForm1& form);

    // "添加脚本" (F5): a new record, once a pending change is stored.
    void DataSetInsert1Execute();
    // "删除脚本" (F6): the selected script, after the user confirms.
    void DataSetDelete1Execute();
    // "保存脚本" (F7).
    void DataSetPost1Execute();
    // "放弃修改" (F8).
    void DataSetCancel1Execute();

    // Stores a changed current record through the save command before anything replaces it;
    // false when the store was refused, the record then keeping its mode and typed values.
    // An untouched edit or new record is simply dropped.
    bool storePendingChanges();
    // Stores a pending edit or new script with the save command's checks and brings the tree in
    // line; true when nothing is left pending.
    bool saveCurrentScript();

private:
    bool saveEditedScript();
    bool saveNewScript();

    TForm1& m_form;
};
