#include "socket/CNetSocket.h"

#include "platform/ansi.h"

#include <QtDebug>
#include <algorithm>
#include <arpa/inet.h>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

using namespace modSocketMaster;

namespace {

static_assert(std::endian::native == std::endian::little, "values travel as their in-memory images");

const QString kInvalidState = QStringLiteral("Invalid operation at current state");
const QString kOutOfRange = QStringLiteral(
    "The argument passed to a function was not in the correct format or in the specified range.");
const QString kInvalidArgument = QStringLiteral("Invalid argument");
const QString kUnsupportedType = QStringLiteral("Unsupported variant type.");
const QString kWrongState =
    QStringLiteral("Wrong protocol or connection state for the requested transaction or request");
const QString kOutOfMemory = QStringLiteral("Out of memory");

// Some platforms report a buffer size of 0 (no buffering); a chunk needs bytes.
constexpr std::int32_t kMinimumChunk = 8192;

CNetSocket::ErrorDisplay errorDisplay;

QString Source(const char* procedure)
{
    return QStringLiteral("CNetSocket.") + QLatin1String(procedure);
}

[[noreturn]] void Raise(std::int32_t number, const QString& description, const char* procedure)
{
    throw SocketError(number, description, Source(procedure));
}

[[noreturn]] void RaiseWinsock(std::int32_t number, const char* procedure)
{
    Raise(number, GetErrorDescription(number), procedure);
}

QString Dotted(std::uint32_t address)
{
    return ansi::ToUnicode(ws::inet_ntoa(address));
}

std::int32_t SaneChunk(std::int32_t size)
{
    return size > 0 ? size : kMinimumChunk;
}

template <class T> QByteArray ImageOf(T value)
{
    QByteArray image(sizeof value, Qt::Uninitialized);
    std::memcpy(image.data(), &value, sizeof value);
    return image;
}

template <class T> T FromImage(const QByteArray& image)
{
    T value;
    std::memcpy(&value, image.constData(), sizeof value);
    return value;
}

// The bytes a value travels as; nothing for a type that cannot travel.
std::optional<QByteArray> ByteImage(const vb::Variant& v)
{
    switch (v.VarType()) {
    case vb::vbByte: return ImageOf(v.As<std::uint8_t>());
    case vb::vbInteger: return ImageOf(v.As<std::int16_t>());
    case vb::vbLong: return ImageOf(v.As<std::int32_t>());
    case vb::vbSingle: return ImageOf(v.As<float>());
    case vb::vbDouble: return ImageOf(v.As<double>());
    case vb::vbCurrency: return ImageOf(v.As<vb::Currency>().scaled);
    case vb::vbDate: return ImageOf(v.As<vb::Date>().serial);
    case vb::vbBoolean: return ImageOf<std::int16_t>(v.As<bool>() ? -1 : 0);
    case vb::vbString: return ansi::FromUnicode(v.As<QString>());
    case vb::vbByteArray: return v.As<QByteArray>();
    default: return std::nullopt;
    }
}

// Bytes of a fixed-size type; 0 for the others.
std::int32_t SizeOfType(std::int32_t type)
{
    switch (type) {
    case vb::vbByte: return 1;
    case vb::vbInteger:
    case vb::vbBoolean: return 2;
    case vb::vbLong:
    case vb::vbSingle: return 4;
    case vb::vbDouble:
    case vb::vbCurrency:
    case vb::vbDate: return 8;
    default: return 0;
    }
}

vb::Variant ValueOfImage(std::int32_t type, const QByteArray& image)
{
    switch (type) {
    case vb::vbByte: return FromImage<std::uint8_t>(image);
    case vb::vbInteger: return FromImage<std::int16_t>(image);
    case vb::vbLong: return FromImage<std::int32_t>(image);
    case vb::vbSingle: return FromImage<float>(image);
    case vb::vbDouble: return FromImage<double>(image);
    case vb::vbCurrency: return vb::Currency{FromImage<std::int64_t>(image)};
    case vb::vbDate: return vb::Date{FromImage<double>(image)};
    default: return FromImage<std::int16_t>(image) != 0; // Boolean
    }
}

} // namespace

// ---- creation, end, routing --------------------------------------------------

CNetSocket::CNetSocket()
{
    InitiateProcesses();
}

