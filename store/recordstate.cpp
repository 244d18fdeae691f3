#include "recordstate.h"

#include <algorithm>

bool RecordState::enter(DataSetState state)
{
    if (m_state == state)
        return false;
    m_state = state;
    return true;
}

void RecordState::close()
{
    m_state = DataSetState::Inactive;
    m_values.clear();
    m_changed.clear();
}

bool RecordState::beginEdit(std::vector<QVariant> values)
{
    m_values = std::move(values);
    m_changed.assign(m_values.size(), false);
    return enter(DataSetState::Edit);
}

bool RecordState::beginInsert(int columnCount)
{
    m_values.assign(size_t(columnCount), QVariant());
    m_changed.assign(size_t(columnCount), false);
    return enter(DataSetState::Insert);
}

bool RecordState::endChange()
{
    m_values.clear();
    m_changed.clear();
    return enter(DataSetState::Browse);
}

void RecordState::setValue(int column, const QVariant& value)
{
    m_values[size_t(column)] = value;
    m_changed[size_t(column)] = true;
}

bool RecordState::isModified() const
{
    return std::find(m_changed.begin(), m_changed.end(), true) != m_changed.end();
}

std::vector<int> RecordState::changedColumns() const
{
    std::vector<int> columns;
    for (size_t i = 0; i < m_changed.size(); ++i) {
        if (m_changed[i])
            columns.push_back(int(i));
    }
    return columns;
}
