/* Guest side of the differential tests: runs each workload into its own
   array; the test compares them with the same workloads run on the host. */
#include "workloads.h"

unsigned integerResults[kIntegerWorkloadWords];
unsigned wideResults[kWideWorkloadWords];
unsigned sortResults[kSortWorkloadWords];
unsigned hashResults[kHashWorkloadWords];
unsigned stringResults[kStringWorkloadWords];

int main(void)
{
    integerWorkload(integerResults);
    wideWorkload(wideResults);
    sortWorkload(sortResults);
    hashWorkload(hashResults);
    stringWorkload(stringResults);
    return 0;
}
