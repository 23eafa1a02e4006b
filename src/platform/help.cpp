#include "platform/help.h"

#include "platform/helpfile.h"
#include "platform/helpviewer.h"

#include <QApplication>
#include <QFile>
#include <QWidget>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace help {
namespace {

// The viewer process and the channel to its standard input. It ends when the
// game does, as the channel closes.
class ViewerProcess {
public:
    // Hands the request to the running viewer, or to a new one when there is
    // none or it takes no more.
    bool Send(const QByteArray& request)
    {
        if (Alive() && Write(request))
            return true;
        Stop();
        return Start() && Write(request);
    }

private:
    bool Alive()
    {
        if (pid_ <= 0)
            return false;
        if (waitpid(pid_, nullptr, WNOHANG) == 0)
            return true;
        Forget(); // it has ended and is reaped
        return false;
    }

    bool Start()
    {
        const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
        int ends[2];
        if (program.isEmpty() || socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(ViewerArgument()), nullptr};
        pid_t pid = -1;
        const bool started = posix_spawn(&pid, program.constData(), &actions, nullptr, argv, environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        if (!started) {
            close(ends[0]);
            return false;
        }
        pid_ = pid;
        channel_ = ends[0];
        return true;
    }

    // All of the request or nothing: a viewer that has ended or stopped
    // reading gets no more.
    bool Write(const QByteArray& request) const
    {
        const ssize_t sent = send(channel_, request.constData(), static_cast<size_t>(request.size()),
                                  MSG_NOSIGNAL | MSG_DONTWAIT);
        return sent == request.size();
    }

    void Stop()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        Forget();
    }

    void Forget()
    {
        if (channel_ >= 0)
            close(channel_);
        pid_ = -1;
        channel_ = -1;
    }

    pid_t pid_ = -1;
    int channel_ = -1;
};

std::function<void(const QString&, const QString&)>& Recorder()
{
    static std::function<void(const QString&, const QString&)> recorder;
    return recorder;
}

// The frames of the game's windows on the screen.
QRect GameWindows()
{
    QRect all;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip)
            all |= w->frameGeometry();
    return all;
}

bool Ask(const QString& file, const QString& topic)
{
    if (Recorder()) {
        Recorder()(file, topic);
        return true;
    }
    static ViewerProcess viewer;
    return viewer.Send(EncodeRequest({file, topic, GameWindows()}));
}

} // namespace

bool ShowTopic(const QString& chmPath, const QString& topic)
{
    const std::optional<QSet<QString>> contents = CheckedFileContents(chmPath);
    if (!contents || topic.isEmpty() || !contents->contains(PageName(topic)))
        return false;
    return Ask(chmPath, topic);
}

bool ShowIndex(const QString& chmPath)
{
    return CheckedFileContents(chmPath) && Ask(chmPath, {});
}

void SetRecorder(std::function<void(const QString& file, const QString& topic)> recorder)
{
    Recorder() = std::move(recorder);
}

} // namespace help
