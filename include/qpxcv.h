/* qpxCV: two-dimensional computer-vision primitives behind a plain C interface.
 *
 * Every image function takes images as (pointer to the first ROI element, row step in bytes)
 * pairs plus a ROI size, checks its arguments, and returns a qpxStatus. The library allocates
 * nothing: functions that need storage have a size query, and the caller provides the memory.
 *
 * This header compiles as C99 and as C++. */
#ifndef QPXCV_H
#define QPXCV_H

#include <stdint.h>

#if defined(QPXCV_BUILDING)
#define QPX_API __attribute__((visibility("default")))
#else
#define QPX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---------------------------------------------------------------------------------------------
 * Status codes: 0 is success, positive values are warnings, negative values are errors.
 * ------------------------------------------------------------------------------------------- */
typedef int32_t qpxStatus;

enum {
    qpxStatusOk = 0,
    qpxStatusNoPixelsWarning = 1,
    qpxStatusZeroDivisorWarning = 2,
    qpxStatusSizeOverflowWarning = 12,
    qpxStatusCapacityWarning = 33,
    qpxStatusKernelNotSymmetricWarning = 38,
    qpxStatusRoiTrimmedWarning = 48,

    qpxStatusBadArgument = -5,
    qpxStatusBadSize = -6,
    qpxStatusBadRange = -7,
    qpxStatusNullPointer = -8,
    qpxStatusBadValue = -11,
    qpxStatusContextMismatch = -13,
    qpxStatusBadMode = -14,
    qpxStatusBadStep = -16,
    qpxStatusBadThreshold = -19,
    qpxStatusBadMaskSize = -33,
    qpxStatusBadAnchor = -34,
    qpxStatusBadChannel = -47,
    qpxStatusDivisorZero = -51,
    qpxStatusBadCoi = -52,
    qpxStatusBadChannelCount = -53,
    qpxStatusBadMetrics = -56,
    qpxStatusBadDataType = -59,
    qpxStatusStepNotMultiple = -108,
    qpxStatusBadBorder = -225,
    qpxStatusBadNorm = -229,
    qpxStatusBadFilterType = -230,
    qpxStatusSizeTooLarge = -232,
    qpxStatusInPlaceNotSupported = -9998
};

/* ---------------------------------------------------------------------------------------------
 * Shared records
 * ------------------------------------------------------------------------------------------- */
typedef struct {
    int32_t width;
    int32_t height;
} qpxSize;

typedef struct {
    int64_t width;
    int64_t height;
} qpxSizeL;

typedef struct {
    int32_t x;
    int32_t y;
} qpxPoint;

typedef struct {
    float x;
    float y;
} qpxPoint_32f;

typedef struct {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
} qpxRect;

typedef struct {
    int32_t major;
    int32_t minor;
    int32_t majorBuild;
    int32_t build;
    char targetCpu[4];
    const char* Name;
    const char* Version;
    const char* BuildDate;
} qpxLibraryVersion;

/* ---------------------------------------------------------------------------------------------
 * Codes. They are plain integers so that C and C++ callers can combine and pass them freely.
 * ------------------------------------------------------------------------------------------- */
typedef int32_t qpxDataType;
enum {
    qpx1u = 0,
    qpx8u = 1,
    qpx16u = 5,
    qpx16s = 7,
    qpx32s = 11,
    qpx32f = 13,
    qpx64f = 19
};

typedef int32_t qpxMaskSize;
enum { qpxMskSize3x3 = 33, qpxMskSize5x5 = 55 };

typedef int32_t qpxDifferentialKernel;
enum { qpxFilterSobel = 2, qpxFilterScharr = 5, qpxFilterCentralDiff = 8 };

typedef int32_t qpxKernelType;
enum { qpxKernelSobel = 0, qpxKernelScharr = 1, qpxKernelSobelNeg = 2 };

typedef int32_t qpxNormType;
enum { qpxNormInf = 0, qpxNormL1 = 1, qpxNormL2 = 2, qpxNormFM = 3 };

typedef int32_t qpxEdgeNorm;
enum { qpxEdgeNormL1 = 2, qpxEdgeNormL2 = 4 };