CNetSocket::~CNetSocket()
{
    // An end raises nothing: a failing close or clean-up is passed over.
    CancelPendingResolutions();
    if (!blnAcceptHolder) {
        try {
            DestroySocket();
        } catch (const SocketError&) {
        }
    }
    RemoveOwnerFromTables(this);
    try {
        FinalizeProcesses();
    } catch (const SocketError&) {
    }
}

void CNetSocket::WndProc(std::int32_t /*hWnd*/, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam)
{
    const auto keep = KeepAlive();
    if (uMsg == RESOLVE_MESSAGE)
        PostResolution(wParam, HiWord(lParam));
    else if (uMsg == SOCKET_MESSAGE)
        PostSocket(LoWord(lParam), HiWord(lParam));
}

// Held by every operation that raises events, so that a handler that releases
// the object does not end it under the running operation.
std::shared_ptr<CNetSocket> CNetSocket::KeepAlive()
{
    return weak_from_this().lock();
}

template <class Handler, class... Args> void CNetSocket::RaiseEvent(const Handler& handler, Args&&... args)
{
    if (!handler)
        return;
    const Handler running = handler; // the handler may replace itself
    running(std::forward<Args>(args)...);
}

void CNetSocket::ReportError(std::int32_t number, const QString& source)
{
    lngState = sckError;
    QString description = GetErrorDescription(number);
    bool cancelDisplay = true;
    RaiseEvent(On.Error, static_cast<std::int16_t>(number), description, 0, source, QString(), 0,
               cancelDisplay);
    if (!cancelDisplay) {
        if (errorDisplay)
            errorDisplay(GetErrorDescription(number), source);
        else
            qWarning("%s: %s", qPrintable(source), qPrintable(GetErrorDescription(number)));
    }
}

void CNetSocket::SetErrorDisplay(ErrorDisplay display)
{
    errorDisplay = std::move(display);
}

bool CNetSocket::IsUdp() const
{
    return lngProtocol != sckTCPProtocol;
}

// ---- properties ----------------------------------------------------------------

std::int32_t CNetSocket::RemotePort() const
{
    return lngRemotePort;
}

void CNetSocket::RemotePort(std::int32_t lngPort)
{
    if (!IsUdp() && lngState != sckClosed)
        Raise(40020, kInvalidState, "RemotePort");
    if (lngPort < 0 || lngPort > 65535)
        Raise(40014, kOutOfRange, "RemotePort");
    lngRemotePort = lngPort;
}

QString CNetSocket::RemoteHost() const
{
    return strRemoteHost;
}

void CNetSocket::RemoteHost(const QString& strHost)
{
    if (!IsUdp() && lngState != sckClosed)
        Raise(40020, kInvalidState, "RemoteHost");
    strRemoteHost = strHost;
}

QString CNetSocket::RemoteHostIP() const
{
    return strRemoteHostIP;
}

std::int32_t CNetSocket::LocalPort() const
{
    return lngBoundPort != 0 ? lngBoundPort : lngLocalPort;
}

void CNetSocket::LocalPort(std::int32_t lngPort)
{
    if (lngState != sckClosed)
        Raise(40020, kInvalidState, "LocalPort");
    if (lngPort < 0 || lngPort > 65535)
        Raise(40014, kOutOfRange, "LocalPort");
    lngLocalPort = lngPort;
}

std::int32_t CNetSocket::State() const
{
    return lngState;
}

QString CNetSocket::LocalHostName() const
{
    return GetLocalHostName();
}

QString CNetSocket::LocalIP() const
{
    return lngState == sckConnected ? strLocalIP : GetLocalIP();
}

std::int32_t CNetSocket::BytesReceived() const
{
    return IsUdp() ? GetBytesPending() : static_cast<std::int32_t>(strRecvBuffer.size());
}

std::int32_t CNetSocket::SocketHandle() const
{
    return lngSocket;
}

QString CNetSocket::Tag() const
{
    return strTag;
}

void CNetSocket::Tag(const QString& strTag_)
{
    strTag = strTag_;
}

std::int32_t CNetSocket::Protocol() const
{
    return lngProtocol;
}

void CNetSocket::Protocol(std::int32_t enmProtocol)
{
    if (lngState != sckClosed)
        Raise(40020, kInvalidState, "Protocol");
    lngProtocol = enmProtocol;
}

