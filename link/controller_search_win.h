#pragma once
// The search for the controller on the COM ports.

// Closes an open port, tries the remembered port and then COM1 to COM19 with the probe,
// accepts the first that answers "Register", remembers and shows it and starts the receive
// loop. A request made while a search runs (through its message pumping) is ignored.
void FindController();
// True from the start of a search to its end (its waits let the windows in).
bool SearchGoingOn();
