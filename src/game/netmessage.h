#pragma once
// The game messages exchanged with the remote copy: cutting them out of the
// received stream and reading their fields. The wire has no delimiter, so a
// message ends where the next one begins; every field is checked here, and a
// message whose fields do not fit reads as Unknown (ignored).
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct GameMessage {
    enum Kind { Unknown, Nome, Dados, Iniciar, Cartas, Jogar, Descarta, Correu, Vorla, ReageVorla, Manda11, Chat, Alerta };
    Kind kind = Unknown;
    // The name (Nome, Dados) or the chat line, up to MessageReader::kMaxText
    // characters; a line or the guest's name is cut at its first "#", the
    // host's name runs to the three options after it.
    QString text;
    // The rest of a chat line or name taken before, that went on in a later read.
    bool continued = false;
    std::uint8_t number = 0;            // hand slot 1 to 3 (Jogar, Descarta) or answer 1 to 3 (ReageVorla)
    std::array<std::uint8_t, 7> cards{}; // Cartas: dealer's three, receiver's three, the turned card; 1 to 40, distinct
    // Dados: DirtyDeck, NewManilha, PlayInDark; a field that is no truth value is left out.
    std::array<std::optional<bool>, 3> options;
    // Set by the table as the message arrives: how many game messages it had sent by then.
    std::uint64_t sentBefore = 0;

    // Chat lines and nudges apply at once; the other messages wait for a running game step.
    bool AppliesAtOnce() const { return kind == Chat || kind == Alerta; }
};

// Reads the peer's stream read by read. Typed text stays text: inside a chat
// line or a name a keyword begins a new message only where the text before it
// is whole and everything from it to the end of what was received reads as
// exactly-formed messages (the last may still be arriving); otherwise the text
// runs on, also into the next read unless that read begins with such messages.
// A name or the host's rules are taken only where this copy waits for them;
// anywhere else they end at the next keyword, as a message of fixed form does,
// and change nothing. A line, a name or the rules come after a "#" right behind
// their keyword; without it the keyword is typed text. The work per received
// character is bounded.
class MessageReader {
public:
    // The most of one chat line or name that is shown; the rest is read and dropped.
    static constexpr qsizetype kMaxText = 4000;

    // Adds one read; returns every message it completes, in order.
    std::vector<GameMessage> Take(const QString& read);
    // Forgets everything received so far, and waits for no name or rules.
    void Clear();
    // The next "Nome:" or "Dados:" (the kind given) is taken as the peer's name
    // or rules, once.
    void Expect(GameMessage::Kind kind) { expected_ = kind; }
    // The received text still waiting to become a message.
    const QString& Held() const { return held_; }

private:
    void openText(const GameMessage& m, const QString& text);
    GameMessage continuation(QStringView text);

    QString held_;
    GameMessage::Kind expected_ = GameMessage::Unknown; // the name or rules this copy waits for
    GameMessage::Kind open_ = GameMessage::Unknown;     // the free text the next read may continue
    bool openShown_ = false;                            // that text is still shown: not cut at a "#" nor at its bound
    qsizetype openLength_ = 0;                          // how much of it was shown
};

// Reads one whole message; its keyword is compared exactly.
GameMessage ReadMessage(QString message);

// A truth value as the wire writes it.
QString WireBool(bool value);
