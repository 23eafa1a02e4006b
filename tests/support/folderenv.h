// Points an environment variable that names a folder (XDG_CONFIG_HOME,
// XDG_CACHE_HOME) at a fresh temporary folder while it lives, then restores it.
#pragma once

#include <QByteArray>
#include <QTemporaryDir>

class TemporaryFolderVariable {
public:
    explicit TemporaryFolderVariable(const char* name) : name_(name), saved_(qgetenv(name))
    {
        qputenv(name_, folder_.path().toLocal8Bit());
    }
    ~TemporaryFolderVariable() { qputenv(name_, saved_); }
    TemporaryFolderVariable(const TemporaryFolderVariable&) = delete;
    TemporaryFolderVariable& operator=(const TemporaryFolderVariable&) = delete;

    const QTemporaryDir& Folder() const { return folder_; }

private:
    const char* name_;
    QByteArray saved_;
    QTemporaryDir folder_;
};
