#pragma once
// The application's top-level error handler. An exception that escapes any event handler is
// shown in an error message box with its text, plus a full stop when the text does not end in
// one, and the program goes on.

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>
#include <stdexcept>

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The message text for an error: the exception's text (decoded as the program's texts are)
// with a full stop appended when it does not already end in one.
QString ErrorMessageText(const std::exception& error);

// Shows the error message box for the error. Used by the handler above, and by code that runs
// a handler outside the event loop.
void ShowError(const std::exception& error);

// Runs a handler and shows whatever it throws in the error box, so that no exception unwinds
// through Qt's own frames (Qt is not built for that, and leaks the event it was delivering).
// Every handler the program binds runs through this; TApplication::notify is the backstop.
template <class Handler>
void Guarded(Handler&& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowError(error);
    } catch (...) {
        ShowError(std::runtime_error("Unknown error"));
    }
}

// Where the error box goes. Empty: a modal critical message box titled "Nodeloom". Tests
// replace it to read the text without a modal box.
extern std::function<void(const QString& text)> ErrorBoxHook;

// Shows an information message box with the text. Goes to MessageBoxHook when that is set
// (tests read the text there); otherwise a modal box titled "Nodeloom".
void ShowMessage(const QString& text);
extern std::function<void(const QString& text)> MessageBoxHook;
