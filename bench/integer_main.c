/* Guest side of the integer benchmark: the answer is left in v0. */
#include "integer_workload.h"

int main(void) { return (int)integerWorkload(INTEGER_WORKLOAD_ROUNDS); }
