/* The EE kernel calls that the emulated kernel answers. Each function is a
   SYSCALL with its call number in v1 (guest/lib/kernel.S).

   Results: the kernel fills all 64 bits of v0, but C code compiled for the
   32-bit ABI sees only the low word; a program that cares about the high
   word calls the kernel from assembly. */
#ifndef CORVANE_GUEST_KERNEL_H
#define CORVANE_GUEST_KERNEL_H

/* The 48-byte thread parameter block of CreateThread; ReferThreadStatus
   fills status, currentPriority and option of the same layout. */
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
    int waitType;
    int waitId;
    int wakeupCount;
};

/* The 24-byte semaphore parameter block of CreateSema. */
struct SemaParam {
    int count;
    int maxCount;
    int initCount;
    int waitThreads; /* a negative value makes SignalSema leave the count */
    unsigned attr;
    unsigned option;
};

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

/* Threads are recorded, never run; thread 0 is the caller. */
int CreateThread(struct ThreadParam *param);
int StartThread(int id, void *arg);
int ChangeThreadPriority(int id, int priority);
int GetThreadId(void);
int ReferThreadStatus(int id, struct ThreadParam *status);
int SleepThread(void);

/* Semaphores never block: WaitSema on a zero count returns at once. */
int CreateSema(struct SemaParam *param);
int DeleteSema(int id);
int SignalSema(int id);
int WaitSema(int id);
int PollSema(int id);

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
