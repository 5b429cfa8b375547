/*
 * dravik.h - public interface of the Dravik motion-control library.
 *
 * Dravik drives Dravik PCI motion boards through the board driver's device: any number of boards
 * the driver reports, whose axes are numbered 1, 2, ... across all boards (board 1's axes first).
 * An application calls auto_set() and then init_board() once, configures each axis, starts moves and polls
 * check_done() until they end.
 *
 * Conventions
 *   - Axis numbers `ch` run from 1 to get_max_axe(); board numbers `cardno` from 1 to
 *     get_board_num().
 *   - Distances and positions are signed 32-bit pulse counts (int32_t); the sign is the direction.
 *     Speeds are pulses per second and accelerations pulses per second squared, as doubles.
 *   - Most calls return 0 on success and a small negative value on failure; the exact values are
 *     given per call below. On failure the library records an error code, which get_last_err()
 *     and get_err() read back (codes are listed in docs/errors.md).
 *   - A null out-pointer given to a call that has a failure value makes it fail with error code
 *     0x2000019; get_lib_ver, get_cardno and DmcGetDllInfo, which always succeed, skip a null
 *     target.
 *   - Any non-zero flag counts as on; for continuous and home moves any direction above 0 is
 *     positive, 0 or below negative.
 *
 * Thread safety
 *   Every call may be made from any thread. The library serialises calls with one recursive lock:
 *   each call runs to completion (including all of its driver requests) before another call's
 *   work starts. A move started by change_pos() that has to wait for its axis to come to rest is
 *   completed by an internal polling thread that takes the same lock for each pass; it ends by
 *   itself, and at the latest when the library is unloaded.
 */
#ifndef DRAVIK_DRAVIK_H
#define DRAVIK_DRAVIK_H

#include <stdint.h>

#if defined(_WIN32)
#define DRAVIK_CALL __stdcall
#define DRAVIK_API
#elif defined(DRAVIK_BUILDING_LIBRARY)
#define DRAVIK_CALL
#define DRAVIK_API __attribute__((visibility("default")))
#else
#define DRAVIK_CALL
#define DRAVIK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Board set-up and queries ------------------------------------------------------------- */

/** Counts the boards and their axes. Returns the total number of axes; 0 when no board is found;
 *  -1 when the driver cannot be reached; -2 when a board cannot be queried; -3 when a board
 *  reports no axes; -10 for a bad combination of boards. A second call returns the first result
 *  without asking the driver again. */
DRAVIK_API int DRAVIK_CALL auto_set(void);
/** Second call of the start-up pair: checks the boards again, readies the library and writes every
 *  axis's power-on defaults. Returns the number of boards; 0 no board; -1 auto_set has not run or
 *  the driver failed; -2 a board reports no axes; -3 the boards differ from what auto_set found;
 *  -5 wrong driver version; -6 wrong card type; -10 bad combination of boards. */
DRAVIK_API int DRAVIK_CALL init_board(void);
/** Total number of axes found by the last scan. */
DRAVIK_API int DRAVIK_CALL get_max_axe(void);
/** Number of boards found by the last scan. */
DRAVIK_API int DRAVIK_CALL get_board_num(void);
/** Axes of board `board_no`, or -1 when there is no such board. */
DRAVIK_API int DRAVIK_CALL get_axe(int board_no);
/** Reads the identity word of boards 1 to 4 into id1..id4 (0 for absent boards); always 1. */
DRAVIK_API int DRAVIK_CALL get_cardno(int* id1, int* id2, int* id3, int* id4);

/* ---- Versions, diagnostics and raw registers ---------------------------------------------- */

/** Library version: 3, 0, 1. Always 0. */
DRAVIK_API int DRAVIK_CALL get_lib_ver(int* major, int* minor1, int* minor2);
/** Driver version; 0, or -1 when the driver cannot be asked (targets unchanged). */
DRAVIK_API int DRAVIK_CALL get_sys_ver(int* major, int* minor1, int* minor2);
/** Card type and version of board `cardno`; 0, or -1 (bad board number or failed read). */
DRAVIK_API int DRAVIK_CALL get_card_ver(int32_t cardno, int32_t* type, int32_t* major,
                                        int32_t* minor1, int32_t* minor2);
