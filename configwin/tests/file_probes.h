// Seeing what a file operation did without trusting its own account: whether
// a file was opened at all, and what it did in a process whose limits, mounts
// or user may change without touching the test's own.
#ifndef CONFIGWIN_TESTS_FILE_PROBES_H
#define CONFIGWIN_TESTS_FILE_PROBES_H

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// Notices every open of one file from its creation on; a stat() is no open.
class OpenWatch {
public:
    explicit OpenWatch(const QString& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        EXPECT_GE(inotify_add_watch(fd_, QFile::encodeName(path).constData(), IN_OPEN), 0) << path.toStdString();
    }
    ~OpenWatch() { ::close(fd_); }
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;

    bool opened() const
    {
        alignas(inotify_event) char events[4096];
        return ::read(fd_, events, sizeof events) > 0;
    }

private:
    int fd_;
};

// Runs `work` in a forked child and returns what it returned; a child that
// did not end normally gives "<child failed>".
inline QByteArray inChild(const std::function<QByteArray()>& work)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "<no pipe>";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        const QByteArray result = work();
        const bool sent = ::write(pipeEnds[1], result.constData(), result.size()) == result.size();
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    QByteArray result;
    char chunk[4096];
    for (ssize_t count; (count = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
        result.append(chunk, count);
    ::close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "<child failed>";
    return result;
}

#endif
