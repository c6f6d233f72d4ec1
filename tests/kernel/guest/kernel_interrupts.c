/* Handler slots: a second handler replaces the first, removal keeps the
   address, the timer causes 9-14 have slots, and causes outside 0-14 or
   channels outside 0-9 record nothing. */
#include "kernel.h"

unsigned results[2];

int handlerA(int cause) { return cause; }
int handlerB(int cause) { return cause + 1; }

int main(void) {
    AddIntcHandler(2, handlerA, 0);
    AddIntcHandler(2, handlerB, 0);
    AddIntcHandler(5, handlerA, 0);
    results[0] = RemoveIntcHandler(5, 0);
    AddDmacHandler(9, handlerB, 0);
    AddDmacHandler(3, handlerA, 0);
    results[1] = RemoveDmacHandler(3, 0);
    AddIntcHandler(14, handlerA, 0);
    AddIntcHandler(15, handlerB, 0);
    AddDmacHandler(10, handlerA, 0);
    AddDmacHandler(-1, handlerA, 0);
    RemoveIntcHandler(12, 0);
    RemoveDmacHandler(-3, 0);
    return 0;
}
