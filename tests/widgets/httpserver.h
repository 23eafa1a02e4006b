#pragma once
// A web server on 127.0.0.1 for the download tests: each path answers with a
// canned response, sent whole, in paced parts, or never.
#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

struct CannedResponse {
    QByteArray status = "200 OK";
    QByteArray body;
    int parts = 1;           // the body goes out in this many pieces ...
    int partDelayMs = 0;     // ... this far apart
    bool silent = false;     // reads the request, answers nothing
    bool endless = false;    // a page that never ends, sent as fast as it is taken
};

class LocalHttpServer : public QObject {
public:
    LocalHttpServer()
    {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                serve(socket);
        });
    }

    void Route(const QByteArray& path, CannedResponse response) { routes_.insert(path, response); }
    QString Url(const QByteArray& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(QString::fromLatin1(path));
    }
    // A port where nothing listens.
    static QString ClosedUrl() { return QStringLiteral("http://127.0.0.1:1/"); }

    // The heads of the requests received, in order.
    QList<QByteArray> Requests;
    // Connections ended, by either side, and the bytes of endless pages sent.
    int Ended = 0;
    qint64 EndlessBytesSent = 0;

private:
    void serve(QTcpSocket* socket)
    {
        socket->setParent(this);
        QObject::connect(socket, &QTcpSocket::disconnected, this, [this] { ++Ended; });
        auto head = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket, head] {
            const bool complete = head->contains("\r\n\r\n");
            *head += socket->readAll();
            if (complete || !head->contains("\r\n\r\n"))
                return;
            Requests << *head;
            const QByteArray path = head->split(' ').value(1);
            answer(socket, routes_.value(path, CannedResponse{"404 Not Found", "<h1>no</h1>"}));
        });
    }

    void answer(QTcpSocket* socket, const CannedResponse& response)
    {
        if (response.silent)
            return;
        if (response.endless) {
            socket->write("HTTP/1.1 " + response.status + "\r\nContent-Type: text/html\r\n\r\n");
            QObject::connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { pour(socket); });
            pour(socket);
            return;
        }
        socket->write("HTTP/1.1 " + response.status + "\r\nContent-Type: text/html\r\nContent-Length: " +
                      QByteArray::number(response.body.size()) + "\r\nConnection: close\r\n\r\n");
        sendPart(socket, response, 0);
    }

    void sendPart(QPointer<QTcpSocket> socket, const CannedResponse& response, int part)
    {
        if (!socket)
            return;
        const qsizetype size = (response.body.size() + response.parts - 1) / response.parts;
        socket->write(response.body.mid(part * size, size));
        socket->flush();
        if (part + 1 >= response.parts) {
            socket->disconnectFromHost();
            return;
        }
        QTimer::singleShot(response.partDelayMs, this,
                           [this, socket, response, part] { sendPart(socket, response, part + 1); });
    }

    // Keeps a little of the endless page waiting to go, whenever the client takes some.
    void pour(QTcpSocket* socket)
    {
        static const QByteArray chunk(16 * 1024, 'x');
        if (socket->state() != QAbstractSocket::ConnectedState || socket->bytesToWrite() >= chunk.size())
            return;
        socket->write(chunk);
        EndlessBytesSent += chunk.size();
    }

    QTcpServer server_;
    QHash<QByteArray, CannedResponse> routes_;
};
