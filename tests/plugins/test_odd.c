/* Libraries the host must refuse or treat with care, one source built
   several ways:
   - ODD_KIND set: a library of that kind mask exporting only PS2EgetLibType
     and the init entry point of that kind (the "bare" plugins; kind 3, GS
     and PAD at once, is the wrong kind for every slot);
   - ODD_KIND unset: a GS entry point without PS2EgetLibType.
   Only the two-kind library (3) names itself. */
#include "plugin_record.h"

#ifdef ODD_KIND
uint32_t PS2EgetLibType(void) { return ODD_KIND; }
#if ODD_KIND == 3
/* The library of two kinds carries a name, so that the plugin selection
   lists it under both. */
const char* PS2EgetLibName(void) { return "Two kinds"; }
uint32_t PS2EgetLibVersion(void) { return 0x0001; }
#endif
#endif

#if !defined(ODD_KIND) || (ODD_KIND & PS2E_LT_GS)
int32_t GSinit(void) {
    record0("GSinit");
    return 0;
}
#endif

#if defined(ODD_KIND) && (ODD_KIND & PS2E_LT_PAD)
int32_t PADinit(uint32_t port) {
    record1("PADinit", port);
    return 0;
}
#endif

#if defined(ODD_KIND) && (ODD_KIND & PS2E_LT_SPU2)
int32_t SPU2init(void) {
    record0("SPU2init");
    return 0;
}
#endif

#if defined(ODD_KIND) && (ODD_KIND & PS2E_LT_CDVD)
int32_t CDVDinit(void) {
    record0("CDVDinit");
    return 0;
}
#endif
