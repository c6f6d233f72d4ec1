# What the kernel leaves in the 128 bits of v0: which calls fill all 64
# bits of the low doubleword, which sign-extend a 32-bit result, which
# zero-extend it, and which leave v0 alone. Before each call v0 holds a
# marker; each result doubleword goes to results[slot].

    .set gp=64
    .set noreorder
    .set noat

    .data
    .align 4
marker:     .dword 0x1111111122222222, 0x3333333344444444
wide:       .dword 0x123456789ABCDEF0
id3High:    .dword 0x0000000100000003
low80:      .dword 0x0000000080000000
lowOnes:    .dword 0x00000000FFFFFFFF
id5High:    .dword 0x0000000100000005
id7High:    .dword 0x0000000100000007
id7Higher:  .dword 0x0000000200000007
high1:      .dword 0x0000000100000000

    .globl results
    .align 4
results:    .space 8 * 64

    .text

# call NUMBER SLOT: marker into v0, the call, then v0's low doubleword out.
    .macro call number, slot
    ld      $v0, 0($t8)
    li      $v1, \number
    syscall
    sd      $v0, \slot * 8($t9)
    .endm

    .macro loadA0 label
    la      $t0, \label
    ld      $a0, 0($t0)
    .endm

    .macro loadA1 label
    la      $t0, \label
    ld      $a1, 0($t0)
    .endm

    .globl main
    .ent main
main:
    la      $t8, marker
    la      $t9, results

    # slots 0-1: v1 = -67 reaches 189, a no-op: all 128 bits of v0 stay.
    lq      $v0, 0($t8)
    li      $v1, -67
    syscall
    sq      $v0, 0($t9)

    # slots 2-3: a call with a result leaves v0's upper 64 bits alone.
    lq      $v0, 0($t8)
    li      $a0, 5
    li      $v1, 34
    syscall
    sq      $v0, 16($t9)

    # slot 4: StartThread answers all 64 bits of a0.
    loadA0  wide
    call    34, 4
    # slots 5-6: AddIntcHandler answers a0's low word sign-extended; a slot
    # of 0x80000000 is out of range and records nothing.
    loadA0  id3High
    la      $a1, main
    call    16, 5
    loadA0  low80
    call    16, 6
    # slot 7: AddDmacHandler likewise.
    loadA0  low80
    call    18, 7
    # slot 8: ChangeThreadPriority answers all 64 bits of a1.
    li      $a0, 1
    loadA1  wide
    call    41, 8
    # slots 9-10: RFU060 answers sp.
    call    60, 9
    sd      $sp, 80($t9)
    # slot 11: RFU061 adds in 64 bits.
    loadA0  lowOnes
    li      $a1, 1
    call    61, 11
    # slot 12: EndOfHeap is 0x80000000 with a zero high word.
    call    62, 12
    # slots 13-16: COP0 EPC through RFU063, GetCop0 and iGetCop0, zero-extended;
    # register 32 does not exist and reads as 0.
    li      $a0, 14
    call    63, 13
    li      $a0, 14
    call    99, 14
    li      $a0, 14
    call    153, 15
    li      $a0, 32
    call    63, 16
    # slots 17-18: sceSifDmaStat and isceSifDmaStat answer -1 in 64 bits.
    call    118, 17
    call    138, 18
    # slot 19: sceSifSetDma answers 1.
    call    119, 19
    # slots 20-21: sceSifGetReg(4) zero-extends; other registers answer 0x60000.
    li      $a0, 4
    li      $a1, -0x80000000
    li      $v1, 121
    syscall
    li      $a0, 4
    call    122, 20
    li      $a0, 0x80000001
    call    122, 21

    # slots 22-29: calls that leave v0 unchanged.
    li      $a0, 1
    call    2, 22             # SetGsCrt
    li      $a0, 0x7F00
    call    113, 23           # GsPutIMR
    li      $a0, 99
    call    121, 24           # sceSifSetReg with an unknown register
    li      $a0, 5
    call    124, 25           # Deci2Call with an unknown call
    call    120, 26           # sceSifSetDChain
    call    136, 27           # isceSifSetDChain
    call    4, 28             # Exit, not implemented
    call    200, 29           # iSuspendThread, not implemented

    # slots 30-31: what sceSifSetDChain left below sp and what SIF0 CHCR reads.
    li      $v1, 120
    syscall
    lwu     $t1, -16($sp)
    sd      $t1, 30 * 8($t9)
    li      $t0, 0x1000C000
    lwu     $t1, 0($t0)
    sd      $t1, 31 * 8($t9)
    # slots 32-33: isceSifSetDChain leaves 0x84 below sp and clears SIF0 QWC.
    li      $v1, 136
    syscall
    lwu     $t1, -16($sp)
    sd      $t1, 32 * 8($t9)
    li      $t0, 0x1000C020
    lwu     $t1, 0($t0)
    sd      $t1, 33 * 8($t9)

    # slots 34-40: semaphore and thread calls with ids out of range or in the
    # high word.
    li      $a0, 32
    call    48, 34            # ReferThreadStatus: -1
    li      $a0, 32
    call    69, 35            # PollSema: -1
    loadA0  low80
    call    68, 36            # WaitSema: a0 sign-extended
    loadA0  id5High
    call    65, 37            # DeleteSema: all 64 bits of a0
    loadA0  id7High
    call    66, 38            # SignalSema on semaphore 7
    loadA0  id7Higher
    call    69, 39            # PollSema on semaphore 7 (count 1)
    call    47, 40            # GetThreadId: 0 in all 64 bits

    # slots 41-44: ReferThreadStatus writes a block only when a1's 64 bits are
    # not all zero: a1 = 1 << 32 writes at guest address 0.
    li      $a0, 0
    li      $a1, 0
    call    48, 41
    lwu     $t1, 0($zero)
    sd      $t1, 42 * 8($t9)
    li      $a0, 0
    loadA1  high1
    call    48, 43
    lwu     $t1, 0($zero)
    sd      $t1, 44 * 8($t9)

    jr      $ra
    move    $v0, $zero
    .end main