// ---- socket, bind, connect -----------------------------------------------------

void CNetSocket::CloseSck()
{
    if (lngSocket == ws::INVALID_SOCKET)
        return;
    lngState = sckClosing;
    CancelPendingResolutions();
    DestroySocket();
    lngBoundPort = 0;
    strRemoteHostIP.clear();
    strRecvBuffer.clear();
    strSendBuffer.clear();
    lngSendChunk = 0;
    lngRecvChunk = 0;
    lngState = sckClosed;
}

void CNetSocket::DestroySocket()
{
    if (lngSocket == ws::INVALID_SOCKET)
        return;
    if (ws::closesocket(lngSocket) != 0) {
        lngState = sckError;
        RaiseWinsock(ws::WSAGetLastError(), "DestroySocket");
    }
    UnregisterSocket(lngSocket);
    lngSocket = ws::INVALID_SOCKET;
}

bool CNetSocket::SocketExists()
{
    if (lngSocket != ws::INVALID_SOCKET)
        return true;
    const ws::SOCKET s = IsUdp() ? ws::socket(ws::AfInet, ws::SockDgram, ws::IpProtoUdp)
                                 : ws::socket(ws::AfInet, ws::SockStream, ws::IpProtoTcp);
    if (s == ws::INVALID_SOCKET) {
        ReportError(ws::WSAGetLastError(), Source("SocketExists"));
        return false;
    }
    lngSocket = s;
    ProcessOptions();
    RegisterSocket(lngSocket, this, true);
    return true;
}

void CNetSocket::Bind(const std::optional<vb::Variant>& LocalPort, const std::optional<vb::Variant>& LocalIP)
{
    const auto keep = KeepAlive();
    if (lngState != sckClosed)
        Raise(40020, kInvalidState, "Bind");
    if (BindInternal(LocalPort, LocalIP))
        lngState = sckOpen;
}

bool CNetSocket::BindInternal(const std::optional<vb::Variant>& varLocalPort,
                              const std::optional<vb::Variant>& varLocalIP)
{
    if (lngState == sckOpen)
        return true;
    std::int32_t port = lngLocalPort;
    if (varLocalPort) {
        if (!varLocalPort->IsNumeric())
            Raise(40018, kUnsupportedType, "BindInternal");
        const double value = varLocalPort->ToNumber();
        if (value < 0 || value > 65535)
            Raise(40014, kOutOfRange, "BindInternal");
        port = static_cast<std::int32_t>(std::nearbyint(value));
    }
    const QString address = varLocalIP ? varLocalIP->ToString() : QString();
    const Resolved local = ResolveIfHostnameSync(address);
    if (local.error != 0)
        Raise(40014, kInvalidArgument, "BindInternal");
    if (!SocketExists())
        return false;
    ws::SockAddrIn name;
    name.sin_port = htons(static_cast<std::uint16_t>(UnsignedToInteger(port)));
    name.sin_addr = local.address;
    if (ws::bind(lngSocket, name) != 0)
        RaiseWinsock(ws::WSAGetLastError(), "BindInternal");
    if (port != 0) {
        lngLocalPort = port;
        return true;
    }
    const std::int32_t chosen = GetBoundLocalPort(lngSocket);
    if (chosen == -1)
        RaiseWinsock(ws::WSAGetLastError(), "BindInternal");
    lngBoundPort = chosen;
    return true;
}

void CNetSocket::Connect(const std::optional<vb::Variant>& RemoteHost,
                         const std::optional<vb::Variant>& RemotePort)
{
    const auto keep = KeepAlive();
    if (lngState != sckClosed)
        Raise(40020, kInvalidState, "Connect");
    if (RemoteHost)
        strRemoteHost = RemoteHost->ToString();
    if (RemotePort) {
        if (!RemotePort->IsNumeric())
            Raise(40018, kUnsupportedType, "Connect");
        const double value = RemotePort->ToNumber();
        if (value < 1 || value > 65535)
            Raise(40014, kOutOfRange, "Connect");
        lngRemotePort = static_cast<std::int32_t>(std::nearbyint(value));
    }
    if (!SocketExists())
        return;
    if (!BindInternal())
        return;
    if (IsUdp()) {
        lngState = sckOpen;
        return;
    }
    std::uint32_t address = 0;
    if (ResolveIfHostname(strRemoteHost, &address))
        ConnectToIP(address, 0);
}

