#include "platform/download.h"

#include "platform/forms/handlers.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>
#include <QUrl>

namespace vb {

struct AsyncReader::Read {
    QNetworkReply* reply = nullptr;
    QString name;
    int type = vbAsyncTypeByteArray;
    QByteArray bytes;                     // a read into memory
    qint64 memoryLimit = 0;               // 0: none
    std::unique_ptr<QTemporaryFile> file; // a read into a file; removed with the read unless moved away
    bool failed = false;                  // the file could not be written, or the bytes passed the limit
    qint64 bytesRead = 0;
    qint64 bytesMax = 0;

    void keep(const QByteArray& data)
    {
        if (failed)
            return;
        if (file)
            failed = file->write(data) != data.size();
        else if (memoryLimit > 0 && bytes.size() + data.size() > memoryLimit)
            failed = true;
        else
            bytes += data;
    }

    AsyncProperty property() const
    {
        AsyncProperty property;
        property.PropertyName = name;
        property.BytesRead = bytesRead;
        property.BytesMax = bytesMax;
        property.AsyncType = type;
        return property;
    }
};

namespace {

bool succeeded(QNetworkReply* reply)
{
    if (reply->error() != QNetworkReply::NoError)
        return false;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return !status.isValid() || (status.toInt() >= 200 && status.toInt() < 300);
}

QNetworkRequest requestFor(const QUrl& url, int options, int stallMilliseconds)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(stallMilliseconds);
    if (options & vbAsyncReadForceUpdate) {
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        // Proxies on the way must not answer from their copies either.
        request.setRawHeader("Cache-Control", "no-cache");
        request.setRawHeader("Pragma", "no-cache");
    }
    return request;
}

} // namespace

AsyncReader::AsyncReader(QObject* owner) : QObject(owner), manager_(new QNetworkAccessManager(this)) {}

AsyncReader::~AsyncReader()
{
    for (auto& read : reads_) {
        disconnect(read->reply, nullptr, this, nullptr);
        read->reply->abort();
        delete read->reply;
    }
}

void AsyncReader::AsyncRead(const QString& target, int asyncType, const QString& propertyName, int options)
{
    const QUrl url(target);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != "http" && scheme != "https"))
        throw AsyncReadError("cannot read " + target.toStdString());

    auto read = std::make_unique<Read>();
    read->name = propertyName;
    read->type = asyncType;
    read->memoryLimit = memoryLimit_;
    if (asyncType == vbAsyncTypeFile) {
        read->file = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/download-XXXXXX");
        if (!read->file->open())
            throw AsyncReadError("no temporary file for " + target.toStdString());
    }
    read->reply = manager_->get(requestFor(url, options, stallMilliseconds_));
    Read* raw = read.get();
    reads_.push_back(std::move(read));

    connect(raw->reply, &QNetworkReply::readyRead, this, [raw] {
        raw->keep(raw->reply->readAll());
        if (raw->failed && !raw->file)
            raw->reply->abort(); // finishes the read, which may be gone when this returns
    });
    connect(raw->reply, &QNetworkReply::downloadProgress, this, [this, raw](qint64 received, qint64 total) {
        raw->bytesRead = received;
        raw->bytesMax = total < 0 ? 0 : total;
        const AsyncProperty property = raw->property();
        RunHandler([&] {
            if (AsyncReadProgress)
                AsyncReadProgress(property);
        });
    });
    connect(raw->reply, &QNetworkReply::finished, this, [this, raw] { finish(raw); });
}

void AsyncReader::CancelAsyncRead(const QString& propertyName)
{
    for (std::size_t i = 0; i < reads_.size();) {
        if (reads_[i]->name != propertyName) {
            ++i;
            continue;
        }
        auto read = take(reads_[i].get());
        disconnect(read->reply, nullptr, this, nullptr);
        read->reply->abort();
        read->reply->deleteLater();
    }
}

std::unique_ptr<AsyncReader::Read> AsyncReader::take(Read* read)
{
    for (auto it = reads_.begin(); it != reads_.end(); ++it) {
        if (it->get() == read) {
            auto owned = std::move(*it);
            reads_.erase(it);
            return owned;
        }
    }
    return nullptr;
}

void AsyncReader::finish(Read* raw)
{
    auto read = take(raw);
    if (!read)
        return;
    QNetworkReply* reply = read->reply;
    disconnect(reply, nullptr, this, nullptr);
    if (reply->isOpen())
        read->keep(reply->readAll());
    read->bytesRead = read->file ? read->file->size() : read->bytes.size();
    AsyncProperty property = read->property();
    if (succeeded(reply) && !read->failed) {
        if (!read->file)
            property.Value = read->bytes;
        else if (read->file->flush())
            property.Value = read->file->fileName();
    }
    if (read->file)
        read->file->close();
    reply->deleteLater();
    RunHandler([&] {
        if (AsyncReadComplete)
            AsyncReadComplete(property);
    });
    // The read goes here, and with it its file, unless the handler moved it away.
}

} // namespace vb
