#pragma once

#include <QValidator>

// Keeps typing, pasting and dropping within a number of characters, counted as the user sees
// them. Text the program puts in is shown whole however long it is: only growing past the limit
// is refused, and of an insertion that does not fit, the part that fits is kept, never half of
// a character.
class CharacterLimit : public QValidator
{
    Q_OBJECT
public:
    explicit CharacterLimit(QObject* parent = nullptr);

    // 0 means no limit.
    void setLimit(int characters) { m_limit = characters; }
    int limit() const { return m_limit; }
    // The text as the program just put it in; edits are measured against it.
    void setBaseline(const QString& text);

    State validate(QString& input, int& position) const override;

private:
    int m_limit = 0;
    mutable qsizetype m_baseline = 0;
};
