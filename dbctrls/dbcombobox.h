#pragma once

#include <QComboBox>

class DataSource;
class FieldLink;

// A drop-down list bound to one column: it shows the entry equal to the column's value, or
// nothing when no entry equals it. Entries are drawn at a fixed height.
class TDBComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TDBComboBox(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    void setDataField(const QString& field);
    // The shown entry's text, or empty.
    QString text() const { return currentIndex() >= 0 ? currentText() : QString(); }

    static constexpr int kItemHeight = 13;
    // Item data of an entry whose stored name is not valid UTF-8: the stored bytes, which are
    // written to the column in place of the shown text.
    static constexpr int kStoredNameRole = Qt::UserRole + 1;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QVariant storedValue() const;
    void showField(const QString& value);
    void chosen(int index);

    FieldLink* m_link;
};
