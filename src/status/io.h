// Digital I/O of the boards and the driver's ports. Callers hold the library lock.
// Bit numbers run from 1 to 16 (bit n is register bit n - 1). Inputs are returned inverted (1 for
// an input the board reports as 0); outputs are written as given.
#pragma once

#include "core/library.h"

namespace dravik {

int checkin_byte(Library& lib, int cardno);
int checkin_bit(Library& lib, int cardno, int bitno);
int outport_byte(Library& lib, int cardno, int bytedata);
int outport_bit(Library& lib, int cardno, int bitno, int status);
int check_SFR(Library& lib, int cardno);
// No validation: the port number and byte go to the driver unchanged (the byte masked to 8 bits).
int Outport(Library& lib, int portid, unsigned char byte);
int Inport(Library& lib, int portid);

}  // namespace dravik
