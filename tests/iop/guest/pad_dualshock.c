/* How the SDK's controller library learns about a DualShock once a port
   is open. Second protocol: by command, the current mode before and after
   setting the DualShock mode, the button mask (pressure sensitivity) and
   the actuators (the mode table search is in the SDK start-up test). First
   protocol: the mode table, current mode and actuators are read from the
   port area; only the mode change and the button mask are commands. */
#include "pad.h"

#define CMD_SECOND(n) (0x80000100u + (n))
#define INFO_ACT 2
#define INFO_MODE 4
#define SET_MAIN_MODE 5
#define SET_ACT_ALIGN 7
#define GET_BUTTON_MASK 8
#define SET_VREF 10

#define MODE_CUR_ID 1
#define TYPE_DUALSHOCK 7
#define MAIN_MODE_DUALSHOCK 1
#define MAIN_MODE_LOCK 3

unsigned char areaFirst[PAD_AREA_BYTES] __attribute__((aligned(64)));
unsigned char areaSecond[PAD_AREA_BYTES] __attribute__((aligned(64)));
unsigned results[16];

static unsigned ask(unsigned server, unsigned command, unsigned port, int arg3, int arg4, unsigned resultWord) {
    const unsigned request[8] = {command, port, 0, (unsigned)arg3, (unsigned)arg4, 0, 0, 0};
    unsigned reply[8];
    for (unsigned i = 0; i < 8; ++i) reply[i] = request[i];  /* the library sends and receives in one buffer */
    if (padCall(server, request, reply) != 0) return 0xDEAD;
    return reply[resultWord];
}

static unsigned askSecond(unsigned command, int arg3, int arg4, unsigned resultWord) {
    return ask(PAD_SERVER_SECOND, CMD_SECOND(command), 1, arg3, arg4, resultWord);
}

static unsigned areaTableEntry(unsigned index) { return areaFirst[80 + 2 * index] | areaFirst[81 + 2 * index] << 8; }

static unsigned findDualShockInArea(void) {
    if (areaFirst[114] != 1 || areaFirst[100] < 2) return 0xFE;
    for (unsigned i = 0; i < areaFirst[104]; ++i) {
        if (areaTableEntry(i) == TYPE_DUALSHOCK) return i;
    }
    return 0xFF;
}

int main(void) {
    results[0] = padOpen(PAD_SERVER_SECOND, 1, areaSecond);
    results[1] = askSecond(INFO_MODE, MODE_CUR_ID, 0, 5);
    results[2] = askSecond(SET_MAIN_MODE, MAIN_MODE_DUALSHOCK, MAIN_MODE_LOCK, 5);
    results[3] = askSecond(INFO_MODE, MODE_CUR_ID, 0, 5);
    results[4] = askSecond(GET_BUTTON_MASK, 0, 0, 3);
    results[5] = askSecond(INFO_ACT, -1, 0, 5);
    results[6] = askSecond(SET_ACT_ALIGN, 0, 0, 5);
    results[7] = askSecond(SET_VREF, 0, 0, 3) | askSecond(SET_VREF, 0, 0, 4) | askSecond(SET_VREF, 0, 0, 5);

    results[8] = padOpen(PAD_SERVER_FIRST, 0, areaFirst);
    results[9] = findDualShockInArea();
    results[10] = areaFirst[101] >> 4;
    results[11] = ask(PAD_SERVER_FIRST, 6, 0, MAIN_MODE_DUALSHOCK, MAIN_MODE_LOCK, 5);
    results[12] = areaFirst[101] >> 4;
    results[13] = areaFirst[106];
    results[14] = ask(PAD_SERVER_FIRST, 9, 0, 0, 0, 3);
    return 0;
}
