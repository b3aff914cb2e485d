/* The exported header is plain C: this file compiles it with the C compiler and reports the
 * record sizes as C sees them, so C and C++ callers agree on every layout. */
#include "QuarryDeviceDriver.h"

size_t QuarryHeaderSizeFromC(int which)
{
    switch (which) {
    case 0: return sizeof(QdmScanRecord);
    case 1: return sizeof(BasicInfo);
    case 2: return sizeof(HwInfoRecord);
    case 3: return sizeof(GlobalSettingRecord);
    case 4: return sizeof(DspParamInfo);
    case 5: return sizeof(QdoGlobalSettingInput);
    case 6: return sizeof(QdoParamImage);
    case 7: return offsetof(QdmScanRecord, serial);
    default: return 0;
    }
}
