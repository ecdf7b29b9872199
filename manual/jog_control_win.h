#pragma once
// The jog images of the manual panel: a press sends one move, holding repeats it.

// Called for every cursor message of the main dialog with the control id of the window
// under the cursor. Acts only for the fourteen jog images, pressed with the primary button
// while the main dialog is in front and no earlier command is still going out: sends the
// image's command at once, again after 250 ms and then back to back until the button is
// released. Returns when the jog has ended.
void JogControl(int id);
