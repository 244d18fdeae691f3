#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the program. Anything that goes wrong below an event handler throws it;
// the handler's guard catches it and shows the message in the default error box.
class FeylumeError : public std::runtime_error
{
public:
    // code is the library's extended result code when the library refused something, else 0.
    explicit FeylumeError(const QString& message, int code = 0)
        : std::runtime_error(message.toStdString())
        , m_message(message)
        , m_code(code)
    { }

    const QString& message() const noexcept { return m_message; }
    int code() const noexcept { return m_code; }

    // Errors a data component raises about its own state carry its name in front.
    static FeylumeError fromComponent(const QString& componentName, const QString& message)
    {
        return FeylumeError(
            componentName.isEmpty() ? message : componentName + QStringLiteral(": ") + message);
    }

private:
    QString m_message;
    int m_code = 0;
};
