// The work of a flood from the peer, from the received text through the reader
// to the chat window: one line without end, many short lines, many lines that
// hold the name and rules keywords as typed text, many messages that read as
// nothing, many nudges. Run by bench/message_flood.sh under callgrind, which
// counts the instructions of feedFlood alone; the count per byte stays the same
// as the flood grows.
//   build/bench/bench_message_flood line|lines|keywords|unread|nudges BYTES
#include "game/frmVorla.h"
#include "game/modGame.h"
#include "game/netmessage.h"
#include "netplay/frmBatePapo.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// What the socket hands the reader, read after read.
constexpr qsizetype kRead = 65536;

QString flood(const char* kind, qsizetype bytes)
{
    if (std::strcmp(kind, "line") == 0)
        return "Chat:#" + QString(bytes, 'x');
    const QString one = std::strcmp(kind, "lines") == 0      ? QStringLiteral("Chat:#uma linha curta")
                        : std::strcmp(kind, "keywords") == 0 ? QStringLiteral("Chat:#meu Nome: Ana, os Dados: já")
                        : std::strcmp(kind, "unread") == 0   ? QStringLiteral("Jogar:#9")
                                                             : QStringLiteral("Alerta:");
    return one.repeated(bytes / one.size());
}

} // namespace

// Kept out of line, so that callgrind can count it alone.
extern "C" __attribute__((noinline)) void feedFlood(frmVorla& table, const QStringList& reads)
{
    MessageReader reader;
    for (const QString& read : reads)
        for (const GameMessage& m : reader.Take(read))
            table.ApplyMessage(m);
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s line|lines|keywords|unread|nudges BYTES\n", argv[0]);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ResetMatch();
    Players(2).Name = "Rui";
    frmVorla& table = frmVorla::Get();
    frmBatePapo::Get().Show();
    const QString text = flood(argv[1], std::atoll(argv[2]));
    QStringList reads;
    for (qsizetype at = 0; at < text.size(); at += kRead)
        reads << text.mid(at, kRead);
    feedFlood(table, reads);
    std::printf("%s: %lld bytes, history %lld characters\n", argv[1], static_cast<long long>(text.size()),
                static_cast<long long>(frmBatePapo::Get().Chat.Text().size()));
    return 0;
}
