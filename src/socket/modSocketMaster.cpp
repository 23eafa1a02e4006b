#include "socket/modSocketMaster.h"

#include "platform/ansi.h"

#include "socket/CNetSocket.h"

#include <array>
#include <climits>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

SocketError::SocketError(std::int32_t number, const QString& description, const QString& source)
    : std::runtime_error((source + QStringLiteral(": ") + description).toStdString()),
      Number(number),
      Description(description),
      Source(source)
{
}

namespace modSocketMaster {
namespace {

bool blnWinsockStarted = false;
std::int32_t lngSocketObjects = 0;
ws::HWND lngWindowHandle = 0;

// Handles and their owners, counted from slot 1; a free slot holds -1 and no
// owner. The first slot that holds a handle routes it; free slots are reused
// first; the count never falls while the window lives.
struct RoutingTable {
    std::int32_t lngSlots = 0;
    std::vector<std::int32_t> lngHandles{0};
    std::vector<CNetSocket*> lngOwners{nullptr};
};
// The state below is leaked on purpose: an object that still lives when the
// program ends may end after this module's variables would have been destroyed.
RoutingTable& resolutionTable = *new RoutingTable;
RoutingTable& socketTable = *new RoutingTable;

// Sockets that have an owner; exists while it has entries, as the window does.
auto& colSockets = *new std::optional<std::set<ws::SOCKET>>;
// Holders of accepted connections that wait for Accept; they live in here.
auto& colAccepts = *new std::optional<std::map<ws::SOCKET, std::shared_ptr<CNetSocket>>>;

ws::HWND lngSubclassedWindow = 0;
ws::WNDPROC& lngPreviousWndProc = *new ws::WNDPROC;
ws::WNDPROC& lngThunkAddress = *new ws::WNDPROC;

[[noreturn]] void Raise(std::int32_t number, const QString& source)
{
    throw SocketError(number, GetErrorDescription(number), source);
}

void AddToTable(RoutingTable& t, std::int32_t handle, CNetSocket* owner)
{
    for (std::int32_t i = 1; i <= t.lngSlots; ++i) {
        if (t.lngHandles[i] == -1) {
            t.lngHandles[i] = handle;
            t.lngOwners[i] = owner;
            return;
        }
        if (t.lngHandles[i] == handle)
            return;
    }
    ++t.lngSlots;
    if (static_cast<std::size_t>(t.lngSlots) >= t.lngHandles.size()) {
        t.lngHandles.resize(t.lngSlots + 1);
        t.lngOwners.resize(t.lngSlots + 1);
    }
    t.lngHandles[t.lngSlots] = handle;
    t.lngOwners[t.lngSlots] = owner;
}

std::int32_t FindSlot(const RoutingTable& t, std::int32_t handle)
{
    for (std::int32_t i = 1; i <= t.lngSlots; ++i)
        if (t.lngHandles[i] == handle && t.lngOwners[i])
            return i;
    return 0;
}

void RemoveFromTable(RoutingTable& t, std::int32_t handle)
{
    if (const auto i = FindSlot(t, handle)) {
        t.lngHandles[i] = -1;
        t.lngOwners[i] = nullptr;
    }
}

void AddResolutionToTable(ws::HANDLE lngAsyncHandle, CNetSocket* owner)
{
    AddToTable(resolutionTable, lngAsyncHandle, owner);
}

void AddSocketToTable(ws::SOCKET lngSocket, CNetSocket* owner)
{
    AddToTable(socketTable, lngSocket, owner);
}

void RemoveSocketFromTable(ws::SOCKET lngSocket)
{
    RemoveFromTable(socketTable, lngSocket);
}

std::int32_t RoutingWindowProc(ws::HWND hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam)
{
    if (uMsg != RESOLVE_MESSAGE && uMsg != SOCKET_MESSAGE)
        return ws::CallWindowProc(lngPreviousWndProc, hWnd, uMsg, wParam, lParam);
    const RoutingTable& t = uMsg == RESOLVE_MESSAGE ? resolutionTable : socketTable;
    if (const auto i = FindSlot(t, wParam))
        t.lngOwners[i]->WndProc(hWnd, uMsg, wParam, lParam);
    return 0;
}

bool SubclassMessageWindow(ws::HWND hWnd)
{
    if (lngSubclassedWindow != 0)
        return false;
    lngSubclassedWindow = hWnd;
    lngPreviousWndProc = ws::SetWindowProc(hWnd, lngThunkAddress);
    return static_cast<bool>(lngPreviousWndProc);
}

bool UnsubclassMessageWindow()
{
    if (lngSubclassedWindow == 0)
        return false;
    resolutionTable.lngSlots = 0;
    socketTable.lngSlots = 0;
    ws::SetWindowProc(lngSubclassedWindow, lngPreviousWndProc);
    lngSubclassedWindow = 0;
    return true;
}

void BuildMessageThunk()
{
    lngThunkAddress = RoutingWindowProc;
}

void FreeMessageThunk()
{
    UnsubclassMessageWindow();
    lngThunkAddress = nullptr;
    resolutionTable = RoutingTable{};
    socketTable = RoutingTable{};
}

} // namespace

std::int32_t InitiateProcesses()
{
    if (lngSocketObjects == INT32_MAX)
        throw SocketError(6, QStringLiteral("Overflow"), QStringLiteral("modSocketMaster.InitiateProcesses"));
    ++lngSocketObjects;
    if (!blnWinsockStarted) {
        BuildMessageThunk();
        const std::int32_t result = StartWinsockService();
        if (result != 0) {
            // The object is not made, so it is not counted, and the next one tries again.
            FreeMessageThunk();
            --lngSocketObjects;
            Raise(result, QStringLiteral("modSocketMaster.InitiateProcesses"));
        }
        blnWinsockStarted = true;
    }
    return 0;
}

std::int32_t FinalizeProcesses()
{
    const std::int32_t before = lngSocketObjects--;
    if (blnWinsockStarted && before == 1) {
        if (StopWinsockService() == -1)
            Raise(ws::WSAGetLastError(), QStringLiteral("modSocketMaster.FinalizeProcesses"));
        FreeMessageThunk();
        blnWinsockStarted = false;
    }
    return 0;
}

std::int32_t StartWinsockService()
{
    return ws::WSAStartup(0x0101);
}

std::int32_t StopWinsockService()
{
    return ws::WSACleanup();
}

QString GetErrorDescription(std::int32_t lngErrorCode)
{
    static const std::map<std::int32_t, const char*> texts = {
        {10004, "Interrupted function call."},
        {10013, "Permission denied."},
        {10014, "Bad address."},
        {10022, "Invalid argument."},
        {10024, "Too many open files."},
        {10035, "Resource temporarily unavailable."},
        {10036, "Operation now in progress."},
        {10037, "Operation already in progress."},
        {10038, "Socket operation on nonsocket."},
        {10039, "Destination address required."},
        {10040, "Message too long."},
        {10041, "Protocol wrong type for socket."},
        {10042, "Bad protocol option."},
        {10043, "Protocol not supported."},
        {10044, "Socket type not supported."},
        {10045, "Operation not supported."},
        {10046, "Protocol family not supported."},
        {10047, "Address family not supported by protocol family."},
        {10048, "Address already in use."},
        {10049, "Cannot assign requested address."},
        {10050, "Network is down."},
        {10051, "Network is unreachable."},
        {10052, "Network dropped connection on reset."},
        {10053, "Software caused connection abort."},
        {10054, "Connection reset by peer."},
        {10055, "No buffer space available."},
        {10056, "Socket is already connected."},
        {10057, "Socket is not connected."},
        {10058, "Cannot send after socket shutdown."},
        {10060, "Connection timed out."},
        {10061, "Connection refused."},
        {10065, "No route to host."},
        {10067, "Too many processes."},
        {10091, "Network subsystem is unavailable."},
        {10092, "Winsock.dll version out of range."},
        {10093, "Successful WSAStartup not yet performed."},
        {11001, "Host not found."},
        {11002, "Nonauthoritative host not found."},
        {11003, "This is a nonrecoverable error."},
        {11004, "Valid name, no data record of requested type."},
    };
    const auto found = texts.find(lngErrorCode);
    return QString::fromLatin1(found == texts.end() ? "Unknown error." : found->second);
}

std::int32_t CreateWinsockMessageWindow()
{
    lngWindowHandle = ws::CreateMessageWindow();
    return lngWindowHandle != 0 ? 0 : 7;
}

std::int32_t DestroyWinsockMessageWindow()
{
    if (lngWindowHandle == 0)
        return 0;
    if (!ws::DestroyWindow(lngWindowHandle))
        throw SocketError(7, QStringLiteral("Out of memory"),
                          QStringLiteral("modSocketMaster.DestroyWinsockMessageWindow"));
    lngWindowHandle = 0;
    return 0;
}

std::int32_t StartHostResolution(const QString& strHostName, std::shared_ptr<ws::HostEnt> buffer,
                                 CNetSocket* owner)
{
    const ws::HANDLE task =
        ws::WSAAsyncGetHostByName(lngWindowHandle, RESOLVE_MESSAGE, ansi::FromUnicode(strHostName), std::move(buffer));
    if (task != 0)
        AddResolutionToTable(task, owner);
    return task;
}

std::int32_t HiWord(std::int32_t lngValue)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(lngValue) >> 16);
}

