#pragma once
// The direct command box of the manual panel: typed HPGL goes to the controller on Enter.

// Called for every notification of TxtCommand. Once the box's text holds a CR (the Enter
// key put a CR LF into it), empties the box and sends the whole text unchanged, CR LF and
// all, several lines in one command.
void SubmitDirectCommand();
