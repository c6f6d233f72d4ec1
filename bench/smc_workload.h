/* The self-modifying benchmark: smc_workload.S rewrites an instruction and
   then runs it, every round; smcWorkloadAnswer computes on the host the
   answer it must leave in v0. */
#ifndef CORVANE_BENCH_SMC_WORKLOAD_H
#define CORVANE_BENCH_SMC_WORKLOAD_H

/* Sized for about 140 million guest instructions (7 a round). */
#define SMC_WORKLOAD_ROUNDS 20000000

#ifndef __ASSEMBLER__
#ifdef __cplusplus
extern "C" {
#endif

unsigned smcWorkloadAnswer(unsigned rounds);

#ifdef __cplusplus
}
#endif
#endif

#endif
