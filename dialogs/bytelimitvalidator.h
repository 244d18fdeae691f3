#pragma once

#include <QValidator>

// Keeps a line editor's text within a number of bytes in the system's code page (UTF-8). Input
// that would go over is cut short, whole characters at a time, as a paste into a full box is.
class ByteLimitValidator : public QValidator
{
    Q_OBJECT
public:
    ByteLimitValidator(qsizetype limit, QObject* parent);

    State validate(QString& input, int& position) const override;

private:
    qsizetype m_limit;
};