/** Identity word of board `cardno`; -1 for a bad board number; 0 when the read fails. */
DRAVIK_API int DRAVIK_CALL check_IC(int cardno);
/** Writes axis register `reg` (byte offset) of axis `ch`, unchecked. 0 or -1. */
DRAVIK_API int DRAVIK_CALL write_reg(int ch, int reg, int value);
/** Reads axis register `reg` of axis `ch`, unchecked. 0 or -1 (value unchanged). */
DRAVIK_API int DRAVIK_CALL read_reg(int ch, int reg, int* value);
/** Writes `value` to the mode register (offset 56) of axis `ch`. 0 or -1. */
DRAVIK_API int DRAVIK_CALL write_com(int ch, int value);
/** Writes board register `reg` of board `cardno`, unchecked. 0 or -1. */
DRAVIK_API int DRAVIK_CALL write_card_reg(int cardno, int reg, int value);
/** Reads board register `reg` of board `cardno`, unchecked. 0 or -1. */
DRAVIK_API int DRAVIK_CALL read_card_reg(int cardno, int reg, int* value);
/** Copies the ten-entry diagnostic table (all 0.0) to `info`. Always 0. */
DRAVIK_API int DRAVIK_CALL DmcGetDllInfo(int unused, double* info);
/** Copies the driver's 40-byte record of board `board` to `record` (10 words). 0; -1 no device
 *  or null `record`; -2 the request failed. */
DRAVIK_API int DRAVIK_CALL DmcGetBoardDBInfo(int board, int32_t* record);

/* ---- Error record --------------------------------------------------------------------------- */

/** n-th most recent error code (1 = newest, up to 10) into *code; 0, or -1 with *code = -1. */
DRAVIK_API int DRAVIK_CALL get_err(int n, int* code);
/** Code of the newest recorded error; 0 when none since load or reset_err. */
DRAVIK_API int DRAVIK_CALL get_last_err(void);
/** Empties the error record. Always 0. */
DRAVIK_API int DRAVIK_CALL reset_err(void);

/* ---- Axis configuration (0, or -1 on failure) ----------------------------------------------
 * The register calls read the axis register, change only their bits and write it back. They
 * return -1 when the axis is not valid, when the register cannot be read (nothing is written then)
 * or when the write fails; the cause is in get_last_err(). */

/** Pulse output mode: mode 1 clears the output-mode bit, any other mode sets it. */
DRAVIK_API int DRAVIK_CALL set_outmode(int ch, int mode, int outlogic);
/** Direction bit for the axis: 1 or -1 (other values: error 0x2000019); refused on a moving axis
 *  (0x200001E). Every later move sets the direction from its own distance or direction. */
DRAVIK_API int DRAVIK_CALL set_dir(int ch, int dir);
/** Home mode bit of the home configuration register. */
DRAVIK_API int DRAVIK_CALL set_home_mode(int ch, int home_mode);
/** Enables or disables the slow-down input. */
DRAVIK_API int DRAVIK_CALL enable_sd(int ch, int flag);
/** Enables or disables the limit inputs. */
DRAVIK_API int DRAVIK_CALL enable_el(int ch, int flag);
/** Enables or disables the stop at the home (ORG) input. */
DRAVIK_API int DRAVIK_CALL enable_org(int ch, int flag);
/** Active level of the slow-down input. */
DRAVIK_API int DRAVIK_CALL set_sd_logic(int ch, int flag);
/** Active level of the limit inputs. */
DRAVIK_API int DRAVIK_CALL set_el_logic(int ch, int flag);
/** Active level of the home input. */
DRAVIK_API int DRAVIK_CALL set_org_logic(int ch, int flag);
/** Active level of the alarm input, for every axis of every board (`ch` is only validated). An
 *  axis whose register cannot be read is skipped; -1 when any axis failed. */
DRAVIK_API int DRAVIK_CALL set_alm_logic(int ch, int flag);
/** Encoder multiplication: x4 when `multip` is 4 or more, x1 otherwise. */
DRAVIK_API int DRAVIK_CALL set_encoder_mode(int ch, int mode, int multip, int count_unit);
/** Position source: mode 0 or non-zero. Clears the position counters first (reset_pos), so it is
 *  refused on a moving axis (0x200001E). */
DRAVIK_API int DRAVIK_CALL set_getpos_mode(int ch, int mode);
/** I/O open and close positions sent with every later move of the axis. */
DRAVIK_API int DRAVIK_CALL set_io_pos(int ch, int open_pos, int close_pos);
/** Switches the I/O position function of board `cardno` on or off (bad board: 0x2000005). */
DRAVIK_API int DRAVIK_CALL enable_io_pos(int cardno, int flag);
/** Backlash in pulses added when a point or line move reverses direction (any value). */
DRAVIK_API int DRAVIK_CALL set_backlash(int ch, int backlash);
/** Arms backlash compensation: the next point move adds it once, later ones on reversal. */
DRAVIK_API int DRAVIK_CALL start_backlash(int ch);
/** Ends backlash compensation. */
DRAVIK_API int DRAVIK_CALL end_backlash(int ch);
/** Ramp flag of point and line moves: 1 sets the ramp-flag bits of their mode image, 2 (the
 *  value after init_board) clears them, 0 leaves them as the board reports them. -1 for other
 *  values. Works before init_board, which resets it to 2. */
