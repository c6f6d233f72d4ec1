/* The multimedia benchmark: mmi_workload.S runs it on the guest,
   mmi_workload_host.c computes on the host the answer it must leave in v0. */
#ifndef CORVANE_BENCH_MMI_WORKLOAD_H
#define CORVANE_BENCH_MMI_WORKLOAD_H

/* Sized for about 260 million guest instructions (13 a round). */
#define MMI_WORKLOAD_ROUNDS 20000000

#ifndef __ASSEMBLER__
#ifdef __cplusplus
extern "C" {
#endif

unsigned mmiWorkloadAnswer(unsigned rounds);

#ifdef __cplusplus
}
#endif
#endif

#endif
