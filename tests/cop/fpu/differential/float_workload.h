/* A float workload compiled into the test executable and for the guest;
   the guest's results must match the host's bit for bit. */
#ifndef CORVANE_TESTS_FLOAT_WORKLOAD_H
#define CORVANE_TESTS_FLOAT_WORKLOAD_H

#ifdef __cplusplus
extern "C" {
#endif

enum { kFloatWorkloadWords = 48 };

void floatWorkload(unsigned *out);

#ifdef __cplusplus
}
#endif

#endif
