#pragma once
// Small operations that many windows share, and two values that carry signals
// between windows.
#include <QString>
#include <functional>

// While true, card flights and the wait for the cut end at once (the peer left).
extern bool StopAnimation;
// The text the timed popup shows when it opens.
extern QString PopupMessage;

// Field n (counted from 1) of text split at separator. The caller's text is
// first given a separator at its start and at its end when it lacks one, and
// is left so; the deal and the "Cartas:" message rely on that. A field before
// the first or past the last is the empty text.
QString GetField(QString& text, int n, const QString& separator);

namespace vb {
class Control;
class Form;
}

// Plays a sound file of the "Sons" folder when sound is on. Flags: 1 returns at
// once (a missing file gives a beep), 2 plays to the end (a missing file is
// silent).
void PlaySoundFile(const QString& file, int flags);

// Flies a card towards the target's place in equal steps of 15 ms, handling
// events between steps; at the end the card is hidden and put back where it
// started and "Move.wav" plays. Ends at once, leaving the card where it is,
// when StopAnimation is set or the caller's step is no longer current (its
// match was replaced meanwhile: the card belongs to the new one).
void AnimateCardMove(vb::Control& card, const vb::Control& target, int steps,
                     const std::function<bool()>& stillCurrent);

// The nudge: shakes a window 200 times by 100 twips, ending where it started.
void ShakeForm(vb::Form& form);

// True when the compiled help file is there and whole. Otherwise the "Aviso!"
// box tells the player that it was not found: a file that cannot be read as a
// help file is as good as none.
bool HelpFileFound(const QString& helpFile);

// Opens the compiled help file at its start page, or shows the "Aviso!" box
// when HelpFileFound says it is not there.
void ShowHelpIndex(const QString& helpFile);

// Opens a topic of the compiled help file; failures are ignored.
void ShowHelpTopic(const QString& helpFile, const QString& topic);

// The user's logon name in proper case, empty when it cannot be read.
QString GetLoggedUserName();
