#pragma once
// Start-up: the only copy runs, the platform is prepared, the match reset, the
// settings read, the table shown and the new-game dialog opened over it.

// The program's entry procedure, run once the application exists.
void Main();

// Another copy runs under this title: bring it to the front and end, or return
// (this copy then runs on under the title "Instancia Cancelada").
void ActivatePrevInstance();

// Reads the eight settings into the match state, each with its default.
void ReadSettings();

// Every window of the program, message boxes included, carries the program's icon.
void InstallProgramIcon();

// The socket knows no windows: its errors that a handler lets through are shown
// in the program's message box from here on.
void InstallSocketErrorBox();

// Creates the application, runs Main and then the event loop; the process's
// entry point calls it.
int RunProgram(int argc, char** argv);