DRAVIK_API int DRAVIK_CALL set_ramp_flag(int flag);

/* ---- Speeds and profiles ------------------------------------------------------------------- */

/** Maximum speed of the axis (81.91 to 8200000 pulses/s), which fixes its speed unit.
 *  0; -1 failure; -2 the axis is moving (nothing stored). */
DRAVIK_API int DRAVIK_CALL set_maxspeed(int ch, double speed);
/** Constant speed of con_ moves. 0; -1 failure; -2 busy (stored all the same). */
DRAVIK_API int DRAVIK_CALL set_conspeed(int ch, double conspeed);
/** Stored constant speed; -1.0 on failure. */
DRAVIK_API double DRAVIK_CALL get_conspeed(int ch);
/** Ramp profile of fast_ moves: low speed, high speed, acceleration (= deceleration).
 *  0; -1 failure or bad values (negative, NaN, ls > hs); -2 busy (stored all the same). */
DRAVIK_API int DRAVIK_CALL set_profile(int ch, double ls, double hs, double accel);
/** Stored profile. 0 or -1 (outputs untouched). */
DRAVIK_API int DRAVIK_CALL get_profile(int ch, double* ls, double* hs, double* accel);
/** Current output speed in pulses/s; -1.0 on failure. */
DRAVIK_API double DRAVIK_CALL get_rate(int ch);
/** Constant vector speed of con_line moves. 0 or -1. */
DRAVIK_API int DRAVIK_CALL set_vector_conspeed(double conspeed);
/** Vector profile of fast_line moves. 0 or -1 (bad values as for set_profile). */
DRAVIK_API int DRAVIK_CALL set_vector_profile(double vec_vl, double vec_vh, double vec_ad);
/** Stored constant vector speed; -1.0 on failure. */
DRAVIK_API double DRAVIK_CALL get_vector_conspeed(void);
/** Stored vector profile. 0 or -1. */
DRAVIK_API int DRAVIK_CALL get_vector_profile(double* vec_vl, double* vec_vh, double* vec_ad);

/* ---- Point moves: relative distances; con_ at constant speed, fast_ ramped. 0 or -1. --------
 * The axes of one call start together. Refused (nothing sent): an invalid axis; an axis named
 * twice (0x2000017); a step whose distance to send (its magnitude plus any backlash compensation)
 * is outside 0..2147483647, such as -2147483648 (0x2000019); an axis that moves or whose status
 * cannot be read (0x200001E). Every step 0: con_pmove/fast_pmove validate the axis and return 0,
 * the two- and three-axis calls return 0 at once, the four-axis calls send four zero moves.
 * A call whose mode registers cannot be read sends nothing and returns -1. */

DRAVIK_API int DRAVIK_CALL con_pmove(int ch, int32_t step);
DRAVIK_API int DRAVIK_CALL fast_pmove(int ch, int32_t step);
DRAVIK_API int DRAVIK_CALL con_pmove2(int ch1, int32_t step1, int ch2, int32_t step2);
DRAVIK_API int DRAVIK_CALL fast_pmove2(int ch1, int32_t step1, int ch2, int32_t step2);
DRAVIK_API int DRAVIK_CALL con_pmove3(int ch1, int32_t step1, int ch2, int32_t step2, int ch3,
                                      int32_t step3);
DRAVIK_API int DRAVIK_CALL fast_pmove3(int ch1, int32_t step1, int ch2, int32_t step2, int ch3,
                                       int32_t step3);
DRAVIK_API int DRAVIK_CALL con_pmove4(int ch1, int32_t step1, int ch2, int32_t step2, int ch3,
                                      int32_t step3, int ch4, int32_t step4);
DRAVIK_API int DRAVIK_CALL fast_pmove4(int ch1, int32_t step1, int ch2, int32_t step2, int ch3,
                                       int32_t step3, int ch4, int32_t step4);

/* ---- Continuous moves: run in a direction until stopped. 0 or -1. -------------------------
 * A direction above 0 is positive, 0 or below negative. Refusals as for point moves. */

