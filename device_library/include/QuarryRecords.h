/* The fixed-size records that cross the device library's exported interface.
 * Every record is caller-owned; the library copies into or out of it. Multi-byte fields are
 * little-endian (the host order of every platform the library builds for). Plain C so the
 * exported header can include it from C and C++ callers alike. */
#ifndef QUARRY_RECORDS_H
#define QUARRY_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define QUARRY_RECORD_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define QUARRY_RECORD_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/* Identity and version texts of the connected amplifier (QDO_ReadBasicInfo). Each text is the
 * raw 16 bytes of its flash block followed by a zero byte, so it is terminated even when full. */
typedef struct BasicInfo {
    uint8_t modelCode;          /* flash 0x56000 (product 0xA210) or 0x55000 (0xA200) */
    uint8_t reserved1[3];       /* zero */
    uint32_t runningBootLoader; /* 1: boot loader answered the identity test, 0: application */
    uint32_t flagWord;          /* bit 0 of flash byte 0x50000 */
    uint8_t text52000[16];      /* firmware version text */
    uint8_t terminator1;
    uint8_t text54000[16];
    uint8_t terminator2;
    uint8_t text53000[16];
    uint8_t terminator3;
    uint8_t text55000[16];      /* product 0xA210 only; zero for 0xA200 */
    uint8_t terminator4;
    uint8_t mcuInfo[8];         /* MCU memory 0xC0-0xC7 */
    uint8_t reserved2[4];       /* zero */
} BasicInfo;

QUARRY_RECORD_ASSERT(sizeof(BasicInfo) == 92, "BasicInfo is 92 bytes");
QUARRY_RECORD_ASSERT(offsetof(BasicInfo, runningBootLoader) == 4, "BasicInfo layout");
QUARRY_RECORD_ASSERT(offsetof(BasicInfo, flagWord) == 8, "BasicInfo layout");
QUARRY_RECORD_ASSERT(offsetof(BasicInfo, text52000) == 12, "BasicInfo layout");
QUARRY_RECORD_ASSERT(offsetof(BasicInfo, text54000) == 29, "BasicInfo layout");
QUARRY_RECORD_ASSERT(offsetof(BasicInfo, text53000) == 46, "BasicInfo layout");
QUARRY_RECORD_ASSERT(offsetof(BasicInfo, text55000) == 63, "BasicInfo layout");
QUARRY_RECORD_ASSERT(offsetof(BasicInfo, mcuInfo) == 80, "BasicInfo layout");

/* Hardware information (QDO_ReadHwInfo): bytes 0-11 and byte 14 of the 15 bytes at flash 0x57000.
 * Their meaning belongs to the editor. */
typedef struct HwInfoRecord {
    uint8_t bytes[13];
} HwInfoRecord;

QUARRY_RECORD_ASSERT(sizeof(HwInfoRecord) == 13, "HwInfoRecord is 13 bytes");

/* One copy of the amplifier's global settings (QDO_ReadGlobalSettingInfo and
 * QDO_ReadGlobalSettingInfoFromMCU). Contents belong to the editor. */
typedef struct GlobalSettingRecord {
    uint8_t bytes[2048];
} GlobalSettingRecord;

QUARRY_RECORD_ASSERT(sizeof(GlobalSettingRecord) == 2048, "GlobalSettingRecord is 2048 bytes");

/* Input of QDO_UpgradeGlobalSetting: a 2-byte header followed by the 2048-byte record, so that
 * QDO_ReadGlobalSettingInfoFromMCU afterwards returns `record`. */
typedef struct QdoGlobalSettingInput {
    uint8_t header[2];
    uint8_t record[2048];
} QdoGlobalSettingInput;

QUARRY_RECORD_ASSERT(sizeof(QdoGlobalSettingInput) == 2050, "global-setting input is 2050 bytes");

/* The DSP parameter data of the four channels (QDO_ReadDspParamInfo, QDO_ReadDspParamInfoFromMCU):
 * the parameter-data areas of the block types in the order the editor's parameter image holds
 * them, each made of four per-channel parts (channel 0 first). The library never writes
 * `inputGain`; the caller's bytes stay. */
typedef struct DspParamInfo {
    uint8_t inputGain[4];        /* block type 1: not written by the library */
    uint8_t inputEq[4][256];     /* block type 2 */
    uint8_t matrixMixer[4][128]; /* block type 11 */
    uint8_t crossover[4][256];   /* block type 4 */
    uint8_t speakerEq[4][256];   /* block type 5 */
    uint8_t limiter[4][128];     /* block type 12 */
    uint8_t delay[4][128];       /* block type 7 */
    uint8_t polarity[4][128];    /* block type 8 */
} DspParamInfo;

QUARRY_RECORD_ASSERT(sizeof(DspParamInfo) == 5124, "DspParamInfo is 5124 bytes");
QUARRY_RECORD_ASSERT(offsetof(DspParamInfo, inputEq) == 4, "DspParamInfo layout");
QUARRY_RECORD_ASSERT(offsetof(DspParamInfo, matrixMixer) == 1028, "DspParamInfo layout");
QUARRY_RECORD_ASSERT(offsetof(DspParamInfo, crossover) == 1540, "DspParamInfo layout");
QUARRY_RECORD_ASSERT(offsetof(DspParamInfo, speakerEq) == 2564, "DspParamInfo layout");
QUARRY_RECORD_ASSERT(offsetof(DspParamInfo, limiter) == 3588, "DspParamInfo layout");
QUARRY_RECORD_ASSERT(offsetof(DspParamInfo, delay) == 4100, "DspParamInfo layout");
QUARRY_RECORD_ASSERT(offsetof(DspParamInfo, polarity) == 4612, "DspParamInfo layout");

/* The editor's 9000-byte parameter write image, the input of QDO_UpgradeDSPParam and
 * QDO_WriteMCUbyID: a 64-bit dirty mask followed by the coefficient and parameter areas of every
 * block type. Kept as bytes: the areas hold little-endian doubles at offsets that are not
 * all 8-byte aligned. */
typedef struct QdoParamImage {
    uint8_t bytes[9000];
} QdoParamImage;

QUARRY_RECORD_ASSERT(sizeof(QdoParamImage) == 9000, "parameter image is 9000 bytes");

#undef QUARRY_RECORD_ASSERT

#endif
