#include "iop/iop_services.h"

#include "iop/cdvd_service.h"
#include "iop/file_service.h"
#include "iop/module_loader.h"
#include "iop/sif_rpc.h"

void iopServicesReset() {
    fileServiceReset();
    resetModuleIds();
}

void iopServicesPowerOn() {
    iopServicesReset();
    iopVersion = kIopVersionAtStart;
    archivePath.clear();
    discMediaType = kDiscMediaTypeAtStart;
    trayChanged = 0;
}
