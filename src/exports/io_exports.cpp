// Exported digital I/O and port calls: each takes the library lock and forwards.
#include "dravik/dravik.h"
#include "exports/export_support.h"
#include "status/io.h"

using dravik::exported;
using dravik::Library;

extern "C" {

DRAVIK_API int DRAVIK_CALL checkin_byte(int cardno) {
    return exported([&](Library& lib) { return dravik::checkin_byte(lib, cardno); });
}
DRAVIK_API int DRAVIK_CALL checkin_bit(int cardno, int bitno) {
    return exported([&](Library& lib) { return dravik::checkin_bit(lib, cardno, bitno); });
}
DRAVIK_API int DRAVIK_CALL outport_byte(int cardno, int bytedata) {
    return exported([&](Library& lib) { return dravik::outport_byte(lib, cardno, bytedata); });
}
DRAVIK_API int DRAVIK_CALL outport_bit(int cardno, int bitno, int status) {
    return exported([&](Library& lib) { return dravik::outport_bit(lib, cardno, bitno, status); });
}
DRAVIK_API int DRAVIK_CALL check_SFR(int cardno) {
    return exported([&](Library& lib) { return dravik::check_SFR(lib, cardno); });
}
DRAVIK_API int DRAVIK_CALL Outport(int portid, unsigned char byte) {
    return exported([&](Library& lib) { return dravik::Outport(lib, portid, byte); });
}
DRAVIK_API int DRAVIK_CALL Inport(int portid) {
    return exported([&](Library& lib) { return dravik::Inport(lib, portid); });
}

}  // extern "C"