bool CNetSocket::ResolveIfHostname(const QString& strHost, std::uint32_t* address)
{
    const std::uint32_t dotted = ws::inet_addr(ansi::FromUnicode(strHost));
    if (dotted != ws::InaddrNone) {
        *address = dotted;
        return true;
    }
    lngState = sckResolvingHost;
    auto buffer = AllocateHostBuffer();
    if (!buffer) {
        lngState = sckError;
        Raise(7, kOutOfMemory, "ResolveIfHostname");
    }
    const ws::HANDLE task = StartHostResolution(strHost, buffer, this);
    if (task != 0) {
        colResolutions.push_back({task, std::move(buffer)});
        lngCurrentResolution = task;
    } else {
        ReportError(ws::WSAGetLastError(), Source("ResolveIfHostname"));
    }
    return false;
}

CNetSocket::Resolved CNetSocket::ResolveIfHostnameSync(const QString& strHost)
{
    Resolved result;
    const QByteArray host = ansi::FromUnicode(strHost);
    const std::uint32_t dotted = ws::inet_addr(host);
    if (dotted != ws::InaddrNone) {
        result.address = dotted;
        result.dotted = strHost;
        return result;
    }
    const auto entry = ws::gethostbyname(host);
    if (!entry) {
        result.error = ws::WSAGetLastError();
        return result;
    }
    result.address = entry->h_addr_list.front();
    result.dotted = Dotted(result.address);
    return result;
}

void CNetSocket::ConnectToIP(std::uint32_t lngAddress, std::int32_t lngErrorCode)
{
    if (lngErrorCode != 0) {
        ReportError(lngErrorCode, Source("ConnectToIP"));
        return;
    }
    lngState = sckConnecting;
    ws::SockAddrIn name;
    name.sin_port = htons(static_cast<std::uint16_t>(UnsignedToInteger(lngRemotePort)));
    name.sin_addr = lngAddress;
    if (ws::connect(lngSocket, name) == 0)
        return;
    const std::int32_t error = ws::WSAGetLastError();
    if (error == ws::WSAEWOULDBLOCK)
        return; // FD_CONNECT follows
    if (error == ws::WSAEADDRNOTAVAIL)
        RaiseWinsock(error, "ConnectToIP");
    ReportError(error, Source("ConnectToIP"));
}

// ---- notifications ---------------------------------------------------------------

void CNetSocket::PostResolution(ws::HANDLE lngAsyncHandle, std::int32_t lngErrorCode)
{
    std::shared_ptr<ws::HostEnt> buffer;
    const auto found = std::find_if(colResolutions.begin(), colResolutions.end(),
                                    [&](const Resolution& r) { return r.task == lngAsyncHandle; });
    if (found != colResolutions.end()) {
        buffer = found->buffer;
        colResolutions.erase(found);
    }
    UnregisterResolution(lngAsyncHandle);
    // Only the look-up that Connect waits for goes on; a stale one is dropped with its buffer.
    if (lngState != sckResolvingHost || lngAsyncHandle != lngCurrentResolution)
        return;
    lngCurrentResolution = 0;
    if (lngErrorCode == 0 && buffer->h_addr_list.empty())
        lngErrorCode = ws::WSANO_DATA;
    if (lngErrorCode != 0) {
        ConnectToIP(0, lngErrorCode);
        return;
    }
    lngState = sckHostResolved;
    const std::uint32_t address = buffer->h_addr_list.front();
    buffer.reset();
    try {
        ConnectToIP(address, 0);
    } catch (const SocketError& e) {
        // No caller waits here: the failure goes to the Error event.
        ReportError(e.Number, e.Source);
    }
}

