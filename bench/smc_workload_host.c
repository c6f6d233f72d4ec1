/* Host side of the self-modifying benchmark: the sum that the rewritten
   instructions add up. */
#include "smc_workload.h"

unsigned smcWorkloadAnswer(unsigned rounds) {
    unsigned sum = 0;
    for (unsigned round = 0; round < rounds; ++round) sum += round & 0x7FFF;
    return sum;
}
