// Entry point of every test program: an offscreen application, no waiting, and a
// private settings folder and cache, so that no test touches the user's own; a
// handler that fails makes the running test fail.
#include "platform/forms/handlers.h"
#include "platform/helpviewer.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>

namespace {
// The offscreen platform cannot raise windows and says so every time.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains("This plugin does not support"))
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}
} // namespace

int main(int argc, char** argv)
{
    // The help viewer that a test starts runs from the test program.
    if (help::IsViewerRun(argc, argv))
        return help::RunViewer(argc, argv);
    qInstallMessageHandler(quietHandler);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("MIRVO_PACE", "0", 0);
    setenv("MIRVO_SOUND_DEVICE", "null", 0);
    setenv("MIRVO_ADDRESS_ECHO_URL", "", 0); // never the public address page
    QTemporaryDir config, cache;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CACHE_HOME", cache.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // A handler that throws is a fault of the test that is running.
    vb::SetHandlerFailureHook([](const QString& line) { ADD_FAILURE() << line.toStdString(); });
    const int result = RUN_ALL_TESTS();
    // Windows a test closed last are deleted by the event loop, as in the program.
    QCoreApplication::sendPostedEvents();
    return result;
}
