/* See integer_workload.c. */
#ifndef CORVANE_BENCH_INTEGER_WORKLOAD_H
#define CORVANE_BENCH_INTEGER_WORKLOAD_H

#ifdef __cplusplus
extern "C" {
#endif

unsigned integerWorkload(unsigned rounds);

#ifdef __cplusplus
}
#endif

/* Sized for about a thousand million guest instructions. */
#define INTEGER_WORKLOAD_ROUNDS 150000u

#endif
