/* Encodes VU1 micro instructions. A micro program is a list of pairs,
   lower word first, then upper word; these helpers build each word from
   its fields so that the program in cube.c reads like assembly. */
#ifndef CUBE_VU1_CODE_H
#define CUBE_VU1_CODE_H

/* Destination lanes of a vector instruction. */
#define DEST_X 8u
#define DEST_Y 4u
#define DEST_Z 2u
#define DEST_W 1u
#define DEST_XYZW 15u

/* Field selectors of DIV (fsf, ftf). */
#define FIELD_X 0u
#define FIELD_Y 1u
#define FIELD_Z 2u
#define FIELD_W 3u

/* The end bit of an upper word: one more pair runs, then the program ends. */
#define UPPER_END 0x40000000u

static inline unsigned vuFields(unsigned dest, unsigned ft, unsigned fs, unsigned fd) {
    return (dest << 21) | (ft << 16) | (fs << 11) | (fd << 6);
}

/* Upper instructions with a six-bit function code: fd = fs op ft. */
static inline unsigned upper(unsigned function, unsigned dest, unsigned fd, unsigned fs, unsigned ft) {
    return vuFields(dest, ft, fs, fd) | function;
}
/* Upper instructions of the 0x3C-0x3F group (accumulator forms and the
   conversions), numbered by (bits 10..6) * 4 + bits 1..0. */
static inline unsigned upperSpecial(unsigned index, unsigned dest, unsigned fs, unsigned ft) {
    return vuFields(dest, ft, fs, index >> 2) | 0x3Cu | (index & 3u);
}

/* An upper slot that writes nothing: MAX with no destination lane. */
#define U_NOP upper(0x2B, 0, 0, 0, 0)
#define U_ADDY(dest, fd, fs, ft) upper(0x01, dest, fd, fs, ft)
#define U_ADDZ(dest, fd, fs, ft) upper(0x02, dest, fd, fs, ft)
#define U_MADDW(dest, fd, fs, ft) upper(0x0B, dest, fd, fs, ft)
#define U_MAXX(dest, fd, fs, ft) upper(0x10, dest, fd, fs, ft)
#define U_MULW(dest, fd, fs, ft) upper(0x1B, dest, fd, fs, ft)
#define U_MULQ(dest, fd, fs) upper(0x1C, dest, fd, fs, 0)
#define U_ADD(dest, fd, fs, ft) upper(0x28, dest, fd, fs, ft)
#define U_MUL(dest, fd, fs, ft) upper(0x2A, dest, fd, fs, ft)
#define U_MADDAY(dest, fs, ft) upperSpecial(0x09, dest, fs, ft)
#define U_MADDAZ(dest, fs, ft) upperSpecial(0x0A, dest, fs, ft)
#define U_FTOI0(dest, ft, fs) upperSpecial(0x14, dest, fs, ft)
#define U_FTOI4(dest, ft, fs) upperSpecial(0x15, dest, fs, ft)
#define U_MULAX(dest, fs, ft) upperSpecial(0x18, dest, fs, ft)

/* Lower instructions: opcode in bits 31..25; the 0x40 group is numbered
   like the upper special group. */
static inline unsigned lower(unsigned opcode, unsigned dest, unsigned t, unsigned s, unsigned imm11) {
    return (opcode << 25) | vuFields(dest, t, s, 0) | (imm11 & 0x7FFu);
}
static inline unsigned lowerSpecial(unsigned index, unsigned dest, unsigned t, unsigned s) {
    return (0x40u << 25) | vuFields(dest, t, s, index >> 2) | 0x3Cu | (index & 3u);
}
/* IADDIU and ISUBIU keep bits 14..11 of the immediate in the dest field. */
static inline unsigned lowerImm15(unsigned opcode, unsigned t, unsigned s, unsigned imm15) {
    return (opcode << 25) | ((imm15 >> 11 & 0xFu) << 21) | (t << 16) | (s << 11) | (imm15 & 0x7FFu);
}

#define L_NOP lowerImm15(0x08, 0, 0, 0)
#define L_LQ(dest, ft, is, offset) lower(0x00, dest, ft, is, offset)
#define L_IADDIU(it, is, imm) lowerImm15(0x08, it, is, imm)
#define L_ISUBIU(it, is, imm) lowerImm15(0x09, it, is, imm)
/* IBNE it, is, offset: offset in pairs from the pair after the delay slot's. */
#define L_IBNE(it, is, offset) lower(0x29, 0, it, is, (unsigned)(offset))
#define L_LQI(dest, ft, is) lowerSpecial(0x34, dest, ft, is)
#define L_SQI(dest, fs, it) lowerSpecial(0x35, dest, it, fs)
/* DIV Q, fs.fsf / ft.ftf */
#define L_DIV(fs, fsf, ft, ftf) lowerSpecial(0x38, ((ftf) << 2) | (fsf), ft, fs)
/* WAITQ: waits for the division to leave its result in Q. */
#define L_WAITQ lowerSpecial(0x3B, 0, 0, 0)
#define L_XGKICK(is) lowerSpecial(0x6C, 0, 0, is)

#endif
