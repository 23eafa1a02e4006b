#pragma once
// The toolkit's asynchronous download facility for custom controls: a read of
// a URL into memory or into a temporary file, started under a name. Progress
// and completion arrive later as notices on the user-interface thread, from the
// event loop; a read that is cancelled gives no further notice.
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class QNetworkAccessManager;

namespace vb {

enum AsyncTypeConstants { vbAsyncTypeFile = 0, vbAsyncTypeByteArray = 2 };
// Fetch from the server, never from a cached copy.
enum AsyncReadConstants { vbAsyncReadForceUpdate = 16 };

// What a notice hands over.
struct AsyncProperty {
    // The bytes (QByteArray) of a read into memory, the path (QString) of the
    // file that holds them for a read into a file; null when the read failed.
    QVariant Value;
    QString PropertyName;
    qint64 BytesRead = 0;
    qint64 BytesMax = 0; // 0 while the size has not been announced
    int AsyncType = vbAsyncTypeByteArray;
};

// The facility refuses a target it cannot read (no http or https URL).
class AsyncReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class AsyncReader : public QObject {
    Q_OBJECT

public:
    // A transfer that receives nothing for this long fails (the server never answers).
    static constexpr int kDefaultStallMilliseconds = 60000;

    explicit AsyncReader(QObject* owner = nullptr);
    ~AsyncReader() override;

    // Starts the read and returns at once; throws AsyncReadError when refused.
    void AsyncRead(const QString& target, int asyncType, const QString& propertyName, int options = 0);
    // Cancels every pending read of that name; unknown names are ignored.
    void CancelAsyncRead(const QString& propertyName);
    int PendingReads() const { return static_cast<int>(reads_.size()); }

    void SetStallMilliseconds(int milliseconds) { stallMilliseconds_ = milliseconds; }
    // A read into memory that would hold more than this many bytes stops and
    // fails, so that an endless answer cannot take the memory; 0: no limit.
    void SetMemoryLimit(qint64 bytes) { memoryLimit_ = bytes; }

    std::function<void(const AsyncProperty&)> AsyncReadProgress;
    std::function<void(const AsyncProperty&)> AsyncReadComplete;

private:
    struct Read;
    void finish(Read* read);
    std::unique_ptr<Read> take(Read* read);

    QNetworkAccessManager* manager_;
    std::vector<std::unique_ptr<Read>> reads_;
    int stallMilliseconds_ = kDefaultStallMilliseconds;
    qint64 memoryLimit_ = 0;
};

} // namespace vb
