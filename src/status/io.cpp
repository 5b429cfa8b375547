#include "status/io.h"

#include <cstdint>

#include "core/validation.h"

namespace dravik {

namespace {

constexpr int kFirstBit = 1;
constexpr int kLastBit = 16;
constexpr int32_t kWordMask = 0xFFFF;

// The start of every board call: library ready (validation of axis 1) and a board that exists.
bool board_call_ok(Library& lib, int cardno) {
    if (validate_axis_call(lib, 1) < 0) return false;
    if (cardno < 1 || cardno > lib.boards.board_count) {
        lib.report_error(kErrBadBoard);
        return false;
    }
    return true;
}

bool bit_number_ok(Library& lib, int bitno) {
    if (bitno >= kFirstBit && bitno <= kLastBit) return true;
    lib.report_error(kErrBadParam);
    return false;
}

uint32_t bit_mask(int bitno) { return 1u << (bitno - 1); }

}  // namespace

int checkin_byte(Library& lib, int cardno) {
    if (!board_call_ok(lib, cardno)) return -1;
    int32_t inputs = 0;
    if (lib.driver.read_board_reg(cardno, kBoardInputs, &inputs) != 0) return -1;
    return ~inputs & kWordMask;
}

int checkin_bit(Library& lib, int cardno, int bitno) {
    if (!board_call_ok(lib, cardno)) return -1;
    if (!bit_number_ok(lib, bitno)) return -1;
    const int inputs = checkin_byte(lib, cardno);
    if (inputs == -1) return -1;
    return (static_cast<uint32_t>(inputs) & bit_mask(bitno)) != 0 ? 1 : 0;
}

int outport_byte(Library& lib, int cardno, int bytedata) {
    if (!board_call_ok(lib, cardno)) return -1;
    if (bytedata < 0 || bytedata > kWordMask) {
        lib.report_error(kErrBadParam);
        return -1;
    }
    return lib.driver.write_board_reg(cardno, kBoardOutputs, bytedata);
}

int outport_bit(Library& lib, int cardno, int bitno, int status) {
    if (!board_call_ok(lib, cardno)) return -1;
    if (!bit_number_ok(lib, bitno)) return -1;
    int32_t outputs = 0;
    if (lib.driver.read_board_reg(cardno, kBoardOutputs, &outputs) != 0) return -1;
    uint32_t value = static_cast<uint32_t>(outputs);
    if (status != 0) value |= bit_mask(bitno);
    else value &= ~bit_mask(bitno);
    return lib.driver.write_board_reg(cardno, kBoardOutputs, static_cast<int32_t>(value));
}

int check_SFR(Library& lib, int cardno) {
    if (!board_call_ok(lib, cardno)) return -1;
    int32_t sfr = 0;
    if (lib.driver.read_board_reg(cardno, kBoardSfr, &sfr) != 0) return -1;
    return sfr & 0x7FFFFFFF;
}

int Outport(Library& lib, int portid, unsigned char byte) {
    return lib.driver.write_port(portid, byte & 0xFF) == 0 ? 0 : -1;
}

int Inport(Library& lib, int portid) { return lib.driver.read_port(portid); }

}  // namespace dravik
