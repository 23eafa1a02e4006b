#pragma once
// The program's socket: one object stands for one TCP or UDP socket, opened,
// bound, connected, listening or accepting, and reports everything that happens
// to it through its events. Sockets are non-blocking; their notifications reach
// the object through the hidden message window on the user-interface thread.
//
// Failed calls throw SocketError. Events are delivered synchronously: the
// handler runs before the raising operation goes on, and an event without a
// handler does nothing. An error that a handler lets out of an event raised by a
// notification cannot reach any caller; the message loop drops it with a
// warning. Hold objects in a std::shared_ptr: an object released from inside one
// of its own handlers then ends only after the event returns.
#include "socket/bytequeue.h"
#include "socket/modSocketMaster.h"
#include "socket/variant.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

enum StateConstants : std::int32_t {
    sckClosed = 0,
    sckOpen = 1,
    sckListening = 2,
    sckResolvingHost = 4,
    sckHostResolved = 5,
    sckConnecting = 6,
    sckConnected = 7,
    sckClosing = 8,
    sckError = 9,
};

enum ProtocolConstants : std::int32_t {
    sckTCPProtocol = 0,
    sckUDPProtocol = 1,
};

class CNetSocket : public std::enable_shared_from_this<CNetSocket> {
public:
    // The events, in the class's order.
    struct Events {
        std::function<void()> CloseSck;
        std::function<void()> Connect;
        std::function<void(std::int32_t requestID)> ConnectionRequest;
        std::function<void(std::int32_t bytesTotal)> DataArrival;
        std::function<void(std::int16_t Number, QString& Description, std::int32_t sCode,
                           const QString& Source, const QString& HelpFile, std::int32_t HelpContext,
                           bool& CancelDisplay)>
            Error;
        std::function<void()> SendComplete;
        std::function<void(std::int32_t bytesSent, std::int32_t bytesRemaining)> SendProgress;
    };
    Events On;

    CNetSocket();
    ~CNetSocket();
    CNetSocket(const CNetSocket&) = delete;
    CNetSocket& operator=(const CNetSocket&) = delete;

    // Shows an error whose Error handler cleared CancelDisplay. The socket knows
    // no windows: start-up installs the program's message box here; without a
    // display the error goes to the log.
    using ErrorDisplay = std::function<void(const QString& Description, const QString& Source)>;
    static void SetErrorDisplay(ErrorDisplay display);

    // Entered from the message routing only.
    void WndProc(std::int32_t hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam);

    std::int32_t RemotePort() const;
    void RemotePort(std::int32_t lngPort);
    QString RemoteHost() const;
    void RemoteHost(const QString& strHost);
    QString RemoteHostIP() const;
    std::int32_t LocalPort() const;
    void LocalPort(std::int32_t lngPort);
    std::int32_t State() const;
    QString LocalHostName() const;
    QString LocalIP() const;
    std::int32_t BytesReceived() const;
    std::int32_t SocketHandle() const;
    QString Tag() const;
    void Tag(const QString& strTag_);
    std::int32_t Protocol() const;
    void Protocol(std::int32_t enmProtocol);

    void CloseSck();
    void Connect(const std::optional<vb::Variant>& RemoteHost = std::nullopt,
                 const std::optional<vb::Variant>& RemotePort = std::nullopt);
    void Bind(const std::optional<vb::Variant>& LocalPort = std::nullopt,
              const std::optional<vb::Variant>& LocalIP = std::nullopt);
    void SendData(const vb::Variant& Data);
    // Data keeps its own type when it holds a value; an Empty one takes varType,
    // or becomes a byte array.
    void GetData(vb::Variant& Data, std::optional<std::int32_t> varType = std::nullopt,
                 std::optional<vb::Variant> maxLen = std::nullopt);
    void PeekData(vb::Variant& Data, std::optional<std::int32_t> varType = std::nullopt,
                  std::optional<vb::Variant> maxLen = std::nullopt);
    void Listen();
    void Accept(std::int32_t requestID);

private:
    // A running host look-up and the buffer it fills.
    struct Resolution {
        ws::HANDLE task;
        std::shared_ptr<ws::HostEnt> buffer;
    };
    struct Resolved {
        std::uint32_t address = 0;
        QString dotted;
        std::int32_t error = 0;
    };

    std::shared_ptr<CNetSocket> KeepAlive();
    void ReportError(std::int32_t number, const QString& source);
    template <class Handler, class... Args> void RaiseEvent(const Handler& handler, Args&&... args);
    bool IsUdp() const;

    void DestroySocket();
    bool SocketExists();
    bool BindInternal(const std::optional<vb::Variant>& varLocalPort = std::nullopt,
                      const std::optional<vb::Variant>& varLocalIP = std::nullopt);
    bool ResolveIfHostname(const QString& strHost, std::uint32_t* address);
    Resolved ResolveIfHostnameSync(const QString& strHost);
    void ConnectToIP(std::uint32_t lngAddress, std::int32_t lngErrorCode);
    void PostResolution(ws::HANDLE lngAsyncHandle, std::int32_t lngErrorCode);
    void PostSocket(std::int32_t lngEventID, std::int32_t lngErrorCode);
    void AcceptIncoming();
    void TakeOver(ws::SOCKET requestID);
    void PeerClosed();
    void CancelPendingResolutions();
    static std::shared_ptr<ws::HostEnt> AllocateHostBuffer();
    QString GetLocalHostName() const;
    QString GetLocalIP() const;
    static std::int32_t GetBoundLocalPort(ws::SOCKET lngSocket);
    static bool GetLocalAddressOfSocket(ws::SOCKET lngSocket, std::int32_t& lngPort, QString& strIP);
    static bool GetRemoteAddressOfSocket(ws::SOCKET lngSocket, std::int32_t& lngPort, QString& strIP,
                                         QString& strHost);

    void ProcessOptions();
    void SendBufferedDataAny();
    void SendBufferedData();
    void SendBufferedDataUDP();
    std::int32_t RecvDataToBuffer();
    void TakeData(vb::Variant& Data, bool blnPeek, std::optional<std::int32_t> varType,
                  std::optional<vb::Variant> maxLen, const char* procedure);
    void RecvData(vb::Variant& Data, bool blnPeek, std::optional<std::int32_t> varType,
                  std::optional<std::int32_t> maxLen);
    QByteArray TakeReceivedBytes(std::int32_t lngCount, bool blnPeek, std::int32_t& lngError);
    std::int32_t GetBytesPending() const;
    void DiscardDatagram();

    ws::SOCKET lngSocket = ws::INVALID_SOCKET;
    std::int32_t lngState = sckClosed;
    QString strTag;
    QString strRemoteHost;
    std::int32_t lngRemotePort = 0;
    QString strRemoteHostIP;
    std::int32_t lngLocalPort = 0;
    std::int32_t lngBoundPort = 0;
    QString strLocalIP;
    std::int32_t lngProtocol = sckTCPProtocol;
    std::int32_t lngSendChunk = 0;
    std::int32_t lngRecvChunk = 0;
    ByteQueue strSendBuffer;
    ByteQueue strRecvBuffer;
    bool blnAcceptHolder = false;
    // Every look-up not yet answered, each with its own buffer; only the one
    // that Connect is waiting for may go on to connect.
    std::vector<Resolution> colResolutions;
    ws::HANDLE lngCurrentResolution = 0;
    // Datagrams taken by GetData, so that a handler's own read is not followed
    // by the drop of a datagram it has not seen.
    std::int64_t lngDatagramsTaken = 0;
};
