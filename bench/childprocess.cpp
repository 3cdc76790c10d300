#include "childprocess.h"

#include <QElapsedTimer>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fcntl.h>
#include <vector>

extern char **environ;

namespace bench {
namespace {

[[nodiscard]] QByteArrayList changedEnvironment(const QStringList &changes)
{
    QByteArrayList environment;
    for (char **entry = environ; *entry; ++entry)
        environment.append(*entry);
    for (const QString &change : changes) {
        const QByteArray entry = change.toLocal8Bit();
        const QByteArray name = entry.left(entry.indexOf('=') + 1);
        environment.removeIf([&name](const QByteArray &old) { return old.startsWith(name); });
        environment.append(entry);
    }
    return environment;
}

[[nodiscard]] std::vector<char *> pointers(QByteArrayList &strings)
{
    std::vector<char *> result;
    for (QByteArray &string : strings)
        result.push_back(string.data());
    result.push_back(nullptr);
    return result;
}

} // namespace

// posix_spawn and wait4 rather than QProcess: wait4 gives this one child's
// peak resident memory, which QProcess does not pass on.
ChildRun runChild(const QString &program, const QStringList &arguments,
                  const QStringList &environmentChanges, const QByteArray &line)
{
    QByteArrayList argv{program.toLocal8Bit()};
    for (const QString &argument : arguments)
        argv.append(argument.toLocal8Bit());
    QByteArrayList environment = changedEnvironment(environmentChanges);
    std::vector<char *> argvPointers = pointers(argv);
    std::vector<char *> environmentPointers = pointers(environment);

    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);

    ChildRun run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argvPointers[0], &actions, nullptr, argvPointers.data(),
                                    environmentPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (spawned != 0) {
        close(output[0]);
        return {};
    }

    QByteArray written;
    bool lineSeen = false;
    char buffer[4096];
    for (;;) {
        const ssize_t count = read(output[0], buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        written.append(buffer, count);
        if (!lineSeen && written.split('\n').contains(line)) {
            run.msToLine = double(timer.nsecsElapsed()) / 1e6;
            lineSeen = true;
        }
    }
    close(output[0]);

    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.peakResidentBytes = double(usage.ru_maxrss) * 1024;
    run.ok = lineSeen && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    for (const QByteArray &text : written.split('\n'))
        if (!text.isEmpty())
            run.lines.append(QString::fromLocal8Bit(text));
    return run;
}

} // namespace bench
