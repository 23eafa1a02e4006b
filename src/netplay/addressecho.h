#pragma once
// The address-echo page: a web page that answers with the caller's public
// address after "Address:" and before the next closing tag.
#include <QString>

// The environment's MIRVO_ADDRESS_ECHO_URL when set (empty: fetch nothing),
// else the public page the program uses.
QString AddressEchoURL();

// The part of text between the first startMark and the first endMark after it,
// both found ignoring case; empty when either is missing.
QString GetTextBetween(const QString& text, const QString& startMark, const QString& endMark);

// The address the page shows, with the spaces round it removed.
QString AddressFromEchoPage(const QString& page);