std::int32_t LoWord(std::int32_t lngValue)
{
    return lngValue & 0xFFFF;
}

std::int16_t UnsignedToInteger(std::int32_t lngValue)
{
    if (lngValue < 0 || lngValue > 65535)
        throw SocketError(6, QStringLiteral("Overflow"), QStringLiteral("modSocketMaster.UnsignedToInteger"));
    return static_cast<std::int16_t>(lngValue > 32767 ? lngValue - 65536 : lngValue);
}

std::int32_t IntegerToUnsigned(std::int16_t intValue)
{
    return intValue < 0 ? intValue + 65536 : intValue;
}

bool RegisterSocket(ws::SOCKET lngSocket, CNetSocket* owner, bool blnEvents)
{
    if (!colSockets) {
        colSockets.emplace();
        if (CreateWinsockMessageWindow() != 0)
            throw SocketError(7, QStringLiteral("Out of memory"), QStringLiteral("modSocketMaster.RegisterSocket"));
        SubclassMessageWindow(lngWindowHandle);
    }
    AddSocketToTable(lngSocket, owner);
    if (blnEvents && ws::WSAAsyncSelect(lngSocket, lngWindowHandle, SOCKET_MESSAGE, 0x3B) == ws::SOCKET_ERROR) {
        const auto error = ws::WSAGetLastError();
        RemoveSocketFromTable(lngSocket); // no slot without an entry
        Raise(error, QStringLiteral("modSocketMaster.RegisterSocket"));
    }
    colSockets->insert(lngSocket);
    return true;
}

