/* Guest side of the float benchmark: the answer is left in v0. */
#include "float_workload.h"

int main(void) { return (int)floatWorkload(FLOAT_WORKLOAD_ROUNDS); }