/* Border code: extension kind in bits 0-3, in-memory side flags in bits 4-7, morphology stage
 * flags in bits 8-11. */
typedef uint32_t qpxBorderType;
enum {
    qpxBorderRepl = 1,
    qpxBorderWrap = 2,
    qpxBorderMirror = 3,
    qpxBorderMirrorR = 4,
    qpxBorderDefault = 5,
    qpxBorderConst = 6,
    qpxBorderInMemTop = 0x10,
    qpxBorderInMemBottom = 0x20,
    qpxBorderInMemLeft = 0x40,
    qpxBorderInMemRight = 0x80,
    qpxBorderInMem = 0xF0,
    qpxBorderStageInMemTop = 0x100,
    qpxBorderStageInMemBottom = 0x200,
    qpxBorderStageInMemLeft = 0x400,
    qpxBorderStageInMemRight = 0x800
};

/* ---------------------------------------------------------------------------------------------
 * Version
 * ------------------------------------------------------------------------------------------- */
QPX_API const qpxLibraryVersion* qpxcvGetLibVersion(void);

/* ---------------------------------------------------------------------------------------------
 * Accumulation and differencing (32f accumulator, 8u mask)
 * ------------------------------------------------------------------------------------------- */
QPX_API qpxStatus qpxiAdd_8u32f_C1IR(const uint8_t* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAdd_8u32f_C1IMR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAdd_16u32f_C1IR(const uint16_t* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAdd_16u32f_C1IMR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAdd_32f_C1IMR(const float* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);

QPX_API qpxStatus qpxiAddSquare_8u32f_C1IR(const uint8_t* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddSquare_8u32f_C1IMR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddSquare_16u32f_C1IR(const uint16_t* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddSquare_16u32f_C1IMR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddSquare_32f_C1IR(const float* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddSquare_32f_C1IMR(const float* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);

QPX_API qpxStatus qpxiAddProduct_8u32f_C1IR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddProduct_8u32f_C1IMR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddProduct_16u32f_C1IR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddProduct_16u32f_C1IMR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddProduct_32f_C1IR(const float* src1, int src1Step, const float* src2, int src2Step, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddProduct_32f_C1IMR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);

QPX_API qpxStatus qpxiAddWeighted_8u32f_C1IR(const uint8_t* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize, float alpha);
QPX_API qpxStatus qpxiAddWeighted_8u32f_C1IMR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize, float alpha);
QPX_API qpxStatus qpxiAddWeighted_16u32f_C1IR(const uint16_t* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize, float alpha);
QPX_API qpxStatus qpxiAddWeighted_16u32f_C1IMR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize, float alpha);
QPX_API qpxStatus qpxiAddWeighted_32f_C1IR(const float* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize, float alpha);
QPX_API qpxStatus qpxiAddWeighted_32f_C1IMR(const float* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize, float alpha);
QPX_API qpxStatus qpxiAddWeighted_32f_C1R(const float* src1, int src1Step, const float* src2, int src2Step, float* dst, int dstStep, qpxSize roiSize, float alpha);

QPX_API qpxStatus qpxiAbsDiff_8u_C1R(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, uint8_t* dst, int dstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAbsDiff_8u_C3R(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, uint8_t* dst, int dstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAbsDiff_16u_C1R(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, uint16_t* dst, int dstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAbsDiff_32f_C1R(const float* src1, int src1Step, const float* src2, int src2Step, float* dst, int dstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAbsDiffC_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, int value);
QPX_API qpxStatus qpxiAbsDiffC_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, int value);
QPX_API qpxStatus qpxiAbsDiffC_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, float value);

/* @@SEPARABLE@@ */

/* @@GAUSSIAN@@ */

/* @@FIXED_FILTERS@@ */

/* @@MORPHOLOGY@@ */

/* @@ADV_MORPHOLOGY@@ */

/* @@RECONSTRUCTION@@ */

/* @@CANNY@@ */

/* @@CORNERS@@ */

#ifdef __cplusplus
}
#endif

#endif /* QPXCV_H */
