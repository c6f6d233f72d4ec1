/* Guest side of the float differential test. */
#include "float_workload.h"

unsigned floatResults[kFloatWorkloadWords];

int main(void)
{
    floatWorkload(floatResults);
    return 0;
}
