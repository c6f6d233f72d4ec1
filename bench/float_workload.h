/* See float_workload.c. */
#ifndef CORVANE_BENCH_FLOAT_WORKLOAD_H
#define CORVANE_BENCH_FLOAT_WORKLOAD_H

#ifdef __cplusplus
extern "C" {
#endif

unsigned floatWorkload(unsigned rounds);

#ifdef __cplusplus
}
#endif

/* Sized for a few hundred million guest instructions. */
#define FLOAT_WORKLOAD_ROUNDS 200000u

#endif
