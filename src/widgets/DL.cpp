#include "widgets/DL.h"

#include "platform/ansi.h"
#include "platform/forms/pace.h"

#include <QFile>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace {

constexpr int kSize = 495; // twips, whatever the host asks
// GetURL reads pages of a line or two (the address echo); far more is no such page.
constexpr qint64 kPageLimit = 8 * 1024;

double monotonicSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::int32_t toLong(qint64 value)
{
    return static_cast<std::int32_t>(std::clamp<qint64>(value, std::numeric_limits<std::int32_t>::min(),
                                                        std::numeric_limits<std::int32_t>::max()));
}

} // namespace

QString WithHttpPrefix(const QString& URL)
{
    return URL.left(7) == QLatin1String("http://") ? URL : "http://" + URL;
}

DL::DL(QWidget* container) : vb::Control(container), butBDR(this), Clock(monotonicSeconds), reader_(this)
{
    Move(0, 0, kSize, kSize);
    butBDR.Move(0, 0, kSize, kSize);
    reader_.AsyncReadProgress = [this](const vb::AsyncProperty& p) { UserControl_AsyncReadProgress(p); };
    reader_.AsyncReadComplete = [this](const vb::AsyncProperty& p) { UserControl_AsyncReadComplete(p); };
    reader_.SetMemoryLimit(kPageLimit); // only GetURL reads into memory
}

QString DL::GetURL(QString URL, std::int16_t TimeoutSeconds)
{
    QString result;
    if (m_Busy)
        return result;
    URL = WithHttpPrefix(URL);
    m_Busy = true;
    reader_.AsyncRead(URL, vb::vbAsyncTypeByteArray, QString(), vb::vbAsyncReadForceUpdate);
    const double started = Clock();

    // Wakes the wait when the time is up, so that it can block for the next
    // event instead of spinning.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    bool timedOut = false;
    vb::WaitUntil([&] {
        const double elapsed = Clock() - started;
        if (elapsed > TimeoutSeconds) { // before the completion, as a read done in this pass is too late
            timedOut = true;
            return true;
        }
        if (!m_Busy)
            return true;
        if (!wake.isActive())
            wake.start(static_cast<int>(std::ceil((TimeoutSeconds - elapsed) * 1000.0)) + 1);
        return false;
    });
    if (!timedOut)
        return m_Result;
    // No read goes on past the wait (an unnamed download stops with it); with
    // no completion to come, the control is free again.
    reader_.CancelAsyncRead(QString());
    m_Busy = false;
    return result;
}

void DL::Download(QString sWWWFile, QString sDestination, QString sID)
{
    const QString key = sID.toCaseFolded();
    const bool added = !colDestinations.contains(key); // a duplicate keeps the earlier destination
    if (added)
        colDestinations.insert(key, sDestination);
    sWWWFile = WithHttpPrefix(sWWWFile);
    try {
        reader_.AsyncRead(sWWWFile, vb::vbAsyncTypeFile, sID, vb::vbAsyncReadForceUpdate);
    } catch (const vb::AsyncReadError&) {
        // No read, no completion: a later download of that name must not find this destination.
        if (added)
            colDestinations.remove(key);
    }
}

void DL::CancelDownload(QString sID)
{
    reader_.CancelAsyncRead(sID);
}

void DL::UserControl_AsyncReadProgress(const vb::AsyncProperty& AsyncProp)
{
    if (AsyncProp.BytesMax != 0 && !m_Busy && Progress)
        Progress(toLong(AsyncProp.BytesRead), toLong(AsyncProp.BytesMax), AsyncProp.PropertyName);
}

void DL::UserControl_AsyncReadComplete(const vb::AsyncProperty& AsyncProp)
{
    if (m_Busy) { // a GetURL is waiting: whatever completes is its answer
        m_Result = AsyncProp.Value.isValid() ? ansi::ToUnicode(AsyncProp.Value.toByteArray()) : QString();
        m_Busy = false;
        return;
    }
    const QString key = AsyncProp.PropertyName.toCaseFolded();
    if (AsyncProp.Value.isValid() && colDestinations.contains(key))
        QFile::rename(AsyncProp.Value.toString(), colDestinations.value(key));
    colDestinations.remove(key);
    if (Completed)
        Completed(toLong(AsyncProp.BytesRead), AsyncProp.PropertyName);
}

void DL::resizeEvent(QResizeEvent* event)
{
    vb::Control::resizeEvent(event);
    UserControl_Resize();
}

void DL::UserControl_Resize()
{
    if (Height != kSize)
        Height = kSize;
    if (Width != kSize)
        Width = kSize;
}
