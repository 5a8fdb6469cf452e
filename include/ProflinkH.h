// Proflink: the instrument profile library's exports and reply records.
//
// The records are wire formats: little-endian, packed, at the offsets asserted
// below. Every export passes the device index through to QuorxComDll and returns
// its result codes unchanged (0, the instrument's status 1..255, or 256..289).
#pragma once

#include "QuorxComDllH.h"

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(PROFLINK_BUILD)
#define PROFLINK_API __declspec(dllexport)
#else
#define PROFLINK_API __declspec(dllimport)
#endif
#else
#define PROFLINK_API
#endif

#pragma pack(push, 1)

// Time of a measurement; day, month and year all 0: Seconds counts from the
// start of the measurement.
typedef struct TMeasStamp {
    uint8_t Day;
    uint8_t Month;
    uint16_t Year;
    uint32_t Seconds;
} TMeasStamp;

// Bits of TChamberMeas.Status.
typedef uint16_t TChamberStatus;
enum : TChamberStatus {
    csAnalysing = 0x0001,
    csStable = 0x0002,
    csOpen = 0x0004,
    csNoReader = 0x0008,
    csHumidityValid = 0x0010,
    csTemperatureValid = 0x0020,
    csSensorOn = 0x0040,
    csProgressMask = 0x3F00, // progress 0..63 in bits 8..13
    csPresent = 0x8000,
};

typedef struct TChamberMeas {
    int16_t Humidity;    // aw = raw / 10000, %RH = raw / 100
    int16_t Temperature; // degrees C = raw / 100
    int16_t Third;       // raw / 10
    uint32_t Elapsed;    // seconds of the current run
    TChamberStatus Status;
} TChamberMeas;

typedef struct TMEASall {
    TMeasStamp Stamp;
    TChamberMeas Chamber[10];
} TMEASall;

typedef struct TMeas {
    TMeasStamp Stamp;
    TChamberMeas Chamber;
} TMeas;

typedef struct TStab {
    int16_t Humidity;
    int16_t Temperature;
    uint32_t Seconds;
} TStab;

typedef struct TStabAll {
    uint8_t Data[82]; // passed through as the instrument sends it
} TStabAll;

typedef struct TDevUnits {
    uint8_t HumidityMode;    // 0 water activity, 1 relative humidity
    uint8_t TemperatureUnit; // 0 C, 1 F
    uint8_t DateFormat;      // 0 dd.mm.yyyy, 1 mm.dd.yyyy, 2 yyyy.mm.dd
} TDevUnits;

typedef struct TDevText {
    char Text[21]; // at most 20 characters, NUL-terminated and NUL-padded
} TDevText;

typedef struct TDevTextAll {
    TDevText Text[10];
} TDevTextAll;

#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(TMeasStamp) == 8);
static_assert(offsetof(TMeasStamp, Month) == 1 && offsetof(TMeasStamp, Year) == 2 &&
              offsetof(TMeasStamp, Seconds) == 4);
static_assert(sizeof(TChamberMeas) == 12);
static_assert(offsetof(TChamberMeas, Temperature) == 2 && offsetof(TChamberMeas, Third) == 4 &&
              offsetof(TChamberMeas, Elapsed) == 6 && offsetof(TChamberMeas, Status) == 10);
static_assert(sizeof(TMEASall) == 128);
static_assert(offsetof(TMEASall, Chamber) == 8 && offsetof(TMEASall, Chamber[1]) == 8 + 12);
static_assert(offsetof(TMEASall, Chamber[3].Status) == 18 + 12 * 3 &&
              offsetof(TMEASall, Chamber[9].Status) == 18 + 12 * 9);
static_assert(sizeof(TMeas) == 20 && offsetof(TMeas, Chamber) == 8);
static_assert(sizeof(TStab) == 8 && offsetof(TStab, Temperature) == 2 &&
              offsetof(TStab, Seconds) == 4);
static_assert(sizeof(TStabAll) == 82);
static_assert(sizeof(TDevUnits) == 3 && offsetof(TDevUnits, TemperatureUnit) == 1 &&
              offsetof(TDevUnits, DateFormat) == 2);
static_assert(sizeof(TDevText) == 21);
static_assert(sizeof(TDevTextAll) == 210 && offsetof(TDevTextAll, Text[1]) == 21);
#endif

#ifdef __cplusplus
extern "C" {
#endif

PROFLINK_API TLinkResult QUORX_CALL GetSWVers(TDevIndex Index, int32_t Slot, TDevText* Buf);
PROFLINK_API TLinkResult QUORX_CALL GetSWVersAll(TDevIndex Index, TDevTextAll* Buf);
PROFLINK_API TLinkResult QUORX_CALL SetMeasEvent(TDevIndex Index, uint8_t Value);
PROFLINK_API TLinkResult QUORX_CALL GetMeasEvent(TDevIndex Index, uint8_t* Buf);
PROFLINK_API TLinkResult QUORX_CALL GetMeas(TDevIndex Index, int32_t Slot, TMeas* Buf);
PROFLINK_API TLinkResult QUORX_CALL GetMeasAll(TDevIndex Index, TMEASall* Buf);
PROFLINK_API TLinkResult QUORX_CALL GetStab(TDevIndex Index, int32_t Slot, TStab* Buf);
PROFLINK_API TLinkResult QUORX_CALL GetStabAll(TDevIndex Index, TStabAll* Buf);
PROFLINK_API TLinkResult QUORX_CALL GetIDSerial(TDevIndex Index, int32_t Slot, TDevText* Buf);
PROFLINK_API TLinkResult QUORX_CALL GetIDSerialAll(TDevIndex Index, TDevTextAll* Buf);
PROFLINK_API TLinkResult QUORX_CALL GetDevUnits(TDevIndex Index, TDevUnits* Buf);
PROFLINK_API TLinkResult QUORX_CALL GetDevUser(TDevIndex Index, TDevText* Buf);
PROFLINK_API TLinkResult QUORX_CALL EventDataToTMEASall(const void* Src, int32_t Len,
                                                        TMEASall* Dst);

#ifdef __cplusplus
}
#endif
