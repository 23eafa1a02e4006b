#pragma once
// The game messages exchanged with the remote copy: cutting them out of the
// received text and reading their fields. The wire has no delimiter, so a
// message ends where the next keyword begins; every field is checked here, and
// a message whose fields do not fit reads as Unknown (ignored).
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct GameMessage {
    enum Kind { Unknown, Nome, Dados, Iniciar, Cartas, Jogar, Descarta, Correu, Vorla, ReageVorla, Manda11, Chat, Alerta };
    Kind kind = Unknown;
    QString text;                       // the name (Nome, Dados) or the chat line, cut at its first "#"
    std::uint8_t number = 0;            // hand slot 1 to 3 (Jogar, Descarta) or answer 1 to 3 (ReageVorla)
    std::array<std::uint8_t, 7> cards{}; // Cartas: dealer's three, receiver's three, the turned card; 1 to 40, distinct
    // Dados: DirtyDeck, NewManilha, PlayInDark; a field that is no truth value is left out.
    std::array<std::optional<bool>, 3> options;

    // Chat lines and nudges apply at once; the other messages wait for a running game step.
    bool AppliesAtOnce() const { return kind == Chat || kind == Alerta; }
};

// Takes every whole message from the head of the received text and leaves what
// may still grow into one (a message or keyword split between two reads).
std::vector<QString> TakeMessages(QString& received);

// Reads one message; its keyword is compared exactly.
GameMessage ReadMessage(QString message);

// A truth value as the wire writes it.
QString WireBool(bool value);