DRAVIK_API int DRAVIK_CALL con_vmove(int ch, int dir);
DRAVIK_API int DRAVIK_CALL fast_vmove(int ch, int dir);
DRAVIK_API int DRAVIK_CALL con_vmove2(int ch1, int dir1, int ch2, int dir2);
DRAVIK_API int DRAVIK_CALL fast_vmove2(int ch1, int dir1, int ch2, int dir2);
DRAVIK_API int DRAVIK_CALL con_vmove3(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3);
DRAVIK_API int DRAVIK_CALL fast_vmove3(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3);
DRAVIK_API int DRAVIK_CALL con_vmove4(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3,
                                      int ch4, int dir4);
DRAVIK_API int DRAVIK_CALL fast_vmove4(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3,
                                       int ch4, int dir4);

/* ---- Home moves: run towards the home (ORG) input. 0 or -1. -------------------------------
 * The move stops at the ORG input when enable_org is on for the axis. Refusals as for point
 * moves. */

DRAVIK_API int DRAVIK_CALL con_hmove(int ch, int dir);
DRAVIK_API int DRAVIK_CALL fast_hmove(int ch, int dir);
DRAVIK_API int DRAVIK_CALL con_hmove2(int ch1, int dir1, int ch2, int dir2);
DRAVIK_API int DRAVIK_CALL fast_hmove2(int ch1, int dir1, int ch2, int dir2);
DRAVIK_API int DRAVIK_CALL con_hmove3(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3);
DRAVIK_API int DRAVIK_CALL fast_hmove3(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3);
DRAVIK_API int DRAVIK_CALL con_hmove4(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3,
                                      int ch4, int dir4);
DRAVIK_API int DRAVIK_CALL fast_hmove4(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3,
                                       int ch4, int dir4);

/* ---- Linear interpolation: 2 to 4 axes along a straight line. 0 or -1. --------------------
 * con_line at the vector speed (set_vector_conspeed), fast_line with the vector profile
 * (set_vector_profile); each axis gets the share of its distance. Every distance 0: 0 at once.
 * Distances that backlash compensation cancels to 0 on every axis: 0, nothing sent. fast_line
 * with a vector acceleration of 0, and con_line with a vector speed that is not a number, are
 * refused with 0x2000002. Other refusals as for point moves. */

DRAVIK_API int DRAVIK_CALL con_line2(int CHx, int32_t pos1, int CHy, int32_t pos2);
DRAVIK_API int DRAVIK_CALL con_line3(int CHx, int32_t pos1, int CHy, int32_t pos2, int CHz,
                                     int32_t pos3);
DRAVIK_API int DRAVIK_CALL con_line4(int ch1, int32_t pos1, int ch2, int32_t pos2, int ch3,
                                     int32_t pos3, int ch4, int32_t pos4);
DRAVIK_API int DRAVIK_CALL fast_line2(int ch1, int32_t pos1, int ch2, int32_t pos2);
DRAVIK_API int DRAVIK_CALL fast_line3(int ch1, int32_t pos1, int ch2, int32_t pos2, int ch3,
                                      int32_t pos3);
DRAVIK_API int DRAVIK_CALL fast_line4(int ch1, int32_t pos1, int ch2, int32_t pos2, int ch3,
                                      int32_t pos3, int ch4, int32_t pos4);

/* ---- Stops: 0; -1 bad axis, or unreadable status or mode register (that axis and the later
 * ones not stopped); or the number of the axis whose mode write failed. Axes at rest are left
 * alone; an axis named twice is handled twice. */

DRAVIK_API int DRAVIK_CALL sudden_stop(int ch);
DRAVIK_API int DRAVIK_CALL sudden_stop2(int ch1, int ch2);
DRAVIK_API int DRAVIK_CALL sudden_stop3(int ch1, int ch2, int ch3);
DRAVIK_API int DRAVIK_CALL sudden_stop4(int ch1, int ch2, int ch3, int ch4);
DRAVIK_API int DRAVIK_CALL decel_stop(int ch);
DRAVIK_API int DRAVIK_CALL decel_stop2(int ch1, int ch2);
DRAVIK_API int DRAVIK_CALL decel_stop3(int ch1, int ch2, int ch3);
DRAVIK_API int DRAVIK_CALL decel_stop4(int ch1, int ch2, int ch3, int ch4);

/* ---- On-the-fly changes ---------------------------------------------------------------------- */

/** New target, as a signed distance from the start of the running point or line move. Not yet
 *  reached: the move is lengthened or shortened in place. Reached or passed: the axis is stopped
 *  and, once at rest, moved to the target by the library's polling thread. 0 when applied or
 *  handed over; -1 when refused: invalid axis, axis at rest, no point or line move of the axis on
 *  record, board older than version 2.2, or a register that cannot be read or written. */
