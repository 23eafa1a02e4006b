#include "platform/forms/pace.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace vb {
namespace {

double readPaceFromEnvironment()
{
    const char* text = std::getenv("MIRVO_PACE");
    if (!text || !*text)
        return 1.0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    return (end != text && value >= 0.0 && std::isfinite(value)) ? value : 1.0;
}

double& pace()
{
    static double factor = readPaceFromEnvironment();
    return factor;
}

} // namespace

double PaceFactor()
{
    return pace();
}

void SetPaceFactor(double factor)
{
    pace() = factor < 0 ? 0 : factor;
}

int Paced(int milliseconds)
{
    return milliseconds <= 0 ? 0 : static_cast<int>(std::lround(milliseconds * pace()));
}

void DoEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void Sleep(int milliseconds)
{
    const int scaled = Paced(milliseconds);
    if (scaled > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(scaled));
}

void Pause(int milliseconds)
{
    DoEvents();
    Sleep(milliseconds);
}

void WaitUntil(const std::function<bool()>& done)
{
    DoEvents();
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace vb
