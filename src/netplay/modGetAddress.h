#pragma once
// The machine's own IPv4 addresses, host name look-up, the test whether a text
// is a dotted address, and the test whether a host answers an ICMP echo.
#include <QString>
#include <QStringList>

struct LocalAddressInfo {
    QString LocalIP1;      // the next-to-last address, or the only one
    QString LocalIP2;      // the last address, or "No IP" with a single one
    QString OtherLocalIPs; // every other address followed by CR LF, or "No IP"
};

// Written by GetLocalAddresses; the host's waiting window lists it.
extern LocalAddressInfo LocalAddresses;

// The first IPv4 address of a name as dotted text, "" when it does not resolve.
QString GetIPFromHostName(const QString& name);

// Fills LocalAddresses from the addresses of the machine's interfaces that are
// up, in interface order; loopback counts only when there is nothing else.
bool GetLocalAddresses();

// How a list of addresses, in order, is laid out in LocalAddresses.
LocalAddressInfo LocalAddressesFrom(const QStringList& addresses);

// Exactly four parts of one to three decimal digits, each 0 to 255.
bool IsValidIP(const QString& text);

// A dotted address answers one ICMP echo within 250 ms; a host name resolves.
// When this process can open no ICMP socket, the host counts as reachable and
// the connection attempt itself decides.
bool PingHost(const QString& host);