DRAVIK_API int DRAVIK_CALL change_pos(int ch, int32_t pos);
/** New high speed of a running ramped move (the stored profile is not changed). 0, also on an
 *  axis at rest (nothing written); -1: invalid axis, NaN speed (0x2000002), a constant-speed move
 *  (0x2000001), or a register that cannot be read or written. */
DRAVIK_API int DRAVIK_CALL change_speed(int ch, double speed);
/** New acceleration and deceleration |accel| (stored for later ramped moves too), written to the
 *  running move at once. 0; -1: invalid axis, NaN (0x2000002, nothing stored), or a failed
 *  register write. Exported on Windows as _change_accel@12. */
DRAVIK_API int DRAVIK_CALL change_accel(int ch, double accel);

/* ---- Positions, status and the command counter ---------------------------------------------- */

/** Absolute position into *abs_pos; 0, or -1 with *abs_pos = 0. */
DRAVIK_API int DRAVIK_CALL get_abs_pos(int ch, int32_t* abs_pos);
/** Position relative to the running move's start; 0, or -1 with *rel_pos = 0. */
DRAVIK_API int DRAVIK_CALL get_rel_pos(int ch, int32_t* rel_pos);
/** Encoder count; 0, or -1 with *en_pos = 0. */
DRAVIK_API int DRAVIK_CALL get_encoder(int ch, int32_t* en_pos);
/** Current direction as the driver reports it; -2 on failure. */
DRAVIK_API int DRAVIK_CALL get_cur_dir(int ch);
/** Whole status word; -1 on failure. */
DRAVIK_API int DRAVIK_CALL check_status(int ch);
/** 1 while the axis moves, 0 at rest, -1 on failure. */
DRAVIK_API int DRAVIK_CALL check_done(int ch);
/** Limit inputs: 2 both, 1 positive, -1 negative, 0 none; -3 on failure. */
DRAVIK_API int DRAVIK_CALL check_limit(int ch);
/** Home input: 1 active, 0 not; -3 on failure. */
DRAVIK_API int DRAVIK_CALL check_home(int ch);
/** Slow-down input: 1 active, 0 not; -3 on failure. */
DRAVIK_API int DRAVIK_CALL check_SD(int ch);
/** Alarm input: 1 active, 0 not; -3 on failure. */
DRAVIK_API int DRAVIK_CALL check_alarm(int ch);
/** Sets the absolute position of an axis at rest. 0 or -1. */
DRAVIK_API int DRAVIK_CALL set_abs_pos(int ch, int32_t pos);
/** Clears the position counters of an axis at rest. 0 or -1. */
DRAVIK_API int DRAVIK_CALL reset_pos(int ch);
/** Clears the encoder count (also while moving). 0 or -1. */
DRAVIK_API int DRAVIK_CALL reset_enc_pos(int ch);
/** Number of move calls whose requests were all accepted. */
DRAVIK_API int DRAVIK_CALL get_cmd_counter(void);
/** Sets the command counter. Always 0. */
DRAVIK_API int DRAVIK_CALL set_cmd_counter(int value);
/** Clears the command counter. Always 0. */
DRAVIK_API int DRAVIK_CALL reset_cmd_counter(void);

/* ---- Digital I/O and ports -------------------------------------------------------------------- */

/** The 16 inputs of board `cardno`, inverted (1 = input reads 0); -1 on failure. */
DRAVIK_API int DRAVIK_CALL checkin_byte(int cardno);
/** Input `bitno` (1..16) of checkin_byte: 1 or 0; -1 on failure. */
DRAVIK_API int DRAVIK_CALL checkin_bit(int cardno, int bitno);
/** Writes the 16-bit output word (0..0xFFFF) of board `cardno`. 0 or -1. */
DRAVIK_API int DRAVIK_CALL outport_byte(int cardno, int bytedata);
/** Sets (status non-zero) or clears output `bitno` (1..16). 0 or -1. */
DRAVIK_API int DRAVIK_CALL outport_bit(int cardno, int bitno, int status);
/** Special-function word of board `cardno` without its top bit; -1 on failure. */
DRAVIK_API int DRAVIK_CALL check_SFR(int cardno);
/** Writes `byte` to driver port `portid`. 0 or -1. */
DRAVIK_API int DRAVIK_CALL Outport(int portid, unsigned char byte);
/** Reads driver port `portid`; -1 on failure. */
DRAVIK_API int DRAVIK_CALL Inport(int portid);

#ifdef __cplusplus
}
#endif

#endif /* DRAVIK_DRAVIK_H */
