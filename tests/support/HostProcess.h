#pragma once

#include <QProcess>
#include <QTest>

// The demo host (PARLOW6_HOST) run as an operator runs it, with settings
// ("NAME=value") added to the environment, killed after killAfterMs if asked.
struct HostRun
{
    int exitCode = -1; // -1 when it crashed or was killed
    QString output;    // its standard output and errors
};

inline HostRun runHost(const QStringList &arguments, const QStringList &environment = {}, int killAfterMs = -1)
{
    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &setting : environment)
        env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    host.setProcessEnvironment(env);
    host.start(QStringLiteral(PARLOW6_HOST), arguments);
    if (killAfterMs >= 0) {
        QTest::qWait(killAfterMs);
        host.kill();
    }
    host.waitForFinished(120000);
    return {host.exitStatus() == QProcess::CrashExit ? -1 : host.exitCode(),
            QString::fromLocal8Bit(host.readAllStandardOutput() + host.readAllStandardError())};
}
