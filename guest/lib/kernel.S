# Guest-side entry points of the EE kernel calls: each loads its call
# number into v1 and executes SYSCALL; the arguments are already in a0-a3
# and the result comes back in v0.

    .set noreorder
    .text

    .macro kernel_call name, number
    .globl \name
    .ent \name
\name:
    li      $v1, \number
    syscall
    jr      $ra
    nop
    .end \name
    .endm

    kernel_call Exit, 4
    kernel_call SetGsCrt, 2
    kernel_call AddIntcHandler, 16
    kernel_call RemoveIntcHandler, 17
    kernel_call AddDmacHandler, 18
    kernel_call RemoveDmacHandler, 19
    kernel_call _EnableIntc, 20
    kernel_call _DisableIntc, 21
    kernel_call _EnableDmac, 22
    kernel_call _DisableDmac, 23
    kernel_call SetAlarm, 24
    kernel_call ReleaseAlarm, 25
    kernel_call iSetAlarm, -30
    kernel_call iReleaseAlarm, -31
    kernel_call CreateThread, 32
    kernel_call DeleteThread, 33
    kernel_call StartThread, 34
    kernel_call ExitThread, 35
    kernel_call ExitDeleteThread, 36
    kernel_call TerminateThread, 37
    kernel_call iTerminateThread, -38
    kernel_call DisableDispatchThread, 39
    kernel_call EnableDispatchThread, 40
    kernel_call ChangeThreadPriority, 41
    kernel_call iChangeThreadPriority, -42
    kernel_call RotateThreadReadyQueue, 43
    kernel_call iRotateThreadReadyQueue, -44
    kernel_call ReleaseWaitThread, 45
    kernel_call iReleaseWaitThread, -46
    kernel_call GetThreadId, 47
    kernel_call ReferThreadStatus, 48
    kernel_call iReferThreadStatus, -49
    kernel_call SleepThread, 50
    kernel_call WakeupThread, 51
    kernel_call iWakeupThread, -52
    kernel_call CancelWakeupThread, 53
    kernel_call iCancelWakeupThread, -54
    kernel_call SuspendThread, 55
    kernel_call iSuspendThread, -56
    kernel_call ResumeThread, 57
    kernel_call iResumeThread, -58
    kernel_call RFU060, 60
    kernel_call RFU061, 61
    kernel_call EndOfHeap, 62
    kernel_call RFU063, 63
    kernel_call CreateSema, 64
    kernel_call DeleteSema, 65
    kernel_call SignalSema, 66
    kernel_call iSignalSema, -67
    kernel_call WaitSema, 68
    kernel_call PollSema, 69
    kernel_call iPollSema, -70
    kernel_call ReferSemaStatus, 71
    kernel_call iReferSemaStatus, -72
    kernel_call iDeleteSema, -73
    kernel_call EnableDmacHandler, 94
    kernel_call DisableDmacHandler, 95
    kernel_call GetCop0, 99
    kernel_call GsGetIMR, 112
    kernel_call GsPutIMR, 113
    kernel_call sceSifDmaStat, 118
    kernel_call sceSifSetDma, 119
    kernel_call sceSifSetDChain, 120
    kernel_call sceSifSetReg, 121
    kernel_call sceSifGetReg, 122
    kernel_call Deci2Call, 124
    kernel_call isceSifSetDChain, 136
    kernel_call isceSifDmaStat, 138
    kernel_call iGsPutIMR, 143
    kernel_call iGsGetIMR, 144
    kernel_call iGetCop0, 153