void CNetSocket::PostSocket(std::int32_t lngEventID, std::int32_t lngErrorCode)
{
    if (lngErrorCode != 0) {
        ReportError(lngErrorCode, Source("PostSocket"));
        return;
    }
    switch (lngEventID) {
    case ws::FdRead:
        if (IsUdp() && lngState == sckOpen) {
            const auto taken = lngDatagramsTaken;
            const std::int32_t pending = GetBytesPending();
            if (pending > 0)
                RaiseEvent(On.DataArrival, pending);
            if (lngDatagramsTaken == taken) // the handler left it: drop it
                DiscardDatagram();
        } else if (!IsUdp() && lngState == sckConnected) {
            std::int32_t received = 0;
            try {
                received = RecvDataToBuffer();
            } catch (const SocketError& e) {
                ReportError(e.Number, e.Source);
                return;
            }
            if (received >= 1)
                RaiseEvent(On.DataArrival, static_cast<std::int32_t>(strRecvBuffer.size()));
        }
        break;
    case ws::FdWrite:
        if (lngState == sckConnected && !strSendBuffer.isEmpty())
            SendBufferedDataAny();
        break;
    case ws::FdAccept:
        if (lngState == sckListening)
            AcceptIncoming();
        break;
    case ws::FdConnect:
        if (lngState == sckConnecting) {
            GetLocalAddressOfSocket(lngSocket, lngBoundPort, strLocalIP);
            QString host; // the name that was given stays
            GetRemoteAddressOfSocket(lngSocket, lngRemotePort, strRemoteHostIP, host);
            lngState = sckConnected;
            RaiseEvent(On.Connect);
        }
        break;
    case ws::FdClose:
        if (lngState == sckConnected)
            PeerClosed();
        break;
    default: break;
    }
}

// The peer's close; what it sent before is read and delivered first.
void CNetSocket::PeerClosed()
{
    bool received = false;
    try {
        while (RecvDataToBuffer() > 0)
            received = true;
    } catch (const SocketError& e) {
        ReportError(e.Number, e.Source);
        return;
    }
    if (received) {
        RaiseEvent(On.DataArrival, static_cast<std::int32_t>(strRecvBuffer.size()));
        if (lngState != sckConnected)
            return; // the handler closed or replaced the connection
    }
    lngState = sckClosing;
    RaiseEvent(On.CloseSck);
}

void CNetSocket::CancelPendingResolutions()
{
    const auto pending = colResolutions;
    for (const Resolution& r : pending) {
        // A look-up that has already ended keeps its entry: its message is on its way.
        if (ws::WSACancelAsyncRequest(r.task) != 0)
            continue;
        UnregisterResolution(r.task);
        std::erase_if(colResolutions, [&](const Resolution& e) { return e.task == r.task; });
    }
    lngCurrentResolution = 0;
}

