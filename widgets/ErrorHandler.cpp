#include "ErrorHandler.h"

#include "TextCodec.h"

#include <QMessageBox>

#include <stdexcept>

std::function<void(const QString& text)> ErrorBoxHook;
std::function<void(const QString& text)> MessageBoxHook;

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(error);
    } catch (...) {
        ShowError(std::runtime_error("Unknown error"));
    }
    return true;
}

QString ErrorMessageText(const std::exception& error) {
    QString text = DecodeText(error.what());
    if (!text.endsWith(QLatin1Char('.'))) text += QLatin1Char('.');
    return text;
}

void ShowError(const std::exception& error) {
    const QString text = ErrorMessageText(error);
    if (ErrorBoxHook) {
        ErrorBoxHook(text);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Nodeloom"), text);
}

void ShowMessage(const QString& text) {
    if (MessageBoxHook) {
        MessageBoxHook(text);
        return;
    }
    QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Nodeloom"), text);
}
