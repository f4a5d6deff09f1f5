#pragma once

#include <QString>
#include <stdexcept>

// An error the user can cause (a bad setting, an unreadable file). It carries
// the Korean message shown to the user; the window that raised it stays as it
// was. Handlers either catch it themselves or let RavlinApplication's event
// dispatch show it in a message box.
class ERavlinError : public std::runtime_error {
public:
    explicit ERavlinError(const QString& message)
        : std::runtime_error(message.toStdString())
        , FMessage(message) {}

    const QString& Message() const { return FMessage; }

private:
    QString FMessage;
};
