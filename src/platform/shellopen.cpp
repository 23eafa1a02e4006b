#include "platform/shellopen.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace shellopen {
namespace {

std::function<void(const QString&)>& Recorder()
{
    static std::function<void(const QString&)> recorder;
    return recorder;
}

} // namespace

QUrl UrlFor(const QString& target)
{
    const QFileInfo file(target);
    if (file.exists())
        return QUrl::fromLocalFile(file.absoluteFilePath());
    return QUrl::fromUserInput(target);
}

bool Open(const QString& target)
{
    if (Recorder()) {
        Recorder()(target);
        return true;
    }
    const QUrl url = UrlFor(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}

void SetRecorder(std::function<void(const QString&)> recorder)
{
    Recorder() = std::move(recorder);
}

} // namespace shellopen