void UnregisterSocket(ws::SOCKET lngSocket)
{
    RemoveSocketFromTable(lngSocket);
    if (!colSockets)
        return;
    colSockets->erase(lngSocket);
    if (!colSockets->empty())
        return;
    colSockets.reset();
    UnsubclassMessageWindow();
    try {
        DestroyWinsockMessageWindow();
    } catch (const SocketError&) {
        // The routing is gone all the same.
    }
}

bool IsSocketRegistered(ws::SOCKET lngSocket)
{
    return colSockets && colSockets->count(lngSocket) == 1;
}

void UnregisterResolution(ws::HANDLE lngAsyncHandle)
{
    RemoveFromTable(resolutionTable, lngAsyncHandle);
}

void SetSocketTableOwner(ws::SOCKET lngSocket, CNetSocket* owner)
{
    if (const auto i = FindSlot(socketTable, lngSocket))
        socketTable.lngOwners[i] = owner;
}

void RemoveOwnerFromTables(const CNetSocket* owner)
{
    for (RoutingTable* t : {&resolutionTable, &socketTable}) {
        for (std::int32_t i = 1; i <= t->lngSlots; ++i) {
            if (t->lngOwners[i] == owner) {
                t->lngHandles[i] = -1;
                t->lngOwners[i] = nullptr;
            }
        }
    }
}

void RegisterAccept(ws::SOCKET lngSocket)
{
    if (!colAccepts)
        colAccepts.emplace();
    auto holder = std::make_shared<CNetSocket>();
    holder->Accept(lngSocket);
    (*colAccepts)[lngSocket] = std::move(holder);
}

bool IsAcceptRegistered(ws::SOCKET lngSocket)
{
    return colAccepts && colAccepts->count(lngSocket) == 1;
}

void UnregisterAccept(ws::SOCKET lngSocket)
{
    if (!colAccepts)
        return;
    // Taken out first: the holder may end here, and its end must find the registry whole.
    const auto holder = std::move((*colAccepts)[lngSocket]);
    colAccepts->erase(lngSocket);
    if (colAccepts->empty())
        colAccepts.reset();
}

std::shared_ptr<CNetSocket> GetAcceptClass(ws::SOCKET lngSocket)
{
    return colAccepts ? colAccepts->at(lngSocket) : nullptr;
}

} // namespace modSocketMaster
