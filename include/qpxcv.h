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

/* ---------------------------------------------------------------------------------------------
 * Separable filtering: a spec-based whole-image filter, and its row and column stages alone
 * ------------------------------------------------------------------------------------------- */
/* Spec of qpxiFilterSeparable, filled by qpxiFilterSeparableInit_32f or _16s. The kernel
 * coefficients (row kernel, then column kernel) follow the record in the caller's memory, and the
 * kernel pointers point at them: a spec must not be moved after Init. */
typedef struct {
    int32_t kernelKind; /* 1: float kernels, 0: int16 kernels */
    int32_t kernelWidth;
    int32_t kernelHeight;
    int32_t divisor;
    int32_t scaleFactor;
    int16_t* rowKernel16s;
    float* rowKernel32f;
    int16_t* colKernel16s;
    float* colKernel32f;
    int32_t numChannels;
} qpxFilterSeparableSpec;

QPX_API qpxStatus qpxiFilterSeparableGetSpecSize(qpxSize kernelSize, qpxDataType dataType, int numChannels, int* specSize);
QPX_API qpxStatus qpxiFilterSeparableGetBufferSize(qpxSize roiSize, qpxSize kernelSize, qpxDataType dataType, qpxDataType kernelType, int numChannels, int* bufferSize);
QPX_API qpxStatus qpxiFilterSeparableInit_32f(const float* rowKernel, const float* columnKernel, qpxSize kernelSize, qpxDataType dataType, int numChannels, qpxFilterSeparableSpec* spec);
QPX_API qpxStatus qpxiFilterSeparableInit_16s(const int16_t* rowKernel, const int16_t* columnKernel, qpxSize kernelSize, int divisor, int scaleFactor, qpxDataType dataType, int numChannels, qpxFilterSeparableSpec* spec);
QPX_API qpxStatus qpxiFilterSeparable_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_8u16s_C1R(const uint8_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_8u16s_C3R(const uint8_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_8u16s_C4R(const uint8_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_16s_C3R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const int16_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_16s_C4R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const int16_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_16u_C3R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint16_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_16u_C4R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint16_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
/* 64-bit forms: the same operations with 64-bit sizes and steps; values above 2^31-1 give
 * qpxStatusSizeTooLarge. The apply functions mask the denormal-operand exception during the call. */
QPX_API qpxStatus qpxiFilterSeparableGetSpecSize_L(qpxSizeL kernelSize, qpxDataType dataType, int numChannels, int64_t* specSize);
QPX_API qpxStatus qpxiFilterSeparableGetBufferSize_L(qpxSizeL roiSize, qpxSizeL kernelSize, qpxDataType dataType, qpxDataType kernelType, int numChannels, int64_t* bufferSize);
QPX_API qpxStatus qpxiFilterSeparableInit_32f_L(const float* rowKernel, const float* columnKernel, qpxSizeL kernelSize, qpxDataType dataType, int numChannels, qpxFilterSeparableSpec* spec);
QPX_API qpxStatus qpxiFilterSeparableInit_16s_L(const int16_t* rowKernel, const int16_t* columnKernel, qpxSizeL kernelSize, int divisor, int scaleFactor, qpxDataType dataType, int numChannels, qpxFilterSeparableSpec* spec);
QPX_API qpxStatus qpxiFilterSeparable_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_8u16s_C1R_L(const uint8_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_8u16s_C3R_L(const uint8_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_8u16s_C4R_L(const uint8_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_16s_C3R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const int16_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_16s_C4R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const int16_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_16u_C3R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint16_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_16u_C4R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint16_t* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSeparable_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxFilterSeparableSpec* spec, uint8_t* buffer);
/* Row stage: filters each ROI row with horizontal border extension into ppDst[row]. The 32f C3
 * stage takes three border values; the integer stages take one value for every channel. */
QPX_API qpxStatus qpxiFilterRowBorderPipeline_32f_C1R(const float* src, int srcStep, float** ppDst, qpxSize roiSize, const float* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, float borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_32f_C3R(const float* src, int srcStep, float** ppDst, qpxSize roiSize, const float* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, const float* borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_8u16s_C1R(const uint8_t* src, int srcStep, int16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, uint8_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_8u16s_C3R(const uint8_t* src, int srcStep, int16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, uint8_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_16s_C1R(const int16_t* src, int srcStep, int16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, int16_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_16s_C3R(const int16_t* src, int srcStep, int16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, int16_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_16u_C1R(const uint16_t* src, int srcStep, uint16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, uint16_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_16u_C3R(const uint16_t* src, int srcStep, uint16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, uint16_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_Low_16s_C1R(const int16_t* src, int srcStep, int16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, int16_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_Low_16s_C3R(const int16_t* src, int srcStep, int16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, int16_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipelineGetBufferSize_32f_C1R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterRowBorderPipelineGetBufferSize_32f_C3R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterRowBorderPipelineGetBufferSize_8u16s_C1R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterRowBorderPipelineGetBufferSize_8u16s_C3R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterRowBorderPipelineGetBufferSize_16s_C1R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterRowBorderPipelineGetBufferSize_16s_C3R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterRowBorderPipelineGetBufferSize_16u_C1R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterRowBorderPipelineGetBufferSize_16u_C3R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterRowBorderPipelineGetBufferSize_Low_16s_C1R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterRowBorderPipelineGetBufferSize_Low_16s_C3R(qpxSize roiSize, int kernelSize, int* bufferSize);
/* Column stage: dst row y = sum over j of kernel[j] * ppSrc[y + j]; ppSrc has
 * roiSize.height + kernelSize - 1 rows, the vertical border being the caller's. */
QPX_API qpxStatus qpxiFilterColumnPipeline_32f_C1R(const float* const* ppSrc, float* dst, int dstStep, qpxSize roiSize, const float* kernel, int kernelSize, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_32f_C3R(const float* const* ppSrc, float* dst, int dstStep, qpxSize roiSize, const float* kernel, int kernelSize, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16s_C1R(const int16_t* const* ppSrc, int16_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16s_C3R(const int16_t* const* ppSrc, int16_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16s8u_C1R(const int16_t* const* ppSrc, uint8_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16s8u_C3R(const int16_t* const* ppSrc, uint8_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16s8s_C1R(const int16_t* const* ppSrc, int8_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16s8s_C3R(const int16_t* const* ppSrc, int8_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16u_C1R(const uint16_t* const* ppSrc, uint16_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16u_C3R(const uint16_t* const* ppSrc, uint16_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_Low_16s_C1R(const int16_t* const* ppSrc, int16_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_Low_16s_C3R(const int16_t* const* ppSrc, int16_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipelineGetBufferSize_32f_C1R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterColumnPipelineGetBufferSize_32f_C3R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterColumnPipelineGetBufferSize_16s_C1R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterColumnPipelineGetBufferSize_16s_C3R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterColumnPipelineGetBufferSize_16s8u_C1R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterColumnPipelineGetBufferSize_16s8u_C3R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterColumnPipelineGetBufferSize_16s8s_C1R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterColumnPipelineGetBufferSize_16s8s_C3R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterColumnPipelineGetBufferSize_16u_C1R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterColumnPipelineGetBufferSize_16u_C3R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterColumnPipelineGetBufferSize_Low_16s_C1R(qpxSize roiSize, int kernelSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterColumnPipelineGetBufferSize_Low_16s_C3R(qpxSize roiSize, int kernelSize, int* bufferSize);
/* @@SEPARABLE@@ */

/* ---------------------------------------------------------------------------------------------
 * Gaussian filter (odd kernel size >= 3, 8u/16u/16s/32f, C1 and C3)
 *
 * The engine spec filled by qpxiFilterGaussianInit_L holds the kernel size, the constant 64,
 * the data type, a reserved 0 and then (kernelSize + 1) / 2 normalised weights from the
 * outermost tap to the centre. The 32-bit interface's spec (sized by
 * qpxiFilterGaussianGetBufferSize, filled by qpxiFilterGaussianInit) is a header holding the
 * kernel size, data type and border type, followed by an engine spec. Both travel as
 * qpxFilterGaussianSpec pointers. Neither holds pointers, so a spec may be copied or moved.
 * ------------------------------------------------------------------------------------------- */
typedef struct qpxFilterGaussianSpec {
    uint32_t kernelSize;
    uint32_t align; /* 64 */
    uint32_t dataType;
    uint32_t reserved; /* 0 */
    float halfKernel[1]; /* (kernelSize + 1) / 2 weights in all */
} qpxFilterGaussianSpec;

QPX_API qpxStatus qpxiFilterGaussianGetSpecSize_L(int kernelSize, qpxDataType dataType, int numChannels, int64_t* specSize, int64_t* initBufferSize);
QPX_API qpxStatus qpxiFilterGaussianGetBufferSize_L(int64_t roiWidth, int64_t roiHeight, int kernelSize, qpxDataType dataType, qpxBorderType borderType, int numChannels, int64_t* bufferSize);
QPX_API qpxStatus qpxiFilterGaussianInit_L(int64_t roiWidth, int64_t roiHeight, int kernelSize, float sigma, qpxBorderType borderType, qpxDataType dataType, int numChannels, qpxFilterGaussianSpec* spec, uint8_t* initBuffer);
QPX_API qpxStatus qpxiFilterGaussian_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const uint16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16u_C3R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const uint16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const int16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16s_C3R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const int16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const float* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const float* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);

QPX_API qpxStatus qpxiFilterGaussianGetSpecSize(int kernelSize, qpxDataType dataType, int numChannels, int* specSize, int* initBufferSize);
QPX_API qpxStatus qpxiFilterGaussianGetBufferSize(qpxSize roiSize, int kernelSize, qpxDataType dataType, int numChannels, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterGaussianInit(qpxSize roiSize, int kernelSize, float sigma, qpxBorderType borderType, qpxDataType dataType, int numChannels, qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16u_C3R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const int16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16s_C3R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const int16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, uint8_t borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, const uint8_t borderValue[3], const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, uint16_t borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_16u_C3R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, const uint16_t borderValue[3], const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, int16_t borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_16s_C3R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, const int16_t borderValue[3], const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, float borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, const float borderValue[3], const qpxFilterGaussianSpec* spec, uint8_t* buffer);

/* @@GAUSSIAN@@ */

/* ---------------------------------------------------------------------------------------------
 * Fixed derivative, Laplacian and low-pass filters (maskSize qpxMskSize3x3 or qpxMskSize5x5),
 * Sobel-type kernel generator, colour gradient to grey (norm 0 Inf, 1 L1, 2 L2)
 * ------------------------------------------------------------------------------------------- */
QPX_API qpxStatus qpxiFilterSobelCrossBorder_8u16s_C1R(const uint8_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSobelCrossBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, qpxBorderType borderType, float borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterLaplacianBorder_8u16s_C1R(const uint8_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterLaplacianBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, qpxBorderType borderType, float borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterLowpassBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterLowpassBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, qpxBorderType borderType, float borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSobelCrossGetBufferSize_8u16s_C1R(qpxSize roiSize, qpxMaskSize maskSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterSobelCrossGetBufferSize_32f_C1R(qpxSize roiSize, qpxMaskSize maskSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterLaplacianGetBufferSize_8u16s_C1R(qpxSize roiSize, qpxMaskSize maskSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterLaplacianGetBufferSize_32f_C1R(qpxSize roiSize, qpxMaskSize maskSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterLowpassGetBufferSize_8u_C1R(qpxSize roiSize, qpxMaskSize maskSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterLowpassGetBufferSize_32f_C1R(qpxSize roiSize, qpxMaskSize maskSize, int* bufferSize);
QPX_API qpxStatus qpxiGenSobelKernel_32f(float* dst, int kernelSize, int derivOrder, int sign);
QPX_API qpxStatus qpxiGenSobelKernel_16s(int16_t* dst, int kernelSize, int derivOrder, int sign);
QPX_API qpxStatus qpxiGradientColorToGray_8u_C3C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxNormType norm);
QPX_API qpxStatus qpxiGradientColorToGray_16u_C3C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxNormType norm);
QPX_API qpxStatus qpxiGradientColorToGray_32f_C3C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxNormType norm);

/* @@FIXED_FILTERS@@ */

/* ---------------------------------------------------------------------------------------------
 * Erosion and dilation with a flat structuring mask (nonzero mask bytes are members). The spec
 * records are opaque: allocate the size that the query reports; a spec must not be moved after
 * its Init. One qpxMorphState serves both operations for one type and channel count; one
 * qpxMorphStateL serves every type. Bit-packed (1u) images hold 8 pixels a byte, lowest bit first.
 * ------------------------------------------------------------------------------------------- */
typedef struct qpxMorphState qpxMorphState;
typedef struct qpxMorphStateL qpxMorphStateL;

QPX_API qpxStatus qpxiMorphologyBorderGetSize_8u_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_8u_C3R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_8u_C4R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_16u_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_16s_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_32f_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_32f_C3R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_32f_C4R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_1u_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderInit_8u_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_8u_C3R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_8u_C4R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_16u_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_16s_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_32f_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_32f_C3R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_32f_C4R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_1u_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphState* spec, uint8_t* buffer);

QPX_API qpxStatus qpxiErodeGetSpecSize_L(qpxSizeL roiSize, qpxSizeL maskSize, int64_t* specSize);
QPX_API qpxStatus qpxiErodeGetBufferSize_L(qpxSizeL roiSize, qpxSizeL maskSize, qpxDataType dataType, int numChannels, int64_t* bufferSize);
QPX_API qpxStatus qpxiErodeInit_L(qpxSizeL roiSize, const uint8_t* mask, qpxSizeL maskSize, qpxMorphStateL* spec);
QPX_API qpxStatus qpxiDilateGetSpecSize_L(qpxSizeL roiSize, qpxSizeL maskSize, int64_t* specSize);
QPX_API qpxStatus qpxiDilateGetBufferSize_L(qpxSizeL roiSize, qpxSizeL maskSize, qpxDataType dataType, int numChannels, int64_t* bufferSize);
QPX_API qpxStatus qpxiDilateInit_L(qpxSizeL roiSize, const uint8_t* mask, qpxSizeL maskSize, qpxMorphStateL* spec);
QPX_API qpxStatus qpxiDilate_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);

/* @@MORPHOLOGY@@ */

/* ---------------------------------------------------------------------------------------------
 * Advanced morphology: opening, closing, top-hat, black-hat and gradient as two erosion/dilation
 * stages through an intermediate image in the work buffer. By default the second stage uses the
 * mask rotated by 180 degrees; qpxiMorphSetMode mode 1 selects the mask as given, mode 4 sets the
 * clamp flag (negative top-hat/black-hat results of the 64-bit 16s and 32f forms become 0), mode 5
 * both, mode 0 neither. The 64-bit family's spec is passed as a qpxMorphStateL made by
 * qpxiMorphInit_L. Specs point into themselves and must not be moved after Init.
 * ------------------------------------------------------------------------------------------- */
typedef struct qpxMorphAdvState qpxMorphAdvState;
typedef struct qpxMorphGrayState qpxMorphGrayState;

QPX_API qpxStatus qpxiMorphAdvGetSize_8u_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_8u_C3R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_8u_C4R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_16u_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_16s_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_32f_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_32f_C3R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_32f_C4R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_1u_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvInit_8u_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_8u_C3R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_8u_C4R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_16u_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_16s_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_32f_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_32f_C3R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_32f_C4R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_1u_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphSetMode(int mode, qpxMorphAdvState* spec);
QPX_API qpxStatus qpxiMorphSetMode_L(int mode, qpxMorphStateL* spec);
QPX_API qpxStatus qpxiMorphGetSpecSize_L(qpxSizeL roiSize, qpxSizeL maskSize, qpxDataType dataType, int numChannels, int64_t* specSize);
QPX_API qpxStatus qpxiMorphGetBufferSize_L(qpxSizeL roiSize, qpxSizeL maskSize, qpxDataType dataType, int numChannels, int64_t* bufferSize);
QPX_API qpxStatus qpxiMorphInit_L(qpxSizeL roiSize, const uint8_t* mask, qpxSizeL maskSize, qpxDataType dataType, int numChannels, qpxMorphStateL* spec);
QPX_API qpxStatus qpxiMorphOpen_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);

QPX_API qpxStatus qpxiMorphGrayGetSize_8u_C1R(qpxSize roiSize, const int32_t* values, qpxSize maskSize, int* specSize);
QPX_API qpxStatus qpxiMorphGrayGetSize_32f_C1R(qpxSize roiSize, const float* values, qpxSize maskSize, int* specSize);
QPX_API qpxStatus qpxiMorphGrayInit_8u_C1R(qpxMorphGrayState* spec, qpxSize roiSize, const int32_t* values, qpxSize maskSize, qpxPoint anchor);
QPX_API qpxStatus qpxiMorphGrayInit_32f_C1R(qpxMorphGrayState* spec, qpxSize roiSize, const float* values, qpxSize maskSize, qpxPoint anchor);
/* Grey-scale erosion/dilation: dst = min/max of src + value over the mask positions inside the ROI
 * (8u results clamped to 0..255). borderType must be qpxBorderRepl. */
QPX_API qpxStatus qpxiGrayErodeBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const qpxMorphGrayState* spec);
QPX_API qpxStatus qpxiGrayDilateBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const qpxMorphGrayState* spec);
QPX_API qpxStatus qpxiGrayErodeBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const qpxMorphGrayState* spec);
QPX_API qpxStatus qpxiGrayDilateBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const qpxMorphGrayState* spec);

/* @@ADV_MORPHOLOGY@@ */

/* ---------------------------------------------------------------------------------------------
 * Morphological reconstruction (in place: srcDst is the marker, src the mask image).
 * norm: qpxNormInf for 8-connectivity, qpxNormL1 for 4-connectivity.
 * ------------------------------------------------------------------------------------------- */
QPX_API qpxStatus qpxiMorphReconstructGetBufferSize(qpxSize roiSize, qpxDataType dataType, int numChannels, int* bufferSize);
QPX_API qpxStatus qpxiMorphReconstructDilate_8u_C1IR(const uint8_t* src, int srcStep, uint8_t* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructDilate_16u_C1IR(const uint16_t* src, int srcStep, uint16_t* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructDilate_32f_C1IR(const float* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructDilate_64f_C1IR(const double* src, int srcStep, double* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructErode_8u_C1IR(const uint8_t* src, int srcStep, uint8_t* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructErode_16u_C1IR(const uint16_t* src, int srcStep, uint16_t* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructErode_32f_C1IR(const float* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructErode_64f_C1IR(const double* src, int srcStep, double* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);

/* @@RECONSTRUCTION@@ */

/* ---------------------------------------------------------------------------------------------
 * Canny edge detector: 255 marks an edge pixel, 0 any other. The buffer holds the candidate map,
 * magnitude rows and the edge-following stack; its size comes from the matching query.
 * ------------------------------------------------------------------------------------------- */
QPX_API qpxStatus qpxiCannyGetSize(qpxSize roiSize, int* bufferSize);
QPX_API qpxStatus qpxiCannyGetSize_L(qpxSizeL roiSize, int64_t* bufferSize);
QPX_API qpxStatus qpxiCanny_16s8u_C1R(const int16_t* srcDx, int srcDxStep, const int16_t* srcDy, int srcDyStep, uint8_t* dst, int dstStep, qpxSize roiSize, float lowThreshold, float highThreshold, uint8_t* buffer);
QPX_API qpxStatus qpxiCanny_32f8u_C1R(const float* srcDx, int srcDxStep, const float* srcDy, int srcDyStep, uint8_t* dst, int dstStep, qpxSize roiSize, float lowThreshold, float highThreshold, uint8_t* buffer);
QPX_API qpxStatus qpxiCanny_16s8u_C1R_L(const int16_t* srcDx, int64_t srcDxStep, const int16_t* srcDy, int64_t srcDyStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, float lowThreshold, float highThreshold, qpxEdgeNorm norm, uint8_t* buffer);
QPX_API qpxStatus qpxiCanny_32f8u_C1R_L(const float* srcDx, int64_t srcDxStep, const float* srcDy, int64_t srcDyStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, float lowThreshold, float highThreshold, qpxEdgeNorm norm, uint8_t* buffer);
QPX_API qpxStatus qpxiCannyBorderGetSize(qpxSize roiSize, qpxDifferentialKernel filterType, qpxMaskSize mask, qpxDataType dataType, int* bufferSize);
QPX_API qpxStatus qpxiCannyBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxDifferentialKernel filterType, qpxMaskSize mask, qpxBorderType borderType, uint8_t borderValue, qpxEdgeNorm norm, float lowThreshold, float highThreshold, uint8_t* buffer);

/* @@CANNY@@ */

/* ---------------------------------------------------------------------------------------------
 * Corner measures and peak finding
 * ------------------------------------------------------------------------------------------- */
QPX_API qpxStatus qpxiMinEigenValBorder_8u32f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiMinEigenValBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, qpxBorderType borderType, float borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiMinEigenVal_8u32f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, uint8_t* buffer);
QPX_API qpxStatus qpxiMinEigenVal_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, uint8_t* buffer);
QPX_API qpxStatus qpxiMinEigenValGetBufferSize_8u32f_C1R(qpxSize roiSize, int apertureSize, int avgWindow, int* bufferSize);
QPX_API qpxStatus qpxiMinEigenValGetBufferSize_32f_C1R(qpxSize roiSize, int apertureSize, int avgWindow, int* bufferSize);
/* Six floats per pixel: lambda1, lambda2, x1, y1, x2, y2. */
QPX_API qpxStatus qpxiEigenValsVecsBorder_8u32f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiEigenValsVecsBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, qpxBorderType borderType, float borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiEigenValsVecs_8u32f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, uint8_t* buffer);
QPX_API qpxStatus qpxiEigenValsVecs_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, uint8_t* buffer);
QPX_API qpxStatus qpxiEigenValsVecsGetBufferSize_8u32f_C1R(qpxSize roiSize, int apertureSize, int avgWindow, int* bufferSize);
QPX_API qpxStatus qpxiEigenValsVecsGetBufferSize_32f_C1R(qpxSize roiSize, int apertureSize, int avgWindow, int* bufferSize);
QPX_API qpxStatus qpxiHarrisCorner_8u32f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxDifferentialKernel filterType, qpxMaskSize filterMask, int avgWindow, float k, float scale, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiHarrisCorner_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxDifferentialKernel filterType, qpxMaskSize filterMask, int avgWindow, float k, float scale, qpxBorderType borderType, float borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiHarrisCornerGetBufferSize(qpxSize roiSize, qpxMaskSize filterMask, int avgWindow, qpxDataType dataType, int numChannels, int* bufferSize);
QPX_API qpxStatus qpxiLineSuppression_8u_C1R(const uint8_t* src, int srcStep, const uint8_t* feature, int featureStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxDifferentialKernel filterType, qpxMaskSize filterMask, int avgWindow, float threshold, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiLineSuppressionGetBufferSize(qpxSize roiSize, qpxMaskSize filterMask, int avgWindow, qpxDataType dataType, int numChannels, int* bufferSize);
QPX_API qpxStatus qpxiFindPeaks3x3_32f_C1R(const float* src, int srcStep, qpxSize roiSize, float threshold, qpxPoint* peak, int maxPeakCount, int* peakCount, int norm, int border, uint8_t* buffer);
QPX_API qpxStatus qpxiFindPeaks3x3_32s_C1R(const int32_t* src, int srcStep, qpxSize roiSize, int32_t threshold, qpxPoint* peak, int maxPeakCount, int* peakCount, int norm, int border, uint8_t* buffer);
QPX_API qpxStatus qpxiFindPeaks3x3GetBufferSize_32f_C1R(int roiWidth, int* bufferSize);
QPX_API qpxStatus qpxiFindPeaks3x3GetBufferSize_32s_C1R(int roiWidth, int* bufferSize);

/* @@CORNERS@@ */

#ifdef __cplusplus
}
#endif

#endif /* QPXCV_H */
