/* C workloads compiled both into the test executable and for the guest;
   the guest's results must match the host's word for word. Only types
   that mean the same on both sides are used: unsigned int and int are 32
   bits, unsigned long long and long long 64. */
#ifndef CORVANE_TESTS_WORKLOADS_H
#define CORVANE_TESTS_WORKLOADS_H

#ifdef __cplusplus
extern "C" {
#endif

enum {
    kIntegerWorkloadWords = 16,
    kWideWorkloadWords = 36,
    kSortWorkloadWords = 3,
    kHashWorkloadWords = 7,
    kStringWorkloadWords = 19,
};

void integerWorkload(unsigned *out);
void wideWorkload(unsigned *out);
void sortWorkload(unsigned *out);
void hashWorkload(unsigned *out);
void stringWorkload(unsigned *out);

#ifdef __cplusplus
}
#endif

#endif
