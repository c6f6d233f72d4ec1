# Every COP2 macro operation and COP2 move in several field masks and
# register choices, for the disassembler's comparison with objdump. The
# program is only listed, never run past its first instructions.

    .set noreorder
    .text
    .globl main
main:
1:  b       1b
    nop

    # Upper operations: three registers, broadcast, Q and I forms.
    vadd.xyzw   $vf1, $vf2, $vf3
    vadd.xz     $vf31, $vf0, $vf17
    vsub.y      $vf4, $vf5, $vf6
    vmadd.zw    $vf7, $vf8, $vf9
    vmsub.xyw   $vf10, $vf11, $vf12
    vmul.w      $vf13, $vf14, $vf15
    vmax.xyz    $vf16, $vf17, $vf18
    vmini.xyzw  $vf19, $vf20, $vf21
    vopmsub.xyz $vf22, $vf23, $vf24
    vaddx.xyzw  $vf1, $vf2, $vf3x
    vaddy.x     $vf1, $vf2, $vf3y
    vsubz.yz    $vf4, $vf5, $vf6z
    vsubw.w     $vf4, $vf5, $vf6w
    vmaddx.xyzw $vf7, $vf8, $vf9x
    vmsubw.xz   $vf10, $vf11, $vf12w
    vmaxy.xyzw  $vf13, $vf14, $vf15y
    vminiz.y    $vf16, $vf17, $vf18z
    vmulw.xyzw  $vf19, $vf20, $vf21w
    vmulq.xyz   $vf1, $vf2, $Q
    vmaxi.w     $vf3, $vf4, $I
    vmuli.xy    $vf5, $vf6, $I
    vminii.z    $vf7, $vf8, $I
    vaddq.xyzw  $vf9, $vf10, $Q
    vmaddq.x    $vf11, $vf12, $Q
    vaddi.y     $vf13, $vf14, $I
    vmaddi.z    $vf15, $vf16, $I
    vsubq.w     $vf17, $vf18, $Q
    vmsubq.xyzw $vf19, $vf20, $Q
    vsubi.xz    $vf21, $vf22, $I
    vmsubi.yw   $vf23, $vf24, $I

    # Accumulator forms.
    vaddax.xyzw  $ACC, $vf2, $vf3x
    vsubay.xy    $ACC, $vf4, $vf5y
    vmaddaz.z    $ACC, $vf6, $vf7z
    vmsubaw.w    $ACC, $vf8, $vf9w
    vmulax.xyzw  $ACC, $vf10, $vf11x
    vmulaq.xyz   $ACC, $vf12, $Q
    vmulai.x     $ACC, $vf13, $I
    vaddaq.y     $ACC, $vf14, $Q
    vmaddaq.xyzw $ACC, $vf15, $Q
    vaddai.zw    $ACC, $vf16, $I
    vmaddai.xyzw $ACC, $vf17, $I
    vsubaq.x     $ACC, $vf18, $Q
    vmsubaq.y    $ACC, $vf19, $Q
    vsubai.z     $ACC, $vf20, $I
    vmsubai.w    $ACC, $vf21, $I
    vadda.xyzw   $ACC, $vf22, $vf23
    vmadda.xy    $ACC, $vf24, $vf25
    vmula.z      $ACC, $vf26, $vf27
    vsuba.w      $ACC, $vf28, $vf29
    vmsuba.xyz   $ACC, $vf30, $vf31
    vopmula.xyz  $ACC, $vf1, $vf2
    vnop

    # Conversions, moves, clipping.
    vitof0.xyzw  $vf1, $vf2
    vitof4.x     $vf3, $vf4
    vitof12.yz   $vf5, $vf6
    vitof15.w    $vf7, $vf8
    vftoi0.xyzw  $vf9, $vf10
    vftoi4.xy    $vf11, $vf12
    vftoi12.z    $vf13, $vf14
    vftoi15.xyzw $vf15, $vf16
    vabs.xyz     $vf17, $vf18
    vmove.xyzw   $vf19, $vf20
    vmr32.yw     $vf21, $vf22
    vclipw.xyz   $vf23, $vf24w

    # Lower operations: integer unit, loads and stores, divider, random
    # numbers, micro program calls.
    viadd   $vi1, $vi2, $vi3
    visub   $vi4, $vi5, $vi6
    viaddi  $vi7, $vi8, -16
    viaddi  $vi9, $vi10, 15
    viand   $vi11, $vi12, $vi13
    vior    $vi14, $vi15, $vi0
    vlqi.xyzw  $vf1, ($vi2++)
    vsqi.xy    $vf3, ($vi4++)
    vlqd.z     $vf5, (--$vi6)
    vsqd.xyzw  $vf7, (--$vi8)
    vilwr.x    $vi9, ($vi10)
    vilwr.w    $vi11, ($vi12)
    viswr.y    $vi13, ($vi14)
    viswr.z    $vi15, ($vi1)
    vmtir      $vi1, $vf2x
    vmtir      $vi3, $vf4w
    vmfir.xyzw $vf5, $vi6
    vmfir.y    $vf7, $vi8
    vdiv    $Q, $vf1x, $vf2y
    vdiv    $Q, $vf3w, $vf4z
    vsqrt   $Q, $vf5z
    vrsqrt  $Q, $vf6w, $vf7x
    vwaitq
    vrinit  $R, $vf1x
    vrxor   $R, $vf2z
    vrget.xyzw  $vf3, $R
    vrnext.w    $vf4, $R
    vcallms  0
    vcallms  0x7ff8
    vcallmsr $vi27

    # The COP2 moves, with and without the interlock.
    qmfc2      $2, $vf3
    qmfc2.i    $4, $vf31
    qmtc2      $5, $vf6
    qmtc2.i    $7, $vf8
    cfc2       $9, $vi10
    cfc2.i     $11, $vi31
    ctc2       $12, $vi13
    ctc2.i     $14, $vi28
    lqc2       $vf1, 16($4)
    sqc2       $vf31, -16($sp)
    bc2f       2f
    nop
    bc2tl      2f
    nop
2:  jr      $ra
    nop
