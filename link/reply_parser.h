#pragma once
// What a complete reply of the controller asks the program to do.
//
//   reply    = any* [ "XYZP=" x "/" y "/" z "/" p ] any* CR     position echo (last one counts)
//   reply    = "Register" sep n "=" value any* CR                register value
//   value    = decimal | "0x" hexdigits                           (either case)
//
// Both kinds may stand in one reply; anything else is shown in the monitor and ignored here.
#include <cstdint>
#include <string>

struct ReplyActions {
    bool hasPosition = false;
    std::string posX, posY, posZ;  // millimetres, "0.000"
    std::string pen;               // plain number
    bool hasRegister = false;      // a register value for 1..9999
    int registerNumber = 0;
    int32_t registerValue = 0;
};

ReplyActions ParseReplyText(const std::string& reply);
