// The kernel objects that the system calls record: interrupt and DMA
// handler slots, threads and semaphores.
#pragma once

void kernelReset();
