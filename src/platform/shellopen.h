#pragma once
// Opens a link (web or mail) or a file with the desktop's default handler.
#include <QString>
#include <QUrl>

#include <functional>

namespace shellopen {

// Hands `target` to the desktop: an existing file by its path, anything else
// as a URL ("mailto:...", "http://...", "www.example.com"). True when the
// desktop accepted it. With a recorder set, the recorder gets the target
// instead and the result is true.
bool Open(const QString& target);

// What Open hands to the desktop for `target`.
QUrl UrlFor(const QString& target);

// Tests see what would be opened instead of starting a browser or mailer;
// an empty function restores the desktop.
void SetRecorder(std::function<void(const QString&)> recorder);

} // namespace shellopen
