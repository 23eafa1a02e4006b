#pragma once
// The download control: reads a web page into text, waiting for it while the
// program's events go on (GetURL), or fetches a URL into a file in the
// background and reports progress and completion (Download). GetURL's read
// ends with its wait: the time-out stops it, and a page longer than a few
// kilobytes fails.
#include "platform/download.h"
#include "platform/forms/button.h"
#include "platform/forms/control.h"

#include <QHash>
#include <cstdint>
#include <functional>

class DL : public vb::Control {
    Q_OBJECT

public:
    explicit DL(QWidget* container);

    // The page's bytes as text (Windows-1252, one character per byte), or the
    // empty text when busy, timed out, too long or failed.
    QString GetURL(QString URL, std::int16_t TimeoutSeconds = 10);
    void Download(QString sWWWFile, QString sDestination, QString sID = {});
    void CancelDownload(QString sID = {});

    std::function<void(std::int32_t DownLoadedBytes, std::int32_t TotalBytes, const QString& sID)> Progress;
    std::function<void(std::int32_t Bytes, const QString& sID)> Completed;

    vb::CheckBox butBDR;

    // Seconds on a clock that only moves forward; GetURL measures its wait on it.
    std::function<double()> Clock;
    // The facility under the control, for its owner's settings.
    vb::AsyncReader& Reader() { return reader_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void UserControl_AsyncReadProgress(const vb::AsyncProperty& AsyncProp);
    void UserControl_AsyncReadComplete(const vb::AsyncProperty& AsyncProp);
    void UserControl_Resize();

    vb::AsyncReader reader_;
    // Destination paths of pending downloads by read name; keys ignore case.
    QHash<QString, QString> colDestinations;
    QString m_Result;
    bool m_Busy = false;
};

// "http://" in front of a URL that does not start with exactly that.
QString WithHttpPrefix(const QString& URL);
