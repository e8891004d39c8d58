#pragma once
// The program run as a command-line user runs it: a child process without any display (so that
// nothing can open a window), in a folder of the test's, its exit code and both outputs kept; and
// the files it reads and writes.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

struct TRun {
    int exitCode;
    QByteArray out, err;
};

// program (the editor, or another tool) with arguments; folder empty for this process's own. The
// wait is a watchdog for a loaded machine, not a speed limit.
inline TRun RunTool(const QString& program, const QStringList& arguments, const QString& folder = QString()) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    if (!folder.isEmpty()) p.setWorkingDirectory(folder);
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForFinished(120000));
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

inline void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The file's bytes, or "(missing)".
inline QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}
