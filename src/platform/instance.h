#pragma once
// The application title and the refusal of a second copy. Each running copy
// answers on a per-user local socket named after its title: "which title"
// (its current title) and "activate" (bring its window to the front). Only
// copies on the same display see each other. A copy that changes its title
// stops answering under the old one. The socket of a copy that crashed is
// found dead and replaced, so it never blocks a start.
#include <QString>

#include <functional>

namespace instance {

// The application title; message boxes without a title of their own show it.
QString Title();

// Changes the title and answers under the new one from now on. The program
// sets its title once at start, after the application object exists; a title
// another live copy answers under is kept but not answered under.
void SetTitle(const QString& title);

// True when another running copy answers under this copy's title.
bool PrevInstance();

// Asks the running copy titled `title` to bring its window to the front. True
// when a copy (not this one) answers under that title and was asked.
bool ActivateCopyTitled(const QString& title);

// What this copy does when another one asks it to activate; runs on the UI
// thread from the event loop.
void SetActivateHandler(std::function<void()> handler);

// The local socket the copy titled `title` answers on, on this copy's display;
// empty when there is no private folder for it.
QString ServerName(const QString& title);

} // namespace instance
