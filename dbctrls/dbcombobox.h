#pragma once

#include <QComboBox>

class DataSource;
class FieldLink;

// A drop-down list bound to one column: it shows the entry equal to the column's value, or
// nothing when no entry equals it. Entries are drawn by the box itself at a fixed height.
class TDBComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TDBComboBox(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    void setDataField(const QString& field);
    FieldLink* link() const { return m_link; }
    // The shown entry's text, or empty.
    QString text() const { return currentIndex() >= 0 ? currentText() : QString(); }

    static constexpr int kItemHeight = 13;

private:
    void reload();

    FieldLink* m_link;
};
