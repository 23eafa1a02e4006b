#pragma once
// Small operations that many windows share, and two values that carry signals
// between windows.
#include <QString>

// While true, card flights and the wait for the cut end at once (the peer left).
extern bool StopAnimation;
// The text the timed popup shows when it opens.
extern QString PopupMessage;

// Field n (counted from 1) of text split at separator. The caller's text is
// first given a separator at its start and at its end when it lacks one, and
// is left so; the deal and the "Cartas:" message rely on that. A field before
// the first or past the last is the empty text.
QString GetField(QString& text, int n, const QString& separator);
