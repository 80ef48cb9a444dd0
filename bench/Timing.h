#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include <sys/resource.h>

// What every figure of the benchmark is measured with.
namespace Timing {

inline double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

inline double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

inline double medianOf(int runs, const std::function<void()> &work)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i)
        times.append(timeMs(work));
    return median(times);
}

// CPU time in ms of this process (RUSAGE_SELF), or of its children waited
// for so far (RUSAGE_CHILDREN).
inline double cpuMs(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// This thread's time in ms on a CPU and waiting in the run queue for one
// (/proc/thread-self/schedstat; zeros where there is none). Wall time less
// both is the time it waited on something else, such as a server's answer.
struct SchedTimes
{
    double running = 0, queued = 0;
};
inline SchedTimes schedMs()
{
    QFile stat(QStringLiteral("/proc/thread-self/schedstat"));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> fields = stat.readAll().split(' ');
    return {fields.value(0).toDouble() / 1e6, fields.value(1).toDouble() / 1e6};
}

// The wall time in ms of a database's own shell running the script from its
// standard input, output discarded, its start and connection included. A
// failing shell ends the benchmark: its figures would mean nothing.
inline double shellMs(const QString &program, const QStringList &arguments, const QByteArray &script)
{
    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    shell.start(program, arguments);
    shell.write(script);
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), shell.readAllStandardError().constData());
        std::exit(1);
    }
    return ms;
}

// A figure of /proc/self/status in kB ("VmHWM:", "RssAnon:"); -1 where there is none.
inline qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace Timing
