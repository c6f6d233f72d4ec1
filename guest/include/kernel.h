/* The EE kernel calls that the emulated kernel answers. Each function is a
   SYSCALL with its call number in v1 (guest/lib/kernel.S).

   Results: the kernel fills all 64 bits of v0, but C code compiled for the
   32-bit ABI sees only the low word; a program that cares about the high
   word calls the kernel from assembly. */
#ifndef CORVANE_GUEST_KERNEL_H
#define CORVANE_GUEST_KERNEL_H

/* The 36-byte thread parameter block of CreateThread. The kernel reads
   entry, stack, stackSize, gp, initPriority, attr and option. */
struct ThreadParam {
    int status;
    void (*entry)(void *);
    void *stack;
    int stackSize;
    void *gp;
    int initPriority;
    int currentPriority;
    unsigned attr;
    unsigned option;
};

/* The 48-byte block that ReferThreadStatus fills. */
struct ThreadStatus {
    int status;
    void (*entry)(void *);
    void *stack;
    int stackSize;
    void *gp;
    int initPriority;
    int currentPriority;
    unsigned attr;
    unsigned option;
    int waitType;
    int waitId;
    int wakeupCount;
};

/* Thread status codes, as ReferThreadStatus reports them. */
#define THS_RUN 1
#define THS_READY 2
#define THS_WAIT 4
#define THS_SUSPEND 8
#define THS_WAITSUSPEND 12
#define THS_DORMANT 16

/* The 24-byte semaphore parameter block of CreateSema; ReferSemaStatus
   fills the same layout, with waitThreads the number of waiting threads.
   A semaphore starts at initCount; count is not read. */
struct SemaParam {
    int count;
    int maxCount;
    int initCount;
    int waitThreads;
    unsigned attr;
    unsigned option;
};

/* Ends the program with an exit code. */
void Exit(int code);

/* Display set-up: interlace is non-zero for an interlaced display. */
void SetGsCrt(int interlace, int mode, int field);

/* Interrupt handlers, one per INTC cause (0-14) or DMA channel (0-9). */
int AddIntcHandler(int cause, int (*handler)(int), int next);
int RemoveIntcHandler(int cause, int handlerId);
int AddDmacHandler(int channel, int (*handler)(int), int next);
int RemoveDmacHandler(int channel, int handlerId);
/* Mask and unmask a cause or channel: 1 when the mask changed, else 0. */
int _EnableIntc(int cause);
int _DisableIntc(int cause);
int _EnableDmac(int channel);
int _DisableDmac(int channel);
int EnableDmacHandler(int channel);
int DisableDmacHandler(int channel);

/* Threads run by priority, 0 the most urgent; the program starts as thread
   1 at priority 0. Thread id 0 names the calling thread. Calls answer the
   thread id, or -1. The i-variants are for interrupt handlers and alarm
   callbacks: a thread they ready runs once the handler has returned. */
int CreateThread(struct ThreadParam *param);
int DeleteThread(int id);
int StartThread(int id, void *arg);
void ExitThread(void);
void ExitDeleteThread(void);
int TerminateThread(int id);
int iTerminateThread(int id);
int ChangeThreadPriority(int id, int priority);
int iChangeThreadPriority(int id, int priority);
int RotateThreadReadyQueue(int priority);
int iRotateThreadReadyQueue(int priority);
int ReleaseWaitThread(int id);
int iReleaseWaitThread(int id);
int GetThreadId(void);
int ReferThreadStatus(int id, struct ThreadStatus *status);
int iReferThreadStatus(int id, struct ThreadStatus *status);
int SleepThread(void);
int WakeupThread(int id);
int iWakeupThread(int id);
int CancelWakeupThread(int id);
int iCancelWakeupThread(int id);
int SuspendThread(int id);
int iSuspendThread(int id);
int ResumeThread(int id);
int iResumeThread(int id);
/* While dispatching is disabled the calling thread keeps the processor:
   threads that become ready wait until it is enabled again, and the
   caller's own waits answer -1 at once. */
void DisableDispatchThread(void);
void EnableDispatchThread(void);

/* Semaphores: WaitSema blocks on a zero count; a deleted semaphore's
   waiters get -1. */
int CreateSema(struct SemaParam *param);
int DeleteSema(int id);
int iDeleteSema(int id);
int SignalSema(int id);
int iSignalSema(int id);
int WaitSema(int id);
int PollSema(int id);
int iPollSema(int id);
int ReferSemaStatus(int id, struct SemaParam *status);
int iReferSemaStatus(int id, struct SemaParam *status);

/* Alarms: the callback runs once, as an interrupt handler, after `time`
   horizontal syncs. */
int SetAlarm(unsigned short time, void (*callback)(int id, unsigned short time, void *common), void *common);
int iSetAlarm(unsigned short time, void (*callback)(int id, unsigned short time, void *common), void *common);
int ReleaseAlarm(int id);
int iReleaseAlarm(int id);

/* RFU060 answers the caller's sp, RFU061 the sum of its arguments;
   RFU063, GetCop0 and iGetCop0 read COP0 register reg. */
void *RFU060(void);
unsigned RFU061(unsigned a, unsigned b);
void *EndOfHeap(void);
unsigned RFU063(int reg);
unsigned GetCop0(int reg);
unsigned iGetCop0(int reg);

/* The GS interrupt mask. The full register is 64 bits; from C only its low
   word is seen, and GsPutIMR's value is sign-extended to 64 bits. */
unsigned GsGetIMR(void);
void GsPutIMR(int imr);
unsigned iGsGetIMR(void);
void iGsPutIMR(int imr);

/* SIF: the path to the IOP. */
int sceSifDmaStat(unsigned id);
int isceSifDmaStat(unsigned id);
unsigned sceSifSetDma(void *descriptors, int count);
void sceSifSetDChain(void);
void isceSifSetDChain(void);
void sceSifSetReg(unsigned reg, unsigned value);
unsigned sceSifGetReg(unsigned reg);

/* The debug channel: 1 registers a buffer, 3 clears its word 3. */
int Deci2Call(int call, void *param);

#endif