std::shared_ptr<ws::HostEnt> CNetSocket::AllocateHostBuffer()
{
    try {
        return std::make_shared<ws::HostEnt>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

QString CNetSocket::GetLocalHostName() const
{
    QByteArray name;
    if (ws::gethostname(&name) != 0)
        RaiseWinsock(ws::WSAGetLastError(), "GetLocalHostName");
    return ansi::ToUnicode(name);
}

QString CNetSocket::GetLocalIP() const
{
    const auto entry = ws::gethostbyname(ansi::FromUnicode(GetLocalHostName()));
    if (!entry)
        RaiseWinsock(ws::WSAGetLastError(), "GetLocalIP");
    return Dotted(entry->h_addr_list.front());
}

std::int32_t CNetSocket::GetBoundLocalPort(ws::SOCKET s)
{
    ws::SockAddrIn name;
    if (ws::getsockname(s, &name) != 0)
        return -1;
    return ntohs(name.sin_port);
}

bool CNetSocket::GetLocalAddressOfSocket(ws::SOCKET s, std::int32_t& lngPort, QString& strIP)
{
    ws::SockAddrIn name;
    if (ws::getsockname(s, &name) != 0) {
        lngPort = 0;
        strIP.clear();
        return false;
    }
    lngPort = ntohs(name.sin_port);
    strIP = Dotted(name.sin_addr);
    return true;
}

bool CNetSocket::GetRemoteAddressOfSocket(ws::SOCKET s, std::int32_t& lngPort, QString& strIP,
                                          QString& strHost)
{
    ws::SockAddrIn name;
    if (ws::getpeername(s, &name) != 0) {
        lngPort = 0;
        strIP.clear();
        strHost.clear();
        return false;
    }
    lngPort = ntohs(name.sin_port);
    strIP = Dotted(name.sin_addr);
    return true;
}

// ---- listening and accepting -------------------------------------------------------

void CNetSocket::Listen()
{
    const auto keep = KeepAlive();
    if (lngState != sckClosed && lngState != sckOpen)
        Raise(40020, kInvalidState, "Listen");
    if (!SocketExists())
        return;
    if (!BindInternal())
        return;
    if (ws::listen(lngSocket, 5) != 0)
        RaiseWinsock(ws::WSAGetLastError(), "Listen");
    lngState = sckListening;
}

void CNetSocket::AcceptIncoming()
{
    const ws::SOCKET requestID = ws::accept(lngSocket, nullptr);
    if (requestID == ws::INVALID_SOCKET) {
        ReportError(ws::WSAGetLastError(), Source("PostSocket"));
        return;
    }
    RegisterAccept(requestID);
    const std::int32_t savedPort = lngRemotePort;
    const QString savedIP = strRemoteHostIP;
    const QString savedHost = strRemoteHost;
    strRemoteHost.clear();
    GetRemoteAddressOfSocket(requestID, lngRemotePort, strRemoteHostIP, strRemoteHost);
    RaiseEvent(On.ConnectionRequest, requestID);
    if (lngState == sckListening) {
        lngRemotePort = savedPort;
        strRemoteHostIP = savedIP;
        strRemoteHost = savedHost;
    }
    if (IsAcceptRegistered(requestID)) { // nobody took it
        ws::closesocket(requestID);
        UnregisterSocket(requestID);
        UnregisterAccept(requestID);
    }
}

void CNetSocket::Accept(std::int32_t requestID)
{
    const auto keep = KeepAlive();
    if (lngState != sckClosed)
        Raise(40020, kInvalidState, "Accept");
    lngProtocol = sckTCPProtocol;
    lngSocket = requestID;
    try {
        ProcessOptions();
    } catch (const SocketError&) {
        // A dead handle is not kept: a later close could hit another socket.
        lngSocket = ws::INVALID_SOCKET;
        lngSendChunk = 0;
        lngRecvChunk = 0;
        throw;
    }
    if (IsAcceptRegistered(requestID)) {
        TakeOver(requestID);
    } else if (IsSocketRegistered(requestID)) {
        lngSocket = ws::INVALID_SOCKET;
        lngSendChunk = 0;
        lngRecvChunk = 0;
        Raise(40006, kWrongState, "Accept");
    } else { // the holder of a connection just accepted
        blnAcceptHolder = true;
        lngState = sckConnected;
        GetLocalAddressOfSocket(lngSocket, lngBoundPort, strLocalIP);
        RegisterSocket(lngSocket, this, false);
    }
}

// Takes the connection over from its holder, with what the holder has received
// and whether it saw the peer close.
void CNetSocket::TakeOver(ws::SOCKET requestID)
{
    const auto holder = GetAcceptClass(requestID);
    UnregisterAccept(requestID);
    GetLocalAddressOfSocket(lngSocket, lngBoundPort, strLocalIP);
    GetRemoteAddressOfSocket(lngSocket, lngRemotePort, strRemoteHostIP, strRemoteHost);
    lngState = sckConnected;
    if (holder->BytesReceived() > 0) {
        vb::Variant bytes;
        holder->GetData(bytes);
        strRecvBuffer.append(bytes.As<QByteArray>());
    }
    SetSocketTableOwner(lngSocket, this);
    if (!strRecvBuffer.isEmpty())
        RaiseEvent(On.DataArrival, static_cast<std::int32_t>(strRecvBuffer.size()));
    if (holder->State() == sckClosing && lngState == sckConnected) {
        lngState = sckClosing;
        RaiseEvent(On.CloseSck);
    }
}

// ---- sending and receiving ------------------------------------------------------------

void CNetSocket::ProcessOptions()
{
    std::int32_t size = 0;
    if (IsUdp()) {
        ws::setsockopt(lngSocket, ws::SolSocket, ws::SoBroadcast, 1);
        if (ws::getsockopt(lngSocket, ws::SolSocket, ws::SoMaxMsgSize, &size) != 0)
            RaiseWinsock(ws::WSAGetLastError(), "ProcessOptions");
        lngRecvChunk = SaneChunk(size);
        lngSendChunk = lngRecvChunk;
        return;
    }
    if (ws::getsockopt(lngSocket, ws::SolSocket, ws::SoRcvBuf, &size) != 0)
        RaiseWinsock(ws::WSAGetLastError(), "ProcessOptions");
    lngRecvChunk = SaneChunk(size);
    if (ws::getsockopt(lngSocket, ws::SolSocket, ws::SoSndBuf, &size) != 0)
        RaiseWinsock(ws::WSAGetLastError(), "ProcessOptions");
    lngSendChunk = SaneChunk(size);
}

void CNetSocket::SendData(const vb::Variant& Data)
{
    const auto keep = KeepAlive();
    if (IsUdp()) {
        if (!SocketExists())
            return;
        if (!BindInternal())
            return;
        lngState = sckOpen;
    } else if (lngState != sckConnected) {
        Raise(40006, kWrongState, "SendData");
    }
    const auto bytes = ByteImage(Data);
    if (!bytes)
        Raise(40018, kUnsupportedType, "SendData");
    if (bytes->isEmpty())
        return;
    const bool wasEmpty = strSendBuffer.isEmpty();
    strSendBuffer.append(*bytes);
    if (wasEmpty) // otherwise a send waits for FD_WRITE and these bytes follow it
        SendBufferedDataAny();
}

void CNetSocket::SendBufferedDataAny()
{
    if (IsUdp())
        SendBufferedDataUDP();
    else
        SendBufferedData();
}

void CNetSocket::SendBufferedData()
{
    std::int32_t sent = 0;
    while (!strSendBuffer.isEmpty()) {
        const qsizetype waiting = strSendBuffer.size();
        const int chunk = static_cast<int>(std::min<qsizetype>(lngSendChunk, waiting));
        const int n = ws::send(lngSocket, strSendBuffer.data(), chunk, 0);
        if (n > 0) {
            sent += n;
            if (n == waiting) {
                strSendBuffer.clear();
                RaiseEvent(On.SendProgress, sent, 0);
                sent = 0;
                RaiseEvent(On.SendComplete);
            } else {
                strSendBuffer.pop(n);
            }
            continue;
        }
        if (n == 0)
            break; // nothing moves: no event would ever resume a loop
        const std::int32_t error = ws::WSAGetLastError();
        if (error != ws::WSAEWOULDBLOCK)
            ReportError(error, Source("SendBufferedData"));
        else if (sent >= 1)
            RaiseEvent(On.SendProgress, sent, static_cast<std::int32_t>(strSendBuffer.size()));
        break;
    }
}

void CNetSocket::SendBufferedDataUDP()
{
    const Resolved target = ResolveIfHostnameSync(strRemoteHost);
    if (target.error != 0) {
        strSendBuffer.clear();
        if (target.error == ws::WSAEAFNOSUPPORT)
            RaiseWinsock(target.error, "SendBufferedDataUDP");
        Raise(40014, kInvalidArgument, "SendBufferedDataUDP");
    }
    ws::SockAddrIn to;
    to.sin_port = htons(static_cast<std::uint16_t>(UnsignedToInteger(lngRemotePort)));
    to.sin_addr = target.address;
    const QByteArray datagram = strSendBuffer.front(strSendBuffer.size());
    strSendBuffer.clear();
    if (ws::sendto(lngSocket, datagram.constData(), static_cast<int>(datagram.size()), 0, to) != ws::SOCKET_ERROR)
        return;
    const std::int32_t error = ws::WSAGetLastError();
    if (error == ws::WSAEWOULDBLOCK)
        RaiseWinsock(error, "SendBufferedDataUDP");
    ReportError(error, Source("SendBufferedDataUDP"));
}

std::int32_t CNetSocket::RecvDataToBuffer()
{
    char* area = strRecvBuffer.reserve(lngRecvChunk);
    const int n = ws::recv(lngSocket, area, lngRecvChunk, 0);
    strRecvBuffer.commit(n);
    if (n != ws::SOCKET_ERROR)
        return n;
    const std::int32_t error = ws::WSAGetLastError();
    if (error == ws::WSAEWOULDBLOCK)
        return 0; // no data after all
    lngState = sckError;
    RaiseWinsock(error, "RecvDataToBuffer");
}

void CNetSocket::GetData(vb::Variant& Data, std::optional<std::int32_t> varType, std::optional<vb::Variant> maxLen)
{
    TakeData(Data, false, varType, std::move(maxLen), "GetData");
}

void CNetSocket::PeekData(vb::Variant& Data, std::optional<std::int32_t> varType, std::optional<vb::Variant> maxLen)
{
    TakeData(Data, true, varType, std::move(maxLen), "PeekData");
}

void CNetSocket::TakeData(vb::Variant& Data, bool blnPeek, std::optional<std::int32_t> varType,
                          std::optional<vb::Variant> maxLen, const char* procedure)
{
    if (IsUdp()) {
        if (lngState != sckOpen)
            Raise(40006, kWrongState, procedure);
        if (GetBytesPending() == 0)
            return;
    } else if (lngState != sckConnected && (blnPeek || !blnAcceptHolder)) {
        Raise(40006, kWrongState, procedure);
    }
    std::optional<std::int32_t> length;
    if (maxLen) {
        if (!maxLen->IsNumeric())
            length = BytesReceived();
        else if (maxLen->ToNumber() < 0)
            Raise(40014, kOutOfRange, procedure);
        else
            length = static_cast<std::int32_t>(maxLen->ToNumber());
    }
    RecvData(Data, blnPeek, varType, length);
}

void CNetSocket::RecvData(vb::Variant& Data, bool blnPeek, std::optional<std::int32_t> varType,
                          std::optional<std::int32_t> maxLen)
{
    const std::int32_t available = BytesReceived();
    const std::int32_t type = !Data.IsEmpty() ? Data.VarType() : varType.value_or(vb::vbByteArray);
    std::int32_t error = 0;
    if (type == vb::vbString || type == vb::vbByteArray) {
        std::int32_t count = available;
        if (maxLen) {
            if (available == 0 || *maxLen == 0) {
                Data = type == vb::vbString ? vb::Variant(QString()) : vb::Variant(QByteArray());
                if (IsUdp()) {
                    DiscardDatagram();
                    RaiseWinsock(ws::WSAEMSGSIZE, "RecvData");
                }
                return;
            }
            count = std::min(*maxLen, available);
        }
        const QByteArray bytes = TakeReceivedBytes(count, blnPeek, error);
        Data = type == vb::vbString ? vb::Variant(ansi::ToUnicode(bytes)) : vb::Variant(bytes);
    } else if (const std::int32_t size = SizeOfType(type)) {
        if (available < size)
            return;
        const QByteArray image = TakeReceivedBytes(size, blnPeek, error);
        if (image.size() == size)
            Data = ValueOfImage(type, image);
    } else {
        Raise(40018, kUnsupportedType, "RecvData");
    }
    if (error != 0)
        RaiseWinsock(error, "RecvData");
}

QByteArray CNetSocket::TakeReceivedBytes(std::int32_t lngCount, bool blnPeek, std::int32_t& lngError)
{
    if (!IsUdp()) {
        QByteArray bytes = strRecvBuffer.front(lngCount);
        if (!blnPeek)
            strRecvBuffer.pop(lngCount);
        return bytes;
    }
    QByteArray area(lngCount, '\0');
    ws::SockAddrIn from;
    const int n = ws::recvfrom(lngSocket, area.data(), lngCount, blnPeek ? ws::MsgPeek : 0, &from);
    if (n == ws::SOCKET_ERROR) {
        lngError = ws::WSAGetLastError();
        if (lngError != ws::WSAEMSGSIZE) // a long datagram fills the area; any other failure gives nothing
            area.clear();
    } else {
        area.truncate(n); // only the bytes received
    }
    if (!blnPeek && (n != ws::SOCKET_ERROR || lngError == ws::WSAEMSGSIZE))
        ++lngDatagramsTaken;
    lngRemotePort = ntohs(from.sin_port);
    strRemoteHostIP = Dotted(from.sin_addr);
    return area;
}

std::int32_t CNetSocket::GetBytesPending() const
{
    std::uint32_t pending = 0;
    if (ws::ioctlsocket(lngSocket, ws::Fionread, &pending) != 0)
        return 0;
    return static_cast<std::int32_t>(pending);
}

void CNetSocket::DiscardDatagram()
{
    char scratch;
    ws::recv(lngSocket, &scratch, 1, 0);
}
