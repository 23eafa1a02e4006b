#pragma once
// The application title: the name this copy runs under. Message boxes without a
// title of their own show it; a second copy that found no running twin keeps
// another one for the rest of its run.
#include <QString>

QString AppTitle();
void SetAppTitle(const QString& title);
