#pragma once
// What all socket objects share: the counted start and stop of the sockets
// service, the hidden message window on which every socket notification and
// host look-up arrives, the routing of those messages to the objects they
// belong to, the registries of owned sockets and of accepted connections that
// wait for Accept, and the English texts of the error numbers.
#include "platform/winsock/resolver.h"
#include "platform/winsock/winsock.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <stdexcept>

class CNetSocket;

// The one way the component reports a failed call: number, description and the
// source that names the class or module and the procedure.
class SocketError : public std::runtime_error {
public:
    SocketError(std::int32_t number, const QString& description, const QString& source);
    std::int32_t Number;
    QString Description;
    QString Source;
};

namespace modSocketMaster {

constexpr std::uint32_t RESOLVE_MESSAGE = 0x8000;
constexpr std::uint32_t SOCKET_MESSAGE = 0x8001;

// Every object calls the first when it is created and the second when it ends:
// the service runs from the first object of a run to the end of the last.
std::int32_t InitiateProcesses();
std::int32_t FinalizeProcesses();
std::int32_t StartWinsockService();
std::int32_t StopWinsockService();

QString GetErrorDescription(std::int32_t lngErrorCode);

std::int32_t CreateWinsockMessageWindow();
std::int32_t DestroyWinsockMessageWindow();
// Starts a look-up whose message will reach the owner; 0 when none was started.
std::int32_t StartHostResolution(const QString& strHostName, std::shared_ptr<ws::HostEnt> buffer,
                                 CNetSocket* owner);

std::int32_t HiWord(std::int32_t lngValue);
std::int32_t LoWord(std::int32_t lngValue);
// A port 0 to 65535 as the signed 16-bit value the byte-order calls take, and back.
std::int16_t UnsignedToInteger(std::int32_t lngValue);
std::int32_t IntegerToUnsigned(std::int16_t intValue);

bool RegisterSocket(ws::SOCKET lngSocket, CNetSocket* owner, bool blnEvents);
void UnregisterSocket(ws::SOCKET lngSocket);
bool IsSocketRegistered(ws::SOCKET lngSocket);
void UnregisterResolution(ws::HANDLE lngAsyncHandle);
void SetSocketTableOwner(ws::SOCKET lngSocket, CNetSocket* owner);
// An object that ends takes every routing slot that names it along.
void RemoveOwnerFromTables(const CNetSocket* owner);

void RegisterAccept(ws::SOCKET lngSocket);
bool IsAcceptRegistered(ws::SOCKET lngSocket);
void UnregisterAccept(ws::SOCKET lngSocket);
std::shared_ptr<CNetSocket> GetAcceptClass(ws::SOCKET lngSocket);

} // namespace modSocketMaster
