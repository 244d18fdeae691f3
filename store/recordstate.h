#pragma once

#include <QVariant>

#include <vector>

enum class DataSetState { Inactive, Browse, Edit, Insert };

// The life of a data set's current record: closed (Inactive), shown as fetched (Browse), or held
// in a buffer of its own while it is changed (Edit) or added (Insert) until it is stored or
// abandoned. Each step that can leave the state as it was says whether the state changed.
class RecordState
{
public:
    DataSetState state() const { return m_state; }
    bool isActive() const { return m_state != DataSetState::Inactive; }
    bool isChanging() const { return m_state == DataSetState::Edit || m_state == DataSetState::Insert; }

    void open() { m_state = DataSetState::Browse; }
    void close();
    // Starts changing the current record, which holds these values.
    bool beginEdit(std::vector<QVariant> values);
    // Starts a new record of this many columns, all of them empty.
    bool beginInsert(int columnCount);
    // Back to browsing: the change was stored, abandoned or its row deleted.
    bool endChange();

    const QVariant& value(int column) const { return m_values[size_t(column)]; }
    const std::vector<QVariant>& values() const { return m_values; }
    void setValue(int column, const QVariant& value);
    bool isModified() const;
    // The columns given a value since the change began, in column order.
    std::vector<int> changedColumns() const;

private:
    bool enter(DataSetState state);

    DataSetState m_state = DataSetState::Inactive;
    std::vector<QVariant> m_values;
    std::vector<bool> m_changed;
};
