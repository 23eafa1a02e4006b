#include "platform/instance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace instance {
namespace {

constexpr int kConnectMs = 1000;
constexpr int kReplyMs = 2000;
constexpr int kLockWaitMs = 3000;
constexpr qsizetype kMaxRequest = 256;
// A socket path must fit the system's address, 108 bytes with the terminator.
constexpr qsizetype kMaxSocketPath = 107;

const QByteArray kWhichTitle = "which title";
const QByteArray kActivate = "activate";

struct State {
    QString title;
    QPointer<QLocalServer> server;
    std::function<void()> onActivate;
};

State& S()
{
    static State state;
    return state;
}

// A folder only this user can reach: the session's runtime folder, or one of
// our own in the temporary folder, refused when someone else could use it.
QString PrivateFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        return runtime;
    const QByteArray dir = QFile::encodeName(
        QDir::tempPath() + QStringLiteral("/" PROGRAM_NAME "-") + QString::number(geteuid()));
    mkdir(dir.constData(), 0700);
    struct stat st {};
    if (lstat(dir.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()
        || (st.st_mode & 077) != 0)
        return {};
    return QFile::decodeName(dir);
}

// The display this copy shows its windows on. Copies on other displays are
// other sessions: each display has a first copy of its own. ":0" and ":0.0"
// name the same display.
QString Display()
{
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    const qsizetype colon = display.lastIndexOf(u':');
    const qsizetype dot = display.indexOf(u'.', colon + 1);
    if (colon >= 0 && dot > colon)
        display.truncate(dot);
    return display;
}

bool AnsweringAt(const QString& path)
{
    const QLocalServer* server = S().server;
    return server && server->isListening() && server->fullServerName() == path;
}

void Serve(QLocalSocket* socket)
{
    while (socket->canReadLine()) {
        const QByteArray request = socket->readLine().trimmed();
        if (request == kWhichTitle) {
            socket->write(S().title.toUtf8() + '\n');
        } else if (request == kActivate) {
            socket->write("ok\n");
            // Out of the socket's handler, so the handler may open windows
            // and run loops of its own.
            QTimer::singleShot(0, qApp, [] {
                if (S().onActivate)
                    S().onActivate();
            });
        }
    }
    if (socket->bytesAvailable() > kMaxRequest)
        socket->abort();
}

QLocalServer& Server()
{
    if (!S().server) {
        S().server = new QLocalServer(qApp);
        QObject::connect(S().server, &QLocalServer::newConnection, [] {
            while (QLocalSocket* socket = S().server->nextPendingConnection()) {
                QObject::connect(socket, &QLocalSocket::readyRead, socket,
                                 [socket] { Serve(socket); });
                QObject::connect(socket, &QLocalSocket::disconnected, socket,
                                 &QObject::deleteLater);
            }
        });
    }
    return *S().server;
}

// A connection to whatever answers at `path`; nothing when no one listens there.
std::unique_ptr<QLocalSocket> Connect(const QString& path, bool* refused = nullptr)
{
    auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(path);
    if (socket->waitForConnected(kConnectMs))
        return socket;
    if (refused)
        *refused = socket->error() == QLocalSocket::ConnectionRefusedError
                   || socket->error() == QLocalSocket::ServerNotFoundError;
    return nullptr;
}

// Sends one request; the reply line, or nothing when none came in time.
std::optional<QByteArray> Ask(QLocalSocket& socket, const QByteArray& request)
{
    socket.write(request + '\n');
    socket.waitForBytesWritten(kReplyMs);
    const QDeadlineTimer deadline(kReplyMs);
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return std::nullopt;
    }
    return socket.readLine().trimmed();
}

// Listens at `path`. A socket file left there by a copy that crashed (nothing
// accepts on it) is removed first; a live copy's is left alone.
void Listen(const QString& path)
{
    // Two copies starting together must not both take a socket for dead.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.tryLock(kLockWaitMs);
    QLocalServer& server = Server();
    if (server.listen(path) || server.serverError() != QAbstractSocket::AddressInUseError)
        return;
    bool refused = false;
    if (!Connect(path, &refused) && refused) {
        QLocalServer::removeServer(path);
        server.listen(path);
    }
}

} // namespace

QString ServerName(const QString& title)
{
    const QString folder = PrivateFolder();
    if (folder.isEmpty())
        return {};
    const QString prefix = folder + QStringLiteral("/" PROGRAM_NAME "-");
    // "@" never appears in a percent-encoded text, so title and display stay apart.
    const QByteArray key = title.toUtf8().toPercentEncoding() + '@' + Display().toUtf8().toPercentEncoding();
    const QString readable = prefix + QString::fromLatin1(key);
    if (QFile::encodeName(readable).size() <= kMaxSocketPath)
        return readable;
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha1);
    return prefix + QString::fromLatin1(hash.toHex());
}

QString Title()
{
    return S().title;
}

void SetTitle(const QString& title)
{
    S().title = title;
    if (!QCoreApplication::instance())
        return;
    const QString path = ServerName(title);
    if (AnsweringAt(path))
        return;
    Server().close(); // removes the socket of the old title
    if (!path.isEmpty())
        Listen(path);
}

bool PrevInstance()
{
    const QString path = ServerName(Title());
    if (path.isEmpty() || AnsweringAt(path)) // the name is ours alone
        return false;
    const auto socket = Connect(path);
    if (!socket)
        return false;
    // A live copy too busy to reply in time still holds the name.
    const auto reply = Ask(*socket, kWhichTitle);
    return !reply || *reply == Title().toUtf8();
}

bool ActivateCopyTitled(const QString& title)
{
    const QString path = ServerName(title);
    if (path.isEmpty() || AnsweringAt(path))
        return false;
    const auto socket = Connect(path);
    if (!socket)
        return false;
    const auto reply = Ask(*socket, kWhichTitle);
    if (reply && *reply != title.toUtf8())
        return false;
    // The request waits in the socket for a busy copy, so it counts as asked.
    Ask(*socket, kActivate);
    return true;
}

void SetActivateHandler(std::function<void()> handler)
{
    S().onActivate = std::move(handler);
}

} // namespace instance
