/** @file
 * qpxCV: two-dimensional computer-vision primitives behind a plain C interface.
 *
 * Every image function takes images as (pointer to the first ROI element, row step in bytes)
 * pairs plus a ROI size, checks its arguments, and returns a qpxStatus. The library allocates
 * nothing: functions that need storage have a size query, and the caller provides the memory.
 * The main page of the reference describes the image model, the naming scheme, the border codes
 * and the calling pattern; each declaration below documents its own operation.
 *
 * This header compiles as C99 and as C++. */
#ifndef QPXCV_H
#define QPXCV_H

#include <stdint.h>

#if defined(QPXCV_BUILDING)
#define QPX_API __attribute__((visibility("default")))
#else
/** Marks the exported functions. Empty for callers; the library's own build makes them visible. */
#define QPX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---------------------------------------------------------------------------------------------
 * Status codes: 0 is success, positive values are warnings, negative values are errors.
 * ------------------------------------------------------------------------------------------- */
/** Result of every function except qpxcvGetLibVersion(): 0 is success, positive values are
 * warnings (the call completed and its outputs are valid), negative values are errors (nothing
 * was written). Arguments are checked in a fixed order (pointers, sizes, step lengths, step
 * multiples, then the function's own codes, then the in-place test) and the first failure is
 * returned. */
typedef int32_t qpxStatus;

/** The values of qpxStatus. */
enum {
    /** Success. */
    qpxStatusOk = 0,
    /** The mask selects no pixel; the results are set to 0. */
    qpxStatusNoPixelsWarning = 1,
    /** A relative norm's denominator is zero; the result is +infinity or NaN. */
    qpxStatusZeroDivisorWarning = 2,
    /** A size query's result does not fit in 32 bits; the 32-bit value is written. */
    qpxStatusSizeOverflowWarning = 12,
    /** An output list was filled to the caller's capacity and more results existed. */
    qpxStatusCapacityWarning = 33,
    /** A pyramid kernel is not symmetric. */
    qpxStatusKernelNotSymmetricWarning = 38,
    /** The ROI placed in the image was trimmed to the image, or is empty. */
    qpxStatusRoiTrimmedWarning = 48,

    /** An argument value is invalid: not positive where it must be, inconsistent with another, or
     * an unsupported option. */
    qpxStatusBadArgument = -5,
    /** A ROI width or height below 1, or another size, count or length below its minimum. */
    qpxStatusBadSize = -6,
    /** A range whose lower bound is above its upper bound. */
    qpxStatusBadRange = -7,
    /** A required pointer is null. */
    qpxStatusNullPointer = -8,
    /** An argument outside its allowed range, such as a point outside the image. */
    qpxStatusBadValue = -11,
    /** A spec was not filled by the initialiser that the function expects. */
    qpxStatusContextMismatch = -13,
    /** A mode or flag argument has an unsupported value. */
    qpxStatusBadMode = -14,
    /** A row step is shorter than the row (width x channels x element size) or not positive. */
    qpxStatusBadStep = -16,
    /** A threshold argument is negative. */
    qpxStatusBadThreshold = -19,
    /** An unsupported qpxMaskSize code, or mask dimensions below 1. */
    qpxStatusBadMaskSize = -33,
    /** An anchor outside the kernel or mask. */
    qpxStatusBadAnchor = -34,
    /** An unsupported channel count (queries and initialisers that accept 1, 3, 4 or 1, 3). */
    qpxStatusBadChannel = -47,
    /** An integer kernel's divisor is zero. */
    qpxStatusDivisorZero = -51,
    /** A channel of interest outside 1..3. */
    qpxStatusBadCoi = -52,
    /** An unsupported channel count (queries that accept only 1). */
    qpxStatusBadChannelCount = -53,
    /** A distance weight is not positive. */
    qpxStatusBadMetrics = -56,
    /** An unsupported qpxDataType code. */
    qpxStatusBadDataType = -59,
    /** A row step is not a multiple of the element size (16- and 32-bit images). */
    qpxStatusStepNotMultiple = -108,
    /** A border code that the function does not accept. */
    qpxStatusBadBorder = -225,
    /** An unsupported norm code. */
    qpxStatusBadNorm = -229,
    /** An unsupported derivative kernel type. */
    qpxStatusBadFilterType = -230,
    /** A size or step of a 64-bit (`_L`) function beyond the 32-bit range. */
    qpxStatusSizeTooLarge = -232,
    /** Source and destination are the same image where the function needs them apart. */
    qpxStatusInPlaceNotSupported = -9998
};

/* ---------------------------------------------------------------------------------------------
 * Shared records
 * ------------------------------------------------------------------------------------------- */
/** Size of a ROI, kernel, mask or window; passed by value. */
typedef struct {
    int32_t width;  /**< Columns (pixels, or taps of a row kernel). */
    int32_t height; /**< Rows (or taps of a column kernel). */
} qpxSize;

/** Size with 64-bit fields, taken by the `_L` functions. Values above 2^31 - 1 give
 * qpxStatusSizeTooLarge, since the kernels work on 32-bit quantities. */
typedef struct {
    int64_t width;  /**< Columns. */
    int64_t height; /**< Rows. */
} qpxSizeL;

/** Integer point: anchors, peak positions. */
typedef struct {
    int32_t x; /**< Column. */
    int32_t y; /**< Row. */
} qpxPoint;

/** Sub-pixel point. */
typedef struct {
    float x; /**< Column. */
    float y; /**< Row. */
} qpxPoint_32f;

/** Rectangle: top-left corner and size. */
typedef struct {
    int32_t x;      /**< Column of the top-left corner. */
    int32_t y;      /**< Row of the top-left corner. */
    int32_t width;  /**< Columns. */
    int32_t height; /**< Rows. */
} qpxRect;

/** Version record, returned by qpxcvGetLibVersion(). It names the release of the interface
 * (2022.0.0); the shared library's file name carries its own ABI number (11). */
typedef struct {
    int32_t major;       /**< Release year: 2022. */
    int32_t minor;       /**< 0. */
    int32_t majorBuild;  /**< 0. */
    int32_t build;       /**< Build number: 0x131e93b0. */
    char targetCpu[4];   /**< Processor generation of the build: "e9" (AVX), NUL-padded. */
    const char* Name;    /**< "qpxCV AVX (e9)". */
    const char* Version; /**< "2022.0.0 (r0x131e93b0)". */
    const char* BuildDate; /**< "Sep  4 2024" (two blanks before the day). */
} qpxLibraryVersion;

/* ---------------------------------------------------------------------------------------------
 * Codes. They are plain integers so that C and C++ callers can combine and pass them freely.
 * ------------------------------------------------------------------------------------------- */
/** Element type code, taken by size queries and initialisers. Each function accepts a subset and
 * returns qpxStatusBadDataType for any other value. */
typedef int32_t qpxDataType;
/** The values of qpxDataType. */
enum {
    qpx1u = 0,  /**< One bit per pixel, 8 pixels a byte, lowest bit first (morphology). */
    qpx8u = 1,  /**< Unsigned 8-bit. */
    qpx16u = 5, /**< Unsigned 16-bit. */
    qpx16s = 7, /**< Signed 16-bit. */
    qpx32s = 11, /**< Signed 32-bit. */
    qpx32f = 13, /**< IEEE single precision. */
    qpx64f = 19  /**< IEEE double precision. */
};

/** Size of a fixed kernel (derivative, Laplacian, low-pass, Canny, Harris). Other values give
 * qpxStatusBadMaskSize. */
typedef int32_t qpxMaskSize;
/** The values of qpxMaskSize. */
enum { qpxMskSize3x3 = 33 /**< 3x3. */, qpxMskSize5x5 = 55 /**< 5x5. */ };

/** Derivative kernel of qpxiCannyBorder_8u_C1R(), the Harris response and line suppression. */
typedef int32_t qpxDifferentialKernel;
/** The values of qpxDifferentialKernel. */
enum {
    qpxFilterSobel = 2,      /**< Sobel, 3x3 or 5x5. */
    qpxFilterScharr = 5,     /**< Scharr, 3x3 only. */
    qpxFilterCentralDiff = 8 /**< Difference of the two neighbours, no smoothing; 3x3 only. */
};

/** Derivative kernel of the eigenvalue functions (qpxiMinEigenVal_8u32f_C1R() and the others);
 * dy is bottom minus top with each. */
typedef int32_t qpxKernelType;
/** The values of qpxKernelType. */
enum {
    qpxKernelSobel = 0,   /**< Sobel, aperture 3 or 5; dx is left minus right. */
    qpxKernelScharr = 1,  /**< Scharr, aperture 3; dx is right minus left. */
    qpxKernelSobelNeg = 2 /**< Negated Sobel, aperture 3 or 5; dx is right minus left. */
};

/** Norm code of the colour-gradient reduction and the reconstruction connectivity. */
typedef int32_t qpxNormType;
/** The values of qpxNormType. */
enum {
    qpxNormInf = 0, /**< Infinity norm (largest magnitude); 8-connectivity in reconstruction. */
    qpxNormL1 = 1,  /**< Sum of magnitudes; 4-connectivity in reconstruction. */
    qpxNormL2 = 2,  /**< Square root of the sum of squares. */
    qpxNormFM = 3   /**< Kept for segmentation functions; no function of this header accepts it. */
};

/** Gradient magnitude of the Canny functions that take a norm. */
typedef int32_t qpxEdgeNorm;
/** The values of qpxEdgeNorm. */
enum {
    qpxEdgeNormL1 = 2, /**< `|dx| + |dy|`. */
    qpxEdgeNormL2 = 4  /**< `sqrt(dx^2 + dy^2)`. */
};

/** Border code: how a function obtains pixels outside the ROI. Extension kind in bits 0-3,
 * in-memory side flags in bits 4-7, morphology stage flags in bits 8-11. Each function states
 * which codes it accepts; any other gives qpxStatusBadBorder. */
typedef uint32_t qpxBorderType;
/** The values of qpxBorderType: kinds and flags, combined with OR. */
enum {
    qpxBorderRepl = 1,    /**< Kind: the nearest edge pixel of the ROI is repeated. */
    qpxBorderWrap = 2,    /**< Kind accepted by no function, except where the kind is ignored. */
    /** Kind: mirror without repeating the edge pixel (x = -1 reads x = 1). */
    qpxBorderMirror = 3,
    qpxBorderMirrorR = 4, /**< Kind accepted by no function, except where the kind is ignored. */
    /** Kind: the function's own choice (morphology: a value that never wins). */
    qpxBorderDefault = 5,
    qpxBorderConst = 6,   /**< Kind: every outside pixel is the caller's borderValue. */
    qpxBorderInMemTop = 0x10,    /**< Rows above the ROI are read from the caller's image. */
    qpxBorderInMemBottom = 0x20, /**< Rows below the ROI are read from the caller's image. */
    qpxBorderInMemLeft = 0x40,   /**< Columns left of the ROI are read from the caller's image. */
    qpxBorderInMemRight = 0x80,  /**< Columns right of the ROI are read from the caller's image. */
    qpxBorderInMem = 0xF0,       /**< All four sides read from memory; usable without a kind. */
    /** Morphology: as qpxBorderInMemTop where that flag is clear. */
    qpxBorderStageInMemTop = 0x100,
    /** Morphology: as qpxBorderInMemBottom where that flag is clear. */
    qpxBorderStageInMemBottom = 0x200,
    /** Morphology: as qpxBorderInMemLeft where that flag is clear. */
    qpxBorderStageInMemLeft = 0x400,
    /** Morphology: as qpxBorderInMemRight where that flag is clear. */
    qpxBorderStageInMemRight = 0x800
};

/* ---------------------------------------------------------------------------------------------
 * Version
 * ------------------------------------------------------------------------------------------- */
/** Returns the library's version record.
 *
 * @return A pointer to a constant record owned by the library, the same on every call. The call
 *         cannot fail and touches no state. */
QPX_API const qpxLibraryVersion* qpxcvGetLibVersion(void);

/* ---------------------------------------------------------------------------------------------
 * Accumulation and differencing (32f accumulator, 8u mask)
 * ------------------------------------------------------------------------------------------- */
/** @name Accumulation: acc = acc + src
 * @{ */
/** Adds an image to a 32f accumulator image: `acc(x, y) = acc(x, y) + src(x, y)`.
 *
 * Sources are 8u, 16u or 32f (32f only in the masked form); the accumulator `srcDst` is 32f and is
 * updated in place, pixel by pixel. Integer sources convert to float exactly; the sum is one
 * single-precision addition rounded to nearest. Sums may reach infinity; nothing saturates.
 *
 * The masked forms (`C1IMR`) take `mask, maskStep` after the source: an 8u image of the ROI size
 * whose nonzero bytes select the pixels that take part. Where the mask byte is 0 the term added is
 * 0, so the accumulator keeps its value, except that a negative zero becomes a positive zero.
 *
 * @param src        Source image, one channel.
 * @param srcStep    Row step of `src` in bytes.
 * @param srcDst     Accumulator image (32f, one channel), read and written.
 * @param srcDstStep Row step of `srcDst` in bytes.
 * @param roiSize    ROI width and height in pixels.
 *
 * @return qpxStatusOk, or the first failed check: qpxStatusNullPointer (an image or mask pointer),
 *         qpxStatusBadSize (ROI below 1x1), qpxStatusBadStep (a step shorter than its row: width
 *         elements of the image's type, the mask step at least the width),
 *         qpxStatusStepNotMultiple (a 16u step odd, a 32f step not a multiple of 4). With a 16u
 *         source each image's length test comes right before its own multiple test; otherwise all
 *         length tests come first. */
QPX_API qpxStatus qpxiAdd_8u32f_C1IR(const uint8_t* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAdd_8u32f_C1IMR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAdd_16u32f_C1IR(const uint16_t* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAdd_16u32f_C1IMR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAdd_32f_C1IMR(const float* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
/** @} */

/** @name Accumulation: acc = acc + src * src
 * @{ */
/** Adds the square of an image to a 32f accumulator image: `acc = acc + src * src`.
 *
 * The product and the sum are single-precision operations, each rounded to nearest (no fused
 * multiply-add): 255 adds 65025 exactly, a 16u value of 65535 adds 4294836224 (the exact square
 * rounded to single precision). Sources are 8u, 16u or 32f; the accumulator `srcDst` is 32f and is
 * updated in place.
 *
 * The masked forms (`C1IMR`) take `mask, maskStep` after the source: an 8u image of the ROI size
 * whose nonzero bytes select the pixels that take part. Where the mask byte is 0 the term added is
 * 0 (a negative zero becomes a positive zero).
 *
 * @param src        Source image, one channel.
 * @param srcStep    Row step of `src` in bytes.
 * @param srcDst     Accumulator image (32f, one channel), read and written.
 * @param srcDstStep Row step of `srcDst` in bytes.
 * @param roiSize    ROI width and height in pixels.
 *
 * @return qpxStatusOk, or the first failed check: qpxStatusNullPointer (an image or mask pointer),
 *         qpxStatusBadSize (ROI below 1x1), qpxStatusBadStep (a step shorter than its row: width
 *         elements of the image's type, the mask step at least the width),
 *         qpxStatusStepNotMultiple (a 16u step odd, a 32f step not a multiple of 4). With a 16u
 *         source each image's length test comes right before its own multiple test; otherwise all
 *         length tests come first. */
QPX_API qpxStatus qpxiAddSquare_8u32f_C1IR(const uint8_t* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddSquare_8u32f_C1IMR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddSquare_16u32f_C1IR(const uint16_t* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddSquare_16u32f_C1IMR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddSquare_32f_C1IR(const float* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddSquare_32f_C1IMR(const float* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
/** @} */

/** @name Accumulation: acc = acc + src1 * src2
 * @{ */
/** Adds the product of two images to a 32f accumulator image: `acc = acc + src1 * src2`.
 *
 * The product and the sum are single-precision operations, each rounded to nearest (no fused
 * multiply-add). Sources are 8u, 16u or 32f, both of the same type; the accumulator `srcDst` is
 * 32f and is updated in place.
 *
 * The masked forms (`C1IMR`) take `mask, maskStep` after the source: an 8u image of the ROI size
 * whose nonzero bytes select the pixels that take part. Where the mask byte is 0 the term added is
 * 0 (a negative zero becomes a positive zero).
 *
 * @param src1       First source image, one channel.
 * @param src1Step   Row step of `src1` in bytes.
 * @param src2       Second source image, same type as `src1`.
 * @param src2Step   Row step of `src2` in bytes.
 * @param srcDst     Accumulator image (32f, one channel), read and written.
 * @param srcDstStep Row step of `srcDst` in bytes.
 * @param roiSize    ROI width and height in pixels.
 *
 * @return qpxStatusOk, or the first failed check: qpxStatusNullPointer (an image or mask pointer),
 *         qpxStatusBadSize (ROI below 1x1), qpxStatusBadStep (a step shorter than its row: width
 *         elements of the image's type, the mask step at least the width),
 *         qpxStatusStepNotMultiple (a 16u step odd, a 32f step not a multiple of 4). With a 16u
 *         source each image's length test comes right before its own multiple test; otherwise all
 *         length tests come first. */
QPX_API qpxStatus qpxiAddProduct_8u32f_C1IR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddProduct_8u32f_C1IMR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddProduct_16u32f_C1IR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddProduct_16u32f_C1IMR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddProduct_32f_C1IR(const float* src1, int src1Step, const float* src2, int src2Step, float* srcDst, int srcDstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAddProduct_32f_C1IMR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize);
/** @} */

/** @name Running average: acc = (src - acc) * alpha + acc
 * @{ */
/** Updates a 32f running average in place: `acc = (src - acc) * alpha + acc`.
 *
 * Evaluated as difference, product, sum, each a single-precision operation rounded to nearest; the
 * result may differ in the last bits from `alpha * src + (1 - alpha) * acc`. With alpha 0 every
 * finite accumulator value stays as it is; with alpha 1 the result is `(src - acc) + acc`, which
 * equals src only when that sum is exact. Sources are 8u, 16u or 32f.
 *
 * The masked forms (`C1IMR`) take `mask, maskStep` after the source: an 8u image of the ROI size
 * whose nonzero bytes select the pixels that take part. Where the mask byte is 0 the weight is 0:
 * the accumulator keeps its value, except that a negative zero becomes a positive zero and an
 * infinity becomes NaN.
 *
 * @param src        Source image, one channel.
 * @param srcStep    Row step of `src` in bytes.
 * @param srcDst     Accumulator image (32f, one channel), read and written.
 * @param srcDstStep Row step of `srcDst` in bytes.
 * @param roiSize    ROI width and height in pixels.
 * @param alpha      Weight of the new image; any value is accepted.
 *
 * @return qpxStatusOk, or the first failed check: qpxStatusNullPointer (an image or mask pointer),
 *         qpxStatusBadSize (ROI below 1x1), qpxStatusBadStep (a step shorter than its row: width
 *         elements of the image's type, the mask step at least the width),
 *         qpxStatusStepNotMultiple (a 16u step odd, a 32f step not a multiple of 4). With a 16u
 *         source each image's length test comes right before its own multiple test; otherwise all
 *         length tests come first. */
QPX_API qpxStatus qpxiAddWeighted_8u32f_C1IR(const uint8_t* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize, float alpha);
QPX_API qpxStatus qpxiAddWeighted_8u32f_C1IMR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize, float alpha);
QPX_API qpxStatus qpxiAddWeighted_16u32f_C1IR(const uint16_t* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize, float alpha);
QPX_API qpxStatus qpxiAddWeighted_16u32f_C1IMR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize, float alpha);
QPX_API qpxStatus qpxiAddWeighted_32f_C1IR(const float* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize, float alpha);
QPX_API qpxStatus qpxiAddWeighted_32f_C1IMR(const float* src, int srcStep, const uint8_t* mask, int maskStep, float* srcDst, int srcDstStep, qpxSize roiSize, float alpha);
/** @} */
/** Weighted sum of two 32f images into a third: `dst = (src1 - src2) * alpha + src2`.
 *
 * Evaluated as difference, product, sum, each a single-precision operation rounded to nearest.
 * Works pixel by pixel, so `dst` may be one of the sources (same pointer and step).
 *
 * @param src1     First source image (32f, one channel), weighted by alpha.
 * @param src1Step Row step of `src1` in bytes.
 * @param src2     Second source image (32f), weighted by 1 - alpha.
 * @param src2Step Row step of `src2` in bytes.
 * @param dst      Destination image (32f).
 * @param dstStep  Row step of `dst` in bytes.
 * @param roiSize  ROI width and height in pixels.
 * @param alpha    Weight; any value is accepted.
 * @return qpxStatusOk, qpxStatusNullPointer, qpxStatusBadSize, qpxStatusBadStep (a step below 4 x
 *         width) or qpxStatusStepNotMultiple (a step not a multiple of 4), checked in this order.
 */
QPX_API qpxStatus qpxiAddWeighted_32f_C1R(const float* src1, int src1Step, const float* src2, int src2Step, float* dst, int dstStep, qpxSize roiSize, float alpha);

/** @name Absolute difference of two images
 * @{ */
/** Absolute difference of two images: `dst = |src1 - src2|`.
 *
 * 8u and 16u results are exact (the magnitude of the difference of unsigned values always fits the
 * type). 32f results are the single-precision difference with its sign bit cleared, so a NaN stays
 * a NaN. `qpxiAbsDiff_8u_C3R` treats each row as 3 x width one-channel elements. Works pixel by
 * pixel, so `dst` may be one of the sources (same pointer and step).
 *
 * @param src1     First source image.
 * @param src1Step Row step of `src1` in bytes.
 * @param src2     Second source image, same type and layout.
 * @param src2Step Row step of `src2` in bytes.
 * @param dst      Destination image, same type and layout.
 * @param dstStep  Row step of `dst` in bytes.
 * @param roiSize  ROI width and height in pixels.
 * @return qpxStatusOk, qpxStatusNullPointer, qpxStatusBadSize, qpxStatusBadStep (a step below
 *         width x channels x element size) or qpxStatusStepNotMultiple (16u steps odd, 32f steps
 *         not a multiple of 4), checked in this order. */
QPX_API qpxStatus qpxiAbsDiff_8u_C1R(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, uint8_t* dst, int dstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAbsDiff_8u_C3R(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, uint8_t* dst, int dstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAbsDiff_16u_C1R(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, uint16_t* dst, int dstStep, qpxSize roiSize);
QPX_API qpxStatus qpxiAbsDiff_32f_C1R(const float* src1, int src1Step, const float* src2, int src2Step, float* dst, int dstStep, qpxSize roiSize);
/** @} */
/** @name Absolute difference from a constant
 * @{ */
/** Absolute difference between an image and a constant: `dst = |src - value|`.
 *
 * The 8u form first clamps value to 0..255 and the 16u form to 0..65535 (so 8u with value 300
 * gives `255 - src`, with -5 gives `src`); their results are exact. The 32f form clears the sign
 * bit of the single-precision difference. Works pixel by pixel, so `dst` may be `src` (same
 * pointer and step).
 *
 * @param src     Source image.
 * @param srcStep Row step of `src` in bytes.
 * @param dst     Destination image, same type.
 * @param dstStep Row step of `dst` in bytes.
 * @param roiSize ROI width and height in pixels.
 * @param value   The constant: an int for 8u and 16u, a float for 32f. Not checked.
 * @return qpxStatusOk, qpxStatusNullPointer, qpxStatusBadSize, qpxStatusBadStep or
 *         qpxStatusStepNotMultiple, checked in this order. */
QPX_API qpxStatus qpxiAbsDiffC_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, int value);
QPX_API qpxStatus qpxiAbsDiffC_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, int value);
QPX_API qpxStatus qpxiAbsDiffC_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, float value);
/** @} */

/* ---------------------------------------------------------------------------------------------
 * Haar cascade stage: rectangle-feature classifiers on integral images, run over a window mask
 * ------------------------------------------------------------------------------------------- */
/** Spec of one cascade stage with float weights, thresholds and values, filled by
 * qpxiHaarClassifierInit_32f() or qpxiTiltedHaarClassifierInit_32f() in memory of the size that
 * qpxiHaarClassifierGetSize() reports for qpx32f. Its contents are private; it points into itself,
 * so it must not be moved after Init. An apply call writes into its work area, so one spec must
 * not serve two apply calls at the same time. */
typedef struct qpxHaarClassifier_32f qpxHaarClassifier_32f;
/** Spec of one cascade stage with int32 weights, thresholds and values (qpx32s); as
 * qpxHaarClassifier_32f otherwise. */
typedef struct qpxHaarClassifier_32s qpxHaarClassifier_32s;

/** Size of a stage spec.
 *
 * With total = the sum of num: base = 32 x length + 36 x total + 64; qpx32s reports
 * base + 16 x total + 64 and qpx32f reports base + 16 x total + ((8 x roiSize.width + 30) rounded
 * down to a multiple of 32) + 16 + 64.
 *
 * @param dataType qpx32s or qpx32f.
 * @param roiSize  Largest ROI of the later apply calls.
 * @param num      Rectangles of each classifier (length entries, each at least 1).
 * @param length   Classifiers in the stage, at least 1.
 * @param pSize    Receives the size in bytes.
 * @return qpxStatusOk, qpxStatusNullPointer (num, pSize), qpxStatusBadSize (length, roiSize, then
 *         any num[i] below 1, or a size beyond 32 bits) or qpxStatusBadDataType, checked in this
 *         order. */
QPX_API qpxStatus qpxiHaarClassifierGetSize(int dataType, qpxSize roiSize, const int* num, int length, int* pSize);

/** @name Stage spec initialisation
 * @{ */
/** Fills a stage spec from the caller's description of its classifiers.
 *
 * Classifier i has num[i] rectangles (taken in turn from pFeature and pWeight), a threshold, and
 * the values val1 (response below the threshold) and val2 (at or above it). Rectangle
 * coordinates are relative to the window's top-left corner. The upright initialisers store the
 * classifiers with two rectangles first, then those with three, then the others, each group in
 * the caller's order; that stored order is the order of the stage sum. The upright corners of a
 * rectangle (x, y, w, h), as (column, row), are Pa (x + w, y + h), Pb (x, y + h), Pc (x + w, y)
 * and Pd (x, y); a feature's response is weight x (J(Pa) - J(Pb) - J(Pc) + J(Pd)).
 *
 * The tilted initialisers keep the caller's order, mark every classifier tilted and store the
 * corners Pa (x + w - h, y + w + h), Pb (x - h, y + h), Pc (x + w, y + w), Pd (x, y) of the
 * tilted integral image; they also refuse a rectangle whose height exceeds x + 1.
 *
 * Every rectangle is validated before the spec is written.
 *
 * @param pState     Spec memory of the size that qpxiHaarClassifierGetSize() reports.
 * @param pFeature   Rectangles, classifier after classifier (sum of num entries).
 * @param pWeight    Weight of each rectangle.
 * @param pThreshold Feature threshold of each classifier (length entries).
 * @param pVal1      Value of each classifier below its threshold.
 * @param pVal2      Value of each classifier at or above its threshold.
 * @param pNum       Rectangles of each classifier.
 * @param length     Classifiers, at least 1.
 * @return qpxStatusOk, qpxStatusNullPointer, qpxStatusBadSize (length, then any num[i] below 1)
 *         or qpxStatusBadArgument (a rectangle with x or y below 0, width or height below 1, or
 *         for the tilted forms height above x + 1), checked in this order. */
QPX_API qpxStatus qpxiHaarClassifierInit_32f(qpxHaarClassifier_32f* pState, const qpxRect* pFeature, const float* pWeight, const float* pThreshold, const float* pVal1, const float* pVal2, const int* pNum, int length);
QPX_API qpxStatus qpxiHaarClassifierInit_32s(qpxHaarClassifier_32s* pState, const qpxRect* pFeature, const int32_t* pWeight, const int32_t* pThreshold, const int32_t* pVal1, const int32_t* pVal2, const int* pNum, int length);
QPX_API qpxStatus qpxiTiltedHaarClassifierInit_32f(qpxHaarClassifier_32f* pState, const qpxRect* pFeature, const float* pWeight, const float* pThreshold, const float* pVal1, const float* pVal2, const int* pNum, int length);
QPX_API qpxStatus qpxiTiltedHaarClassifierInit_32s(qpxHaarClassifier_32s* pState, const qpxRect* pFeature, const int32_t* pWeight, const int32_t* pThreshold, const int32_t* pVal1, const int32_t* pVal2, const int* pNum, int length);
/** @} */

/** @name Tilting classifiers of an upright spec
 * @{ */
/** Converts the classifiers that pMask selects to tilted features.
 *
 * For each caller position i with pMask[i] != 0 the classifier stored for that position is marked
 * tilted and each of its rectangles (x, y, w, h) gets tilted corners: with a non-zero flag those
 * of the tilted initialisers, with flag 0 Pa (x, y + h), Pb (x - h, y), Pc (x + w, y + h - w),
 * Pd (x + w - h, y - w). Once a classifier is converted the spec is marked, and a later call
 * fails.
 *
 * @param pMask  One byte per classifier, in the caller's order.
 * @param flag   Corner form, see above.
 * @param pState An upright spec.
 * @return qpxStatusOk, qpxStatusNullPointer or qpxStatusBadArgument (the spec already holds
 *         tilted features), checked in this order. */
QPX_API qpxStatus qpxiTiltHaarFeatures_32f(const uint8_t* pMask, int flag, qpxHaarClassifier_32f* pState);
QPX_API qpxStatus qpxiTiltHaarFeatures_32s(const uint8_t* pMask, int flag, qpxHaarClassifier_32s* pState);
/** @} */

/** @name Window size of a stage
 * @{ */
/** The window a stage's features cover: the largest column of corner Pc and the largest row of
 * corner Pa over all features; {0, 0} for a spec without classifiers.
 *
 * @param pState A stage spec.
 * @param pSize  Receives the width and height.
 * @return qpxStatusOk or qpxStatusNullPointer. */
QPX_API qpxStatus qpxiGetHaarClassifierSize_32f(qpxHaarClassifier_32f* pState, qpxSize* pSize);
QPX_API qpxStatus qpxiGetHaarClassifierSize_32s(qpxHaarClassifier_32s* pState, qpxSize* pSize);
/** @} */

/** @name Cascade stage over a window mask
 * @{ */
/** Runs one stage at every ROI position (x, y) whose mask byte is set, rows top to bottom.
 *
 * With sigma = pNorm(x, y) and stageSum = 0, each classifier k in stored order adds val2_k when
 * its feature sum f = sum of weight x (J(Pa) - J(Pb) - J(Pc) + J(Pd)) satisfies
 * f >= threshold_k x sigma, else val1_k, where J(c, r) is pSrc at (x + c, y + r). A window with
 * stageSum >= threshold counts as positive; any other has its mask byte cleared. *pPositive
 * receives the count of positive windows; windows already cleared are neither evaluated nor
 * counted.
 *
 * Arithmetic: 32f: rectangle sums ((a - b) - c) + d, products, sums and the comparison in single
 * precision. 32s32f (float spec): rectangle sums in wrapping int32, converted to single to
 * nearest, then as 32f.
 *
 * On entry *pPositive is read as the caller's count of windows still set: from
 * width x height / 4 on, the stage runs a row of windows at a time, else window by window; the
 * results are the same.
 *
 * @param pSrc      Upright integral image (or the tilted one for a tilted spec).
 * @param srcStep   Row step of pSrc in bytes.
 * @param pNorm     Per-window norm (32f), the ROI's size.
 * @param normStep  Row step of pNorm in bytes.
 * @param pMask     8u window mask, read and cleared where a window fails.
 * @param maskStep  Row step of pMask in bytes.
 * @param roiSize   Window positions; the integral images must cover every window.
 * @param pPositive In: count of set windows (strategy hint). Out: positive windows.
 * @param threshold Stage threshold.
 * @param pState    Stage spec with float values.
 * @return qpxStatusOk, qpxStatusNullPointer, qpxStatusBadSize, qpxStatusBadStep (pSrc, pNorm below
 *         4 x width, pMask below width), qpxStatusStepNotMultiple (32-bit steps not a multiple of
 *         4), qpxStatusNullPointer (a spec without work area), checked in this order. */
QPX_API qpxStatus qpxiApplyHaarClassifier_32f_C1R(const float* pSrc, int srcStep, const float* pNorm, int normStep, uint8_t* pMask, int maskStep, qpxSize roiSize, int* pPositive, float threshold, qpxHaarClassifier_32f* pState);
QPX_API qpxStatus qpxiApplyHaarClassifier_32s32f_C1R(const int32_t* pSrc, int srcStep, const float* pNorm, int normStep, uint8_t* pMask, int maskStep, qpxSize roiSize, int* pPositive, float threshold, qpxHaarClassifier_32f* pState);
/** The stage of qpxiApplyHaarClassifier_32f_C1R() on an int32 integral with an int32 spec.
 *
 * Rectangle sums are (a - (b + c)) in wrapping int32 plus d in int64, f is the int64 sum of
 * weight x rectangle sum, and a classifier compares f x 2^-scaleFactor >= threshold_k x sigma in
 * int64 (a shift of 64 bits or more leaves 0); the stage sum wraps in int32.
 *
 * @param pSrc      Upright integral image (or the tilted one for a tilted spec).
 * @param srcStep   Row step of pSrc in bytes.
 * @param pNorm     Per-window norm (32s), the ROI's size.
 * @param normStep  Row step of pNorm in bytes.
 * @param pMask     8u window mask, read and cleared where a window fails.
 * @param maskStep  Row step of pMask in bytes.
 * @param roiSize   Window positions; the integral images must cover every window.
 * @param pPositive In: count of set windows (strategy hint). Out: positive windows.
 * @param threshold Stage threshold.
 * @param pState    Stage spec with int32 values.
 * @param scaleFactor At most 0: the feature sum is shifted left by -scaleFactor.
 * @return qpxStatusOk, qpxStatusNullPointer, qpxStatusBadSize, qpxStatusBadStep (pSrc, pNorm below
 *         4 x width, pMask below width), qpxStatusStepNotMultiple (32-bit steps not a multiple of
 *         4), qpxStatusBadArgument (scaleFactor above 0), qpxStatusNullPointer (a spec without
 *         work area), checked in this order. */
QPX_API qpxStatus qpxiApplyHaarClassifier_32s_C1RSfs(const int32_t* pSrc, int srcStep, const int32_t* pNorm, int normStep, uint8_t* pMask, int maskStep, qpxSize roiSize, int* pPositive, int32_t threshold, qpxHaarClassifier_32s* pState, int scaleFactor);
/** The stage of qpxiApplyHaarClassifier_32f_C1R() with upright and tilted classifiers: upright
 * ones sample pSrc, tilted ones pTilt one row down and one column right,
 * J(c, r) = tilt(x + 1 + c, y + 1 + r). Arithmetic as in the plain forms of the same types.
 *
 * @param pSrc      Upright integral image.
 * @param srcStep   Row step of pSrc in bytes.
 * @param pTilt     Tilted integral image of the same type as pSrc; tilted classifiers sample it
 *                  one row down and one column right of this pointer.
 * @param tiltStep  Row step of pTilt in bytes.
 * @param pNorm     Per-window norm (32f), the ROI's size.
 * @param normStep  Row step of pNorm in bytes.
 * @param pMask     8u window mask, read and cleared where a window fails.
 * @param maskStep  Row step of pMask in bytes.
 * @param roiSize   Window positions; the integral images must cover every window.
 * @param pPositive In: count of set windows (strategy hint). Out: positive windows.
 * @param threshold Stage threshold.
 * @param pState    Stage spec with float values.
 * @return qpxStatusOk, qpxStatusNullPointer, qpxStatusBadSize, qpxStatusBadStep (pSrc, pTilt,
 *         pNorm below 4 x width, pMask below width), qpxStatusStepNotMultiple (32-bit steps not a
 *         multiple of 4), qpxStatusNullPointer (a spec without work area), checked in this
 *         order. */
QPX_API qpxStatus qpxiApplyMixedHaarClassifier_32f_C1R(const float* pSrc, int srcStep, const float* pTilt, int tiltStep, const float* pNorm, int normStep, uint8_t* pMask, int maskStep, qpxSize roiSize, int* pPositive, float threshold, qpxHaarClassifier_32f* pState);
QPX_API qpxStatus qpxiApplyMixedHaarClassifier_32s32f_C1R(const int32_t* pSrc, int srcStep, const int32_t* pTilt, int tiltStep, const float* pNorm, int normStep, uint8_t* pMask, int maskStep, qpxSize roiSize, int* pPositive, float threshold, qpxHaarClassifier_32f* pState);
/** The mixed stage on int32 integrals with an int32 spec; arithmetic as in
 * qpxiApplyHaarClassifier_32s_C1RSfs().
 *
 * @param pSrc      Upright integral image.
 * @param srcStep   Row step of pSrc in bytes.
 * @param pTilt     Tilted integral image of the same type as pSrc; tilted classifiers sample it
 *                  one row down and one column right of this pointer.
 * @param tiltStep  Row step of pTilt in bytes.
 * @param pNorm     Per-window norm (32s), the ROI's size.
 * @param normStep  Row step of pNorm in bytes.
 * @param pMask     8u window mask, read and cleared where a window fails.
 * @param maskStep  Row step of pMask in bytes.
 * @param roiSize   Window positions; the integral images must cover every window.
 * @param pPositive In: count of set windows (strategy hint). Out: positive windows.
 * @param threshold Stage threshold.
 * @param pState    Stage spec with int32 values.
 * @param scaleFactor At most 0: the feature sum is shifted left by -scaleFactor.
 * @return qpxStatusOk, qpxStatusNullPointer, qpxStatusBadSize, qpxStatusBadStep (pSrc, pTilt,
 *         pNorm below 4 x width, pMask below width), qpxStatusStepNotMultiple (32-bit steps not a
 *         multiple of 4), qpxStatusBadArgument (scaleFactor above 0), qpxStatusNullPointer (a
 *         spec without work area), checked in this order. */
QPX_API qpxStatus qpxiApplyMixedHaarClassifier_32s_C1RSfs(const int32_t* pSrc, int srcStep, const int32_t* pTilt, int tiltStep, const int32_t* pNorm, int normStep, uint8_t* pMask, int maskStep, qpxSize roiSize, int* pPositive, int32_t threshold, qpxHaarClassifier_32s* pState, int scaleFactor);
/** @} */

/* ---------------------------------------------------------------------------------------------
 * Norms of masked images: one image, a difference, a relative difference (Inf, L1, L2)
 * ------------------------------------------------------------------------------------------- */
/** @name Norm of an image (one channel)
 * @{ */
/** Masked norm of one image: Inf `max |s|`, L1 `sum |s|`, L2 `sqrt(sum s^2)` over the pixels
 * whose mask byte is not zero; an empty selection gives 0.
 *
 * Only pixels whose mask byte is not zero take part (one mask byte per pixel, also for the C3CMR
 * layout, whose channel `coi` 1..3 of three interleaved channels is processed).
 *
 * Precision. 8u: sums (64-bit) and maxima are exact integers, converted to double; L2 takes a
 * double square root. 16u and 32f: each term (|s|, s^2, |d|, d^2) is formed in single precision
 * (for 32f, d is a single-precision subtraction) and converted to double before it is added.
 * Each row is summed in eight double accumulators, accumulator i taking the ROI elements at
 * x = i mod 8 in increasing x; at the end of the row they are combined as
 * ((a0 + a4) + (a1 + a5)) + ((a2 + a6) + (a3 + a7)) and that row total is added to the running
 * double total, top to bottom. Every vector target follows this order, so results are the same
 * on every processor. Inf keeps the largest magnitude in the element type (single precision for
 * 32f; a NaN term wins) and converts it to double. Floating-point arithmetic runs in the
 * caller's rounding mode. Masked-off pixels contribute nothing, so an infinity or NaN under a zero mask
 * byte has no effect.
 *
 * @param src      Source image (8u, 16u or 32f; one channel).
 * @param srcStep  Row step of `src` in bytes.
 * @param mask     Mask image (8u, one byte per pixel).
 * @param maskStep Row step of `mask` in bytes.
 * @param roiSize  ROI width and height in pixels.
 * @param pNorm    Receives the norm; not written on an error.
 * @return qpxStatusOk, qpxStatusNullPointer (src, mask, pNorm), qpxStatusBadSize,
 *         qpxStatusBadStep (the source step below width x channels x element size),
 *         qpxStatusStepNotMultiple (the source step), qpxStatusBadStep (the mask step below the
 *         width), checked in this order. */

QPX_API qpxStatus qpxiNorm_Inf_8u_C1MR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNorm_Inf_16u_C1MR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNorm_Inf_32f_C1MR(const float* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNorm_L1_8u_C1MR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNorm_L1_16u_C1MR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNorm_L1_32f_C1MR(const float* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNorm_L2_8u_C1MR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNorm_L2_16u_C1MR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNorm_L2_32f_C1MR(const float* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
/** @} */
/** @name Norm of an image (channel of interest)
 * @{ */
/** Masked norm of one image: Inf `max |s|`, L1 `sum |s|`, L2 `sqrt(sum s^2)` over the pixels
 * whose mask byte is not zero; an empty selection gives 0.
 *
 * Only pixels whose mask byte is not zero take part (one mask byte per pixel, also for the C3CMR
 * layout, whose channel `coi` 1..3 of three interleaved channels is processed).
 *
 * Precision. 8u: sums (64-bit) and maxima are exact integers, converted to double; L2 takes a
 * double square root. 16u and 32f: each term (|s|, s^2, |d|, d^2) is formed in single precision
 * (for 32f, d is a single-precision subtraction) and converted to double before it is added.
 * Each row is summed in eight double accumulators, accumulator i taking the ROI elements at
 * x = i mod 8 in increasing x; at the end of the row they are combined as
 * ((a0 + a4) + (a1 + a5)) + ((a2 + a6) + (a3 + a7)) and that row total is added to the running
 * double total, top to bottom. Every vector target follows this order, so results are the same
 * on every processor. Inf keeps the largest magnitude in the element type (single precision for
 * 32f; a NaN term wins) and converts it to double. Floating-point arithmetic runs in the
 * caller's rounding mode. Masked-off pixels contribute nothing, so an infinity or NaN under a zero mask
 * byte has no effect.
 *
 * @param src      Source image (8u, 16u or 32f; one channel, or three interleaved for these forms).
 * @param srcStep  Row step of `src` in bytes.
 * @param mask     Mask image (8u, one byte per pixel).
 * @param maskStep Row step of `mask` in bytes.
 * @param roiSize  ROI width and height in pixels.
 * @param coi      The channel of interest, 1..3.
 * @param pNorm    Receives the norm; not written on an error.
 * @return qpxStatusOk, qpxStatusNullPointer (src, mask, pNorm), qpxStatusBadSize,
 *         qpxStatusBadStep (the source step below width x channels x element size),
 *         qpxStatusStepNotMultiple (the source step), qpxStatusBadStep (the mask step below the
 *         width) and, for these forms, qpxStatusBadCoi, checked in this order. */

QPX_API qpxStatus qpxiNorm_Inf_8u_C3CMR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNorm_Inf_16u_C3CMR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNorm_Inf_32f_C3CMR(const float* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNorm_L1_8u_C3CMR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNorm_L1_16u_C3CMR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNorm_L1_32f_C3CMR(const float* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNorm_L2_8u_C3CMR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNorm_L2_16u_C3CMR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNorm_L2_32f_C3CMR(const float* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
/** @} */
/** @name Norm of the difference of two images (one channel)
 * @{ */
/** Masked norm of the difference d = s1 - s2 of two images: Inf `max |d|`, L1 `sum |d|`, L2
 * `sqrt(sum d^2)` over the pixels whose mask byte is not zero; an empty selection gives 0.
 * 8u differences are exact signed integers.
 *
 * Only pixels whose mask byte is not zero take part (one mask byte per pixel, also for the C3CMR
 * layout, whose channel `coi` 1..3 of three interleaved channels is processed).
 *
 * Precision. 8u: sums (64-bit) and maxima are exact integers, converted to double; L2 takes a
 * double square root. 16u and 32f: each term (|s|, s^2, |d|, d^2) is formed in single precision
 * (for 32f, d is a single-precision subtraction) and converted to double before it is added.
 * Each row is summed in eight double accumulators, accumulator i taking the ROI elements at
 * x = i mod 8 in increasing x; at the end of the row they are combined as
 * ((a0 + a4) + (a1 + a5)) + ((a2 + a6) + (a3 + a7)) and that row total is added to the running
 * double total, top to bottom. Every vector target follows this order, so results are the same
 * on every processor. Inf keeps the largest magnitude in the element type (single precision for
 * 32f; a NaN term wins) and converts it to double. Floating-point arithmetic runs in the
 * caller's rounding mode. Masked-off pixels contribute nothing, so an infinity or NaN under a zero mask
 * byte has no effect.
 *
 * @param src1      First source image (8u, 16u or 32f; one channel).
 * @param src1Step  Row step of `src1` in bytes.
 * @param src2      Second source image, same type and layout.
 * @param src2Step  Row step of `src2` in bytes.
 * @param mask      Mask image (8u, one byte per pixel).
 * @param maskStep  Row step of `mask` in bytes.
 * @param roiSize   ROI width and height in pixels.
 * @param pNorm     Receives the norm; not written on an error.
 * @return qpxStatusOk, qpxStatusNullPointer (src1, src2, mask, pNorm), qpxStatusBadSize,
 *         qpxStatusBadStep (any of the three steps short of a row: sources width x channels x
 *         element size, mask width), qpxStatusStepNotMultiple (a source step), checked in this
 *         order. */

QPX_API qpxStatus qpxiNormDiff_Inf_8u_C1MR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_Inf_16u_C1MR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_Inf_32f_C1MR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_L1_8u_C1MR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_L1_16u_C1MR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_L1_32f_C1MR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_L2_8u_C1MR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_L2_16u_C1MR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_L2_32f_C1MR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
/** @} */
/** @name Norm of the difference of two images (channel of interest)
 * @{ */
/** Masked norm of the difference d = s1 - s2 of two images: Inf `max |d|`, L1 `sum |d|`, L2
 * `sqrt(sum d^2)` over the pixels whose mask byte is not zero; an empty selection gives 0.
 * 8u differences are exact signed integers.
 *
 * Only pixels whose mask byte is not zero take part (one mask byte per pixel, also for the C3CMR
 * layout, whose channel `coi` 1..3 of three interleaved channels is processed).
 *
 * Precision. 8u: sums (64-bit) and maxima are exact integers, converted to double; L2 takes a
 * double square root. 16u and 32f: each term (|s|, s^2, |d|, d^2) is formed in single precision
 * (for 32f, d is a single-precision subtraction) and converted to double before it is added.
 * Each row is summed in eight double accumulators, accumulator i taking the ROI elements at
 * x = i mod 8 in increasing x; at the end of the row they are combined as
 * ((a0 + a4) + (a1 + a5)) + ((a2 + a6) + (a3 + a7)) and that row total is added to the running
 * double total, top to bottom. Every vector target follows this order, so results are the same
 * on every processor. Inf keeps the largest magnitude in the element type (single precision for
 * 32f; a NaN term wins) and converts it to double. Floating-point arithmetic runs in the
 * caller's rounding mode. Masked-off pixels contribute nothing, so an infinity or NaN under a zero mask
 * byte has no effect.
 *
 * @param src1      First source image (8u, 16u or 32f; one channel, or three for these forms).
 * @param src1Step  Row step of `src1` in bytes.
 * @param src2      Second source image, same type and layout.
 * @param src2Step  Row step of `src2` in bytes.
 * @param mask      Mask image (8u, one byte per pixel).
 * @param maskStep  Row step of `mask` in bytes.
 * @param roiSize   ROI width and height in pixels.
 * @param coi       The channel of interest, 1..3.
 * @param pNorm     Receives the norm; not written on an error.
 * @return qpxStatusOk, qpxStatusNullPointer (src1, src2, mask, pNorm), qpxStatusBadSize,
 *         qpxStatusBadStep (any of the three steps short of a row: sources width x channels x
 *         element size, mask width), qpxStatusStepNotMultiple (a source step) and, for these forms,
 *         qpxStatusBadCoi, checked in this order. */

QPX_API qpxStatus qpxiNormDiff_Inf_8u_C3CMR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_Inf_16u_C3CMR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_Inf_32f_C3CMR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_L1_8u_C3CMR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_L1_16u_C3CMR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_L1_32f_C3CMR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_L2_8u_C3CMR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_L2_16u_C3CMR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormDiff_L2_32f_C3CMR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
/** @} */
/** @name Relative norm of two images (one channel)
 * @{ */
/** Masked relative norm: the norm of d = s1 - s2 divided by the norm of s2. Inf
 * `max |d| / max |s2|`, L1 `sum |d| / sum |s2|`, L2 `sqrt(sum d^2 / sum s2^2)`, the two
 * statistics taken over the pixels whose mask byte is not zero (in one pass) and divided in
 * double.
 *
 * Only pixels whose mask byte is not zero take part (one mask byte per pixel, also for the C3CMR
 * layout, whose channel `coi` 1..3 of three interleaved channels is processed).
 *
 * Precision. 8u: sums (64-bit) and maxima are exact integers, converted to double; L2 takes a
 * double square root. 16u and 32f: each term (|s|, s^2, |d|, d^2) is formed in single precision
 * (for 32f, d is a single-precision subtraction) and converted to double before it is added.
 * Each row is summed in eight double accumulators, accumulator i taking the ROI elements at
 * x = i mod 8 in increasing x; at the end of the row they are combined as
 * ((a0 + a4) + (a1 + a5)) + ((a2 + a6) + (a3 + a7)) and that row total is added to the running
 * double total, top to bottom. Every vector target follows this order, so results are the same
 * on every processor. Inf keeps the largest magnitude in the element type (single precision for
 * 32f; a NaN term wins) and converts it to double. Floating-point arithmetic runs in the
 * caller's rounding mode. 32f: every term is first multiplied by m = 1.0 (mask set) or 0.0 (mask clear),
 * so an infinity or NaN under a zero mask byte makes its term NaN and the result NaN.
 *
 * Zero denominator: when the denominator is neither below nor above zero (zero, or NaN for
 * 32f), the result is +infinity for a numerator above zero, -infinity below zero and NaN
 * otherwise, written to `pNorm` with qpxStatusZeroDivisorWarning. An empty selection is such a
 * case (NaN).
 *
 * @param src1      First source image (8u, 16u or 32f; one channel).
 * @param src1Step  Row step of `src1` in bytes.
 * @param src2      Second source image, same type and layout: the reference.
 * @param src2Step  Row step of `src2` in bytes.
 * @param mask      Mask image (8u, one byte per pixel).
 * @param maskStep  Row step of `mask` in bytes.
 * @param roiSize   ROI width and height in pixels.
 * @param pNorm     Receives the relative norm; not written on an error.
 * @return qpxStatusOk or qpxStatusZeroDivisorWarning; on an error qpxStatusNullPointer (src1,
 *         src2, mask, pNorm), qpxStatusBadSize, qpxStatusBadStep (any of the three steps short of
 *         a row), qpxStatusStepNotMultiple (a source step),
 *         checked in this order. */

QPX_API qpxStatus qpxiNormRel_Inf_8u_C1MR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormRel_Inf_16u_C1MR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormRel_Inf_32f_C1MR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormRel_L1_8u_C1MR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormRel_L1_16u_C1MR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormRel_L1_32f_C1MR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormRel_L2_8u_C1MR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormRel_L2_16u_C1MR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
QPX_API qpxStatus qpxiNormRel_L2_32f_C1MR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pNorm);
/** @} */
/** @name Relative norm of two images (channel of interest)
 * @{ */
/** Masked relative norm: the norm of d = s1 - s2 divided by the norm of s2. Inf
 * `max |d| / max |s2|`, L1 `sum |d| / sum |s2|`, L2 `sqrt(sum d^2 / sum s2^2)`, the two
 * statistics taken over the pixels whose mask byte is not zero (in one pass) and divided in
 * double.
 *
 * Only pixels whose mask byte is not zero take part (one mask byte per pixel, also for the C3CMR
 * layout, whose channel `coi` 1..3 of three interleaved channels is processed).
 *
 * Precision. 8u: sums (64-bit) and maxima are exact integers, converted to double; L2 takes a
 * double square root. 16u and 32f: each term (|s|, s^2, |d|, d^2) is formed in single precision
 * (for 32f, d is a single-precision subtraction) and converted to double before it is added.
 * Each row is summed in eight double accumulators, accumulator i taking the ROI elements at
 * x = i mod 8 in increasing x; at the end of the row they are combined as
 * ((a0 + a4) + (a1 + a5)) + ((a2 + a6) + (a3 + a7)) and that row total is added to the running
 * double total, top to bottom. Every vector target follows this order, so results are the same
 * on every processor. Inf keeps the largest magnitude in the element type (single precision for
 * 32f; a NaN term wins) and converts it to double. Floating-point arithmetic runs in the
 * caller's rounding mode. 32f: every term is first multiplied by m = 1.0 (mask set) or 0.0 (mask clear),
 * so an infinity or NaN under a zero mask byte makes its term NaN and the result NaN.
 *
 * Zero denominator: when the denominator is neither below nor above zero (zero, or NaN for
 * 32f), the result is +infinity for a numerator above zero, -infinity below zero and NaN
 * otherwise, written to `pNorm` with qpxStatusZeroDivisorWarning. An empty selection is such a
 * case (NaN).
 *
 * @param src1      First source image (8u, 16u or 32f; one channel, or three for these forms).
 * @param src1Step  Row step of `src1` in bytes.
 * @param src2      Second source image, same type and layout: the reference.
 * @param src2Step  Row step of `src2` in bytes.
 * @param mask      Mask image (8u, one byte per pixel).
 * @param maskStep  Row step of `mask` in bytes.
 * @param roiSize   ROI width and height in pixels.
 * @param coi       The channel of interest, 1..3.
 * @param pNorm     Receives the relative norm; not written on an error.
 * @return qpxStatusOk or qpxStatusZeroDivisorWarning; on an error qpxStatusNullPointer (src1,
 *         src2, mask, pNorm), qpxStatusBadSize, qpxStatusBadStep (any of the three steps short of
 *         a row), qpxStatusStepNotMultiple (a source step) and, for these forms, qpxStatusBadCoi,
 *         checked in this order. */

QPX_API qpxStatus qpxiNormRel_Inf_8u_C3CMR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormRel_Inf_16u_C3CMR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormRel_Inf_32f_C3CMR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormRel_L1_8u_C3CMR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormRel_L1_16u_C3CMR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormRel_L1_32f_C3CMR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormRel_L2_8u_C3CMR(const uint8_t* src1, int src1Step, const uint8_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormRel_L2_16u_C3CMR(const uint16_t* src1, int src1Step, const uint16_t* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
QPX_API qpxStatus qpxiNormRel_L2_32f_C3CMR(const float* src1, int src1Step, const float* src2, int src2Step, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pNorm);
/** @} */

/* ---------------------------------------------------------------------------------------------
 * Integral images and window standard deviation
 * ------------------------------------------------------------------------------------------- */
/** @name Upright integral
 * @{ */
/** Integral image of an 8u image: `I(x, y) = val + sum of src(i, j) over i < x, j < y`.
 *
 * `dst` has (W + 1) x (H + 1) elements for a W x H source; row 0 and column 0 hold `val`. Rows are
 * produced top to bottom: `I(x + 1, y + 1) = I(x + 1, y) + r` with r the running sum of source
 * row y up to column x. The 32s form wraps modulo 2^32 (no saturation). The 8u32f form converts
 * the exact integer r to single precision and adds it to the element above in single precision.
 *
 * @param src     Source image (8u), W x H.
 * @param srcStep Row step of `src` in bytes.
 * @param dst     Integral image (32s or 32f), (W + 1) x (H + 1).
 * @param dstStep Row step of `dst` in bytes.
 * @param roiSize Source size W x H.
 * @param val     Value of row 0 and column 0, added to every sum.
 * @return qpxStatusOk, or the first failed check: qpxStatusNullPointer (src, dst),
 *         qpxStatusBadSize (W or H below 1), qpxStatusBadStep (srcStep below W elements, dstStep
 *         below (W + 1) x 4), qpxStatusStepNotMultiple (dstStep not a multiple of 4). */
QPX_API qpxStatus qpxiIntegral_8u32s_C1R(const uint8_t* src, int srcStep, int32_t* dst, int dstStep, qpxSize roiSize, int val);
QPX_API qpxStatus qpxiIntegral_8u32f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, float val);
/** @} */
/** Integral image of a 32f image, as qpxiIntegral_8u32f_C1R() with an initial value of 0: the
 * row sum is a single-precision running sum, added in single precision to the element above.
 *
 * @param src     Source image (32f), W x H.
 * @param srcStep Row step of `src` in bytes.
 * @param dst     Integral image (32f), (W + 1) x (H + 1).
 * @param dstStep Row step of `dst` in bytes.
 * @param roiSize Source size W x H.
 * @return qpxStatusOk, or the first failed check: qpxStatusNullPointer (src, dst),
 *         qpxStatusBadSize, qpxStatusBadStep (srcStep below W x 4, dstStep below (W + 1) x 4),
 *         qpxStatusStepNotMultiple (srcStep, then dstStep, not a multiple of 4). */
QPX_API qpxStatus qpxiIntegral_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize);
/** @name Upright integral with the integral of squares
 * @{ */
/** Integral image and integral of squares of an 8u image in one pass.
 *
 * `dst` is the upright integral of qpxiIntegral_8u32s_C1R() (32s) or qpxiIntegral_8u32f_C1R() (32f)
 * with `val`; `sqr` is the same with src^2 in place of src and `valSqr` in place of val. The row
 * sum of squares is an exact integer (wrapping 32-bit for a 32s `sqr`) converted to the type of
 * `sqr` and added there (double precision for 64f). Both are (W + 1) x (H + 1).
 *
 * @param src     Source image (8u), W x H.
 * @param srcStep Row step of `src` in bytes.
 * @param dst     Integral image (32s or 32f).
 * @param dstStep Row step of `dst` in bytes.
 * @param sqr     Integral of squares (32s or 64f).
 * @param sqrStep Row step of `sqr` in bytes.
 * @param roiSize Source size W x H.
 * @param val     Value of the first row and column of `dst`.
 * @param valSqr  Value of the first row and column of `sqr`.
 * @return qpxStatusOk, or the first failed check: qpxStatusNullPointer (src, dst, sqr),
 *         qpxStatusBadSize, qpxStatusBadStep (srcStep below W, dstStep below (W + 1) x 4,
 *         sqrStep below (W + 1) elements of `sqr`), then qpxStatusStepNotMultiple (dstStep not a
 *         multiple of 4, sqrStep not a multiple of its element size). */
QPX_API qpxStatus qpxiSqrIntegral_8u32s_C1R(const uint8_t* src, int srcStep, int32_t* dst, int dstStep, int32_t* sqr, int sqrStep, qpxSize roiSize, int val, int valSqr);
QPX_API qpxStatus qpxiSqrIntegral_8u32s64f_C1R(const uint8_t* src, int srcStep, int32_t* dst, int dstStep, double* sqr, int sqrStep, qpxSize roiSize, int val, double valSqr);
QPX_API qpxStatus qpxiSqrIntegral_8u32f64f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, double* sqr, int sqrStep, qpxSize roiSize, float val, double valSqr);
/** @} */
/** @name Tilted (45-degree) integral
 * @{ */
/** Tilted integral of an 8u image, (W + 2) columns x (H + 2) rows, by the recurrence (row R,
 * column c; s(x, y) the source, s(W, y) = 0): rows 0 and 1 hold `val`; for R = r + 2,
 * `T(R, 0) = T(R - 1, 1)`, then for c = 1 .. W
 * `T(R, c) = T(R - 1, c - 1) + T(R - 1, c + 1) - T(R - 2, c) + s(c - 1, r) + s(c, r)`,
 * and `T(R, W + 1) = T(R - 1, W)`. Away from the left edge T(R, c) is
 * val plus the sum over the upward cone of pixels with y <= R - 2 and
 * c - 1 - (R - 2 - y) <= x <= c + (R - 2 - y).
 *
 * The 32s form wraps modulo 2^32. The 32f form evaluates each right-hand side in double precision
 * from the stored single-precision values and rounds it to single precision.
 *
 * @param src     Source image (8u), W x H.
 * @param srcStep Row step of `src` in bytes.
 * @param dst     Tilted integral (32s or 32f), (W + 2) x (H + 2).
 * @param dstStep Row step of `dst` in bytes.
 * @param roiSize Source size W x H.
 * @param val     Value of the first two rows, carried by the recurrence.
 * @return qpxStatusOk, or the first failed check: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusBadStep (srcStep below W, dstStep below (W + 2) x 4),
 *         qpxStatusStepNotMultiple (dstStep not a multiple of 4). */
QPX_API qpxStatus qpxiTiltedIntegral_8u32s_C1R(const uint8_t* src, int srcStep, int32_t* dst, int dstStep, qpxSize roiSize, int val);
QPX_API qpxStatus qpxiTiltedIntegral_8u32f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, float val);
/** @} */
/** @name Tilted integral with the tilted integral of squares
 * @{ */
/** Tilted integral (as qpxiTiltedIntegral_8u32s_C1R() or qpxiTiltedIntegral_8u32f_C1R()) and the
 * same recurrence on src^2 with `valSqr` into `sqr`: wrapping 32-bit for a 32s `sqr`, double
 * precision for a 64f one. Both images are (W + 2) x (H + 2).
 *
 * @param src     Source image (8u), W x H.
 * @param srcStep Row step of `src` in bytes.
 * @param dst     Tilted integral (32s or 32f).
 * @param dstStep Row step of `dst` in bytes.
 * @param sqr     Tilted integral of squares (32s or 64f).
 * @param sqrStep Row step of `sqr` in bytes.
 * @param roiSize Source size W x H.
 * @param val     Value of the first two rows of `dst`.
 * @param valSqr  Value of the first two rows of `sqr`.
 * @return qpxStatusOk, or the first failed check: qpxStatusNullPointer (src, dst, sqr),
 *         qpxStatusBadSize, qpxStatusBadStep (srcStep below W, dstStep below (W + 2) x 4,
 *         sqrStep below (W + 2) elements of `sqr`), then qpxStatusStepNotMultiple. */
QPX_API qpxStatus qpxiTiltedSqrIntegral_8u32s_C1R(const uint8_t* src, int srcStep, int32_t* dst, int dstStep, int32_t* sqr, int sqrStep, qpxSize roiSize, int val, int valSqr);
QPX_API qpxStatus qpxiTiltedSqrIntegral_8u32s64f_C1R(const uint8_t* src, int srcStep, int32_t* dst, int dstStep, double* sqr, int sqrStep, qpxSize roiSize, int val, double valSqr);
QPX_API qpxStatus qpxiTiltedSqrIntegral_8u32f64f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, double* sqr, int sqrStep, qpxSize roiSize, float val, double valSqr);
/** @} */
/** @name Window standard deviation over upright integrals
 * @{ */
/** Standard deviation over a window of every output pixel, from an integral `src` and an
 * integral of squares `sqr`. For output (i, j) and `rect` (x, y, w, h): A = I(i + x, j + y),
 * B = I(i + x + w, j + y), C = I(i + x, j + y + h), D = I(i + x + w, j + y + h) (column, row),
 * S1 = A - B - C + D, S2 likewise from `sqr`, n = w x h, m = S1 / n, e = S2 / n,
 * v = e - m^2 (negative v becomes 0), result sqrt(v).
 *
 * Precision: `32s_C1RSfs` forms the sums in wrapping 32-bit integers, then m, e and v in single
 * precision with 1/n as 1.0f / n, takes the square root in double, multiplies by 2^-scaleFactor,
 * adds 0.5 and truncates to int32 without saturation. `32s32f` rounds each 64f sample to single,
 * divides by n and works in single precision. `32f` sums S1 in single, S2 in double, and forms
 * m, e and v in double (times 1/n) before a single-precision square root. The `Sfs` form takes
 * `scaleFactor` (int) last.
 *
 * @param src         Integral image (32s or 32f) at the window origin of output (0, 0).
 * @param srcStep     Row step of `src` in bytes.
 * @param sqr         Integral of squares (32s or 64f).
 * @param sqrStep     Row step of `sqr` in bytes.
 * @param dst         Result (32s or 32f), W x H.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     Result size W x H; the integrals must have H + y + h rows.
 * @param rect        The window relative to each output pixel.
 * @return qpxStatusOk, or the first failed check: qpxStatusNullPointer (src, sqr, dst),
 *         qpxStatusBadSize (roiSize below 1x1), qpxStatusBadStep (srcStep and sqrStep below
 *         x + w + W elements, dstStep below W x 4), qpxStatusStepNotMultiple (a step not a multiple
 *         of its element size), qpxStatusBadArgument (x or y negative, w or h below 1). */
QPX_API qpxStatus qpxiRectStdDev_32s_C1RSfs(const int32_t* src, int srcStep, const int32_t* sqr, int sqrStep, int32_t* dst, int dstStep, qpxSize roiSize, qpxRect rect, int scaleFactor);
QPX_API qpxStatus qpxiRectStdDev_32s32f_C1R(const int32_t* src, int srcStep, const double* sqr, int sqrStep, float* dst, int dstStep, qpxSize roiSize, qpxRect rect);
QPX_API qpxStatus qpxiRectStdDev_32f_C1R(const float* src, int srcStep, const double* sqr, int sqrStep, float* dst, int dstStep, qpxSize roiSize, qpxRect rect);
/** @} */
/** @name Window standard deviation over tilted integrals
 * @{ */
/** Standard deviation over a 45-degree window, from a tilted integral `src` and tilted integral
 * of squares `sqr`. For output (i, j) and `rect` (x, y, w, h) the samples (row, column) are
 * P3 = T(j + x + y, i + x - y), P1 = T(j + x + y + h, i + x - y - h),
 * P2 = T(j + x + y + w, i + x - y + w), P4 = T(j + x + y + w + h, i + x - y + w - h);
 * S1 = P3 - (P1 + P2) + P4, S2 likewise, n = 2 x w x h; then as qpxiRectStdDev_32f_C1R().
 * Columns may lie left of `src` when x < y + h: the caller places the pointers so that every
 * sample lies inside its images.
 *
 * Precision: `32s_C1RSfs` sums in wrapping 32-bit integers, m and e in single precision (1/n as
 * 1.0f / n), m^2 and v in double, v through single, a double square root rounded to single, then
 * in single precision times 2^-scaleFactor plus 0.5, truncated to int32 without saturation.
 * `32s32f` forms m in single (S1 times 1.0f / n) and e, v in double (S2 times 1.0 / n), v through
 * single, single-precision square root. `32f` forms S1, S2, m, e and v in double, v through
 * single, single-precision square root. The `Sfs` form takes `scaleFactor` (int) last.
 *
 * @param src         Tilted integral (32s or 32f).
 * @param srcStep     Row step of `src` in bytes.
 * @param sqr         Tilted integral of squares (32s or 64f).
 * @param sqrStep     Row step of `sqr` in bytes.
 * @param dst         Result (32s or 32f), W x H.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     Result size W x H; the integrals must have H + x + y + w + h rows.
 * @param rect        The window relative to each output pixel.
 * @return qpxStatusOk, or the first failed check: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusBadStep (srcStep and sqrStep below x + y + w + h + W - 1 elements, dstStep
 *         below W x 4), qpxStatusStepNotMultiple, qpxStatusBadArgument (x or y negative, w or h
 *         below 1). */
QPX_API qpxStatus qpxiTiltedRectStdDev_32s_C1RSfs(const int32_t* src, int srcStep, const int32_t* sqr, int sqrStep, int32_t* dst, int dstStep, qpxSize roiSize, qpxRect rect, int scaleFactor);
QPX_API qpxStatus qpxiTiltedRectStdDev_32s32f_C1R(const int32_t* src, int srcStep, const double* sqr, int sqrStep, float* dst, int dstStep, qpxSize roiSize, qpxRect rect);
QPX_API qpxStatus qpxiTiltedRectStdDev_32f_C1R(const float* src, int srcStep, const double* sqr, int sqrStep, float* dst, int dstStep, qpxSize roiSize, qpxRect rect);
/** @} */

/* ---------------------------------------------------------------------------------------------
 * Means, standard deviations and extrema (one channel, optional 8u mask)
 * ------------------------------------------------------------------------------------------- */
/** @name Masked mean
 * @{ */
/** Mean of the selected pixels: `mean = S / n` (a double division), where n is the number of ROI
 * pixels whose mask byte is not zero and S the sum of their values.
 *
 * The `C3CMR` forms read channel `coi` (1..3) of a three-channel image; the mask has one byte a
 * pixel. 8u and 16u sums are exact integers. 32f sums are double: each row feeds 8 double
 * accumulators, accumulator i taking the values at x = i mod 8 in increasing x, combined at the
 * row's end as ((a0+a4)+(a1+a5))+((a2+a6)+(a3+a7)) and added to the running total. An empty
 * mask (n = 0) gives a mean of 0.0 and qpxStatusOk. The `C3CMR` forms take the channel of
 * interest `coi` (int, 1..3) between `roiSize` and `pMean`.
 *
 * @param src      Source image (one channel, or three interleaved for `C3CMR`).
 * @param srcStep  Row step of `src` in bytes.
 * @param mask     Mask image, 8u, one byte a pixel; nonzero selects.
 * @param maskStep Row step of `mask` in bytes.
 * @param roiSize  ROI width and height in pixels.
 * @param pMean    Receives the mean. Required.
 * @return qpxStatusOk; qpxStatusNullPointer (src, mask or pMean null), qpxStatusBadSize,
 *         qpxStatusBadStep (srcStep below a row, maskStep below the width),
 *         qpxStatusStepNotMultiple (16u or 32f srcStep), qpxStatusBadCoi, checked in this order;
 *         both row tests come before the multiple test, except in qpxiMean_16u_C3CMR, which
 *         tests the source step's multiple before the mask step. */
QPX_API qpxStatus qpxiMean_8u_C1MR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pMean);
QPX_API qpxStatus qpxiMean_16u_C1MR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pMean);
QPX_API qpxStatus qpxiMean_32f_C1MR(const float* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pMean);
QPX_API qpxStatus qpxiMean_8u_C3CMR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pMean);
QPX_API qpxStatus qpxiMean_16u_C3CMR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pMean);
QPX_API qpxStatus qpxiMean_32f_C3CMR(const float* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pMean);
/** @} */
/** @name Mean and standard deviation
 * @{ */
/** Mean and standard deviation of the ROI (`C1R`, `C3CR`) or of its selected pixels (`C1MR`,
 * `C3CMR`): with n pixels, sum S and sum of squares Q, `r = 1.0 / n`, `mean = S * r`,
 * `stddev = sqrt(|Q * r - mean^2|)` (the absolute value, not a clamp), all in double.
 *
 * 8u and 16u: each row's S and Q are exact integers, added into double totals. 32f: S and Q
 * (each square rounded to single precision) are summed in double with the grouping of the masked
 * mean; when `stddev^2 < 0.05 * mean^2` the deviation is recomputed from
 * `D = sum (s - m)^2`, m the mean rounded to single precision, each difference, square and the
 * running sum in single precision in row-major order, as `stddev = sqrt(D / n)`; the mean is
 * kept. An empty mask gives 0.0 for both and qpxStatusOk.
 *
 * The masked forms take `mask, maskStep` (8u, one byte a pixel, nonzero selects) after
 * `srcStep`; the `C3C` forms take the channel of interest `coi` (int, 1..3) after `roiSize`.
 *
 * @param src      Source image (one channel, or three interleaved for `C3C`).
 * @param srcStep  Row step of `src` in bytes.
 * @param roiSize  ROI width and height in pixels.
 * @param pMean    Receives the mean; may be null (not written).
 * @param pStdDev  Receives the standard deviation; may be null (not written).
 * @return qpxStatusOk; qpxStatusNullPointer (src or mask null), qpxStatusBadSize,
 *         qpxStatusBadStep (srcStep below a row, maskStep below the width),
 *         qpxStatusStepNotMultiple (16u or 32f srcStep), qpxStatusBadCoi, in this order. */
QPX_API qpxStatus qpxiMean_StdDev_8u_C1R(const uint8_t* src, int srcStep, qpxSize roiSize, double* pMean, double* pStdDev);
QPX_API qpxStatus qpxiMean_StdDev_8u_C1MR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pMean, double* pStdDev);
QPX_API qpxStatus qpxiMean_StdDev_8u_C3CR(const uint8_t* src, int srcStep, qpxSize roiSize, int coi, double* pMean, double* pStdDev);
QPX_API qpxStatus qpxiMean_StdDev_8u_C3CMR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pMean, double* pStdDev);
QPX_API qpxStatus qpxiMean_StdDev_16u_C1R(const uint16_t* src, int srcStep, qpxSize roiSize, double* pMean, double* pStdDev);
QPX_API qpxStatus qpxiMean_StdDev_16u_C1MR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pMean, double* pStdDev);
QPX_API qpxStatus qpxiMean_StdDev_16u_C3CR(const uint16_t* src, int srcStep, qpxSize roiSize, int coi, double* pMean, double* pStdDev);
QPX_API qpxStatus qpxiMean_StdDev_16u_C3CMR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pMean, double* pStdDev);
QPX_API qpxStatus qpxiMean_StdDev_32f_C1R(const float* src, int srcStep, qpxSize roiSize, double* pMean, double* pStdDev);
QPX_API qpxStatus qpxiMean_StdDev_32f_C1MR(const float* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, double* pMean, double* pStdDev);
QPX_API qpxStatus qpxiMean_StdDev_32f_C3CR(const float* src, int srcStep, qpxSize roiSize, int coi, double* pMean, double* pStdDev);
QPX_API qpxStatus qpxiMean_StdDev_32f_C3CMR(const float* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, double* pMean, double* pStdDev);
/** @} */
/** @name Minimum and maximum with their positions
 * @{ */
/** Smallest and largest value of the ROI (or of its selected pixels) and the position of the
 * first occurrence of each in row-major order.
 *
 * Rows are scanned top to bottom; a row replaces the recorded minimum (maximum) only if its own
 * is strictly smaller (larger), and in the recorded row the position is the leftmost selected
 * column holding the value. Values are returned as float (8u and 16u exactly); positions
 * `{x = column, y = row}` relative to the ROI. 32f NaNs never become an extremum. With no
 * selected pixel the values are 0.0 and both positions (0, 0).
 *
 * The masked forms return qpxStatusNoPixelsWarning when the mask selects no pixel, judged from
 * the outputs asked for: with a position requested, when that position (the minimum's if both)
 * is (0, 0) and the mask byte there is zero; with only values, when the requested values are 0
 * and no mask byte is set; with no output at all, always.
 *
 * The masked forms take `mask, maskStep` (8u, one byte a pixel, nonzero selects) after
 * `srcStep`; the `C3C` forms take the channel of interest `coi` (int, 1..3) after `roiSize`.
 *
 * @param src       Source image (one channel, or three interleaved for `C3C`).
 * @param srcStep   Row step of `src` in bytes.
 * @param roiSize   ROI width and height in pixels.
 * @param pMinVal   Receives the minimum; may be null.
 * @param pMaxVal   Receives the maximum; may be null.
 * @param pMinIndex Receives the minimum's position; may be null.
 * @param pMaxIndex Receives the maximum's position; may be null.
 * @return qpxStatusOk or qpxStatusNoPixelsWarning; qpxStatusNullPointer (src or mask null),
 *         qpxStatusBadSize, qpxStatusBadStep (srcStep below a row, maskStep below the width),
 *         qpxStatusStepNotMultiple (16u or 32f srcStep), qpxStatusBadCoi, in this order. */
QPX_API qpxStatus qpxiMinMaxIndx_8u_C1R(const uint8_t* src, int srcStep, qpxSize roiSize, float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex);
QPX_API qpxStatus qpxiMinMaxIndx_8u_C1MR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex);
QPX_API qpxStatus qpxiMinMaxIndx_8u_C3CR(const uint8_t* src, int srcStep, qpxSize roiSize, int coi, float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex);
QPX_API qpxStatus qpxiMinMaxIndx_8u_C3CMR(const uint8_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex);
QPX_API qpxStatus qpxiMinMaxIndx_16u_C1R(const uint16_t* src, int srcStep, qpxSize roiSize, float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex);
QPX_API qpxStatus qpxiMinMaxIndx_16u_C1MR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex);
QPX_API qpxStatus qpxiMinMaxIndx_16u_C3CR(const uint16_t* src, int srcStep, qpxSize roiSize, int coi, float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex);
QPX_API qpxStatus qpxiMinMaxIndx_16u_C3CMR(const uint16_t* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex);
QPX_API qpxStatus qpxiMinMaxIndx_32f_C1R(const float* src, int srcStep, qpxSize roiSize, float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex);
QPX_API qpxStatus qpxiMinMaxIndx_32f_C1MR(const float* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex);
QPX_API qpxStatus qpxiMinMaxIndx_32f_C3CR(const float* src, int srcStep, qpxSize roiSize, int coi, float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex);
QPX_API qpxStatus qpxiMinMaxIndx_32f_C3CMR(const float* src, int srcStep, const uint8_t* mask, int maskStep, qpxSize roiSize, int coi, float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex);
/** @} */

/* ---------------------------------------------------------------------------------------------
 * Separable filtering: a spec-based whole-image filter, and its row and column stages alone
 * ------------------------------------------------------------------------------------------- */
/** Spec of the qpxiFilterSeparable_* functions, filled by qpxiFilterSeparableInit_32f() or
 * qpxiFilterSeparableInit_16s(). Allocate the size that qpxiFilterSeparableGetSpecSize() reports:
 * the kernel coefficients (row kernel, then column kernel) follow the record in the caller's
 * memory, and the kernel pointers point at them, so a spec must not be moved after Init. */
typedef struct {
    int32_t kernelKind;    /**< 1: float kernels, 0: int16 kernels. */
    int32_t kernelWidth;   /**< Row kernel length. */
    int32_t kernelHeight;  /**< Column kernel length. */
    int32_t divisor;       /**< Divisor of each pass; 1 for float kernels. */
    int32_t scaleFactor;   /**< As given to qpxiFilterSeparableInit_16s() (unused); 0 for float. */
    int16_t* rowKernel16s; /**< Integer row kernel inside the spec, or null. */
    float* rowKernel32f;   /**< Float row kernel inside the spec, or null. */
    int16_t* colKernel16s; /**< Integer column kernel inside the spec, or null. */
    float* colKernel32f;   /**< Float column kernel inside the spec, or null. */
    int32_t numChannels;   /**< 1, 3 or 4. */
} qpxFilterSeparableSpec;

/** Size of the spec that qpxiFilterSeparableInit_32f() or qpxiFilterSeparableInit_16s() fills.
 *
 * `specSize = (kernelSize.width + kernelSize.height) * e + 127` bytes, with e = 2 for qpx16s and 4
 * for qpx32f kernels.
 *
 * @param kernelSize  Row kernel length (width) and column kernel length (height).
 * @param dataType    Kernel type: qpx16s or qpx32f.
 * @param numChannels Channels of the images to filter: 1, 3 or 4.
 * @param specSize    Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusBadSize (a kernel length below 1),
 *         qpxStatusNullPointer, qpxStatusBadDataType, qpxStatusBadChannel. */
QPX_API qpxStatus qpxiFilterSeparableGetSpecSize(qpxSize kernelSize, qpxDataType dataType, int numChannels, int* specSize);
/** Size of the work buffer of the qpxiFilterSeparable_* functions.
 *
 * `bufferSize = 256 * kw + 8 * kh + (kw * e + (roiSize.width + kw - 1) * kh) * numChannels * 4`,
 * with kw, kh the kernel width and height and e = 2 for qpx16s and 4 for qpx32f kernels. It does
 * not depend on the ROI height. The buffer serves any ROI no wider than roiSize.
 *
 * @param roiSize     ROI size of the calls to come.
 * @param kernelSize  Row kernel length (width) and column kernel length (height).
 * @param dataType    Image (source) type: qpx8u, qpx16u, qpx16s or qpx32f.
 * @param kernelType  Kernel type: qpx16s or qpx32f.
 * @param numChannels 1, 3 or 4.
 * @param bufferSize  Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusBadSize (a ROI or kernel dimension below 1),
 *         qpxStatusNullPointer, qpxStatusBadDataType (image type, then kernel type),
 *         qpxStatusBadChannel. */
QPX_API qpxStatus qpxiFilterSeparableGetBufferSize(qpxSize roiSize, qpxSize kernelSize, qpxDataType dataType, qpxDataType kernelType, int numChannels, int* bufferSize);
/** Fills a separable-filter spec with single-precision row and column kernels.
 *
 * The kernels are copied into the spec unchanged; the spec points into itself, so it must not be
 * moved or copied after this call (allocate it where it will stay). The divisor is 1.
 *
 * @param rowKernel    kernelSize.width row taps.
 * @param columnKernel kernelSize.height column taps.
 * @param kernelSize   Row kernel length (width) and column kernel length (height).
 * @param dataType     Source type of the filter calls: qpx8u, qpx16u or qpx32f.
 * @param numChannels  1, 3 or 4.
 * @param spec         Spec of qpxiFilterSeparableGetSpecSize() bytes (qpx32f kernels).
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (a kernel or spec),
 *         qpxStatusBadSize, qpxStatusBadDataType, qpxStatusBadChannel. */
QPX_API qpxStatus qpxiFilterSeparableInit_32f(const float* rowKernel, const float* columnKernel, qpxSize kernelSize, qpxDataType dataType, int numChannels, qpxFilterSeparableSpec* spec);
/** Fills a separable-filter spec with 16-bit integer kernels and a divisor.
 *
 * The filter divides once in each pass: the effective two-dimensional kernel is
 * `(rowKernel / divisor) x (columnKernel / divisor)`, so integer kernels that each sum to the
 * divisor have unit gain (for example 1, 2, 1 in both directions with divisor 4). A negative
 * divisor is accepted (with -1 the result is the undivided sum). The kernels are copied into the
 * spec, which points into itself and must not be moved after this call.
 *
 * @param rowKernel    kernelSize.width row taps.
 * @param columnKernel kernelSize.height column taps.
 * @param kernelSize   Row kernel length (width) and column kernel length (height).
 * @param divisor      Divisor applied in each pass; not 0.
 * @param scaleFactor  Stored in the spec; the computation does not use it.
 * @param dataType     Source type of the filter calls: qpx8u or qpx16s.
 * @param numChannels  1, 3 or 4.
 * @param spec         Spec of qpxiFilterSeparableGetSpecSize() bytes (qpx16s kernels).
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (row kernel, spec, column kernel),
 *         qpxStatusBadSize, qpxStatusBadDataType, qpxStatusBadChannel, qpxStatusDivisorZero. */
QPX_API qpxStatus qpxiFilterSeparableInit_16s(const int16_t* rowKernel, const int16_t* columnKernel, qpxSize kernelSize, int divisor, int scaleFactor, qpxDataType dataType, int numChannels, qpxFilterSeparableSpec* spec);
/** @name Separable filter
 * @{ */
/** Filters an image with the outer product of the spec's row and column kernels.
 *
 * Each channel is correlated with the kernels (they are not reversed):
 *
 * `dst(x, y) = (1 / divisor)^2 * sum_j col[j] * sum_i row[i] * P(x + i - ax, y + j - ay)`
 *
 * with kw, kh the kernel lengths, `ax = (kw - 1) / 2`, `ay = (kh - 1) / 2` (integer division: an
 * even kernel reaches one pixel further after the centre than before it) and P the source extended
 * by borderType. A row pass into single-precision work rows and a column pass out of them each
 * multiply by 1/divisor (1 for float kernels); sums are single precision. 32f results are stored
 * as computed; integer results are clamped to the destination range and truncated toward zero (3.9
 * gives 3, a negative value gives 0 for 8u).
 *
 * Type pairs and kernels: 8u (16s or 32f kernels), 8u16s (8u source, 16s destination; 16s or 32f
 * kernels), 16s (16s kernels), 16u (32f kernels), 32f (32f kernels); 1, 3 or 4 channels, which
 * never mix. The spec must come from an Init for this source type and channel count. The source
 * and destination must not overlap.
 *
 * borderType follows the filter rule: qpxBorderRepl, qpxBorderMirror or qpxBorderConst, each with
 * any of the in-memory flags, or qpxBorderInMem alone. Under an in-memory flag the function reads
 * ay rows above, kh - 1 - ay rows below, ax columns left or kw - 1 - ax columns right of the ROI
 * from the caller's image.
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for one channel, a
 *                    pointer to one value per channel for C3 and C4; read only under
 *                    qpxBorderConst.
 * @param spec        Spec filled by qpxiFilterSeparableInit_32f() or
 *                    qpxiFilterSeparableInit_16s().
 * @param buffer      Work buffer of qpxiFilterSeparableGetBufferSize() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer),
 *         qpxStatusBadSize, qpxStatusBadStep (a step below width x channels x element size),
 *         qpxStatusStepNotMultiple (16- and 32-bit steps), qpxStatusBadBorder. */
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
/** @} */
/** 64-bit form of qpxiFilterSeparableGetSpecSize().
 *
 * 64-bit sizes and steps; a value above 2^31 - 1 gives qpxStatusSizeTooLarge (after the size
 * check). The sizes computed are the same as those of the 32-bit form.
 *
 * @param kernelSize  Row kernel length (width) and column kernel length (height).
 * @param dataType    Kernel type: qpx16s or qpx32f.
 * @param numChannels 1, 3 or 4.
 * @param specSize    Receives the size in bytes.
 * @return As qpxiFilterSeparableGetSpecSize(), plus qpxStatusSizeTooLarge. */
QPX_API qpxStatus qpxiFilterSeparableGetSpecSize_L(qpxSizeL kernelSize, qpxDataType dataType, int numChannels, int64_t* specSize);
/** 64-bit form of qpxiFilterSeparableGetBufferSize().
 *
 * 64-bit sizes and steps; a value above 2^31 - 1 gives qpxStatusSizeTooLarge (after the size
 * check). The sizes computed are the same as those of the 32-bit form.
 *
 * @param roiSize     ROI size of the calls to come.
 * @param kernelSize  Row kernel length (width) and column kernel length (height).
 * @param dataType    Image type: qpx8u, qpx16u, qpx16s or qpx32f.
 * @param kernelType  Kernel type: qpx16s or qpx32f.
 * @param numChannels 1, 3 or 4.
 * @param bufferSize  Receives the size in bytes.
 * @return As qpxiFilterSeparableGetBufferSize(), plus qpxStatusSizeTooLarge. */
QPX_API qpxStatus qpxiFilterSeparableGetBufferSize_L(qpxSizeL roiSize, qpxSizeL kernelSize, qpxDataType dataType, qpxDataType kernelType, int numChannels, int64_t* bufferSize);
/** 64-bit form of qpxiFilterSeparableInit_32f(); the spec serves the 32-bit and the 64-bit filters.
 *
 * 64-bit sizes and steps; a value above 2^31 - 1 gives qpxStatusSizeTooLarge (after the size
 * check). The sizes computed are the same as those of the 32-bit form.
 *
 * @param rowKernel    kernelSize.width row taps.
 * @param columnKernel kernelSize.height column taps.
 * @param kernelSize   Row kernel length (width) and column kernel length (height).
 * @param dataType     Source type: qpx8u, qpx16u or qpx32f.
 * @param numChannels  1, 3 or 4.
 * @param spec         Spec of qpxiFilterSeparableGetSpecSize_L() bytes; must not be moved after.
 * @return As qpxiFilterSeparableInit_32f(), plus qpxStatusSizeTooLarge. */
QPX_API qpxStatus qpxiFilterSeparableInit_32f_L(const float* rowKernel, const float* columnKernel, qpxSizeL kernelSize, qpxDataType dataType, int numChannels, qpxFilterSeparableSpec* spec);
/** 64-bit form of qpxiFilterSeparableInit_16s(); the spec serves the 32-bit and the 64-bit filters.
 *
 * 64-bit sizes and steps; a value above 2^31 - 1 gives qpxStatusSizeTooLarge (after the size
 * check). The sizes computed are the same as those of the 32-bit form.
 *
 * @param rowKernel    kernelSize.width row taps.
 * @param columnKernel kernelSize.height column taps.
 * @param kernelSize   Row kernel length (width) and column kernel length (height).
 * @param divisor      Divisor applied in each pass; not 0.
 * @param scaleFactor  Stored in the spec; not used.
 * @param dataType     Source type: qpx8u or qpx16s.
 * @param numChannels  1, 3 or 4.
 * @param spec         Spec of qpxiFilterSeparableGetSpecSize_L() bytes; must not be moved after.
 * @return As qpxiFilterSeparableInit_16s(), plus qpxStatusSizeTooLarge. */
QPX_API qpxStatus qpxiFilterSeparableInit_16s_L(const int16_t* rowKernel, const int16_t* columnKernel, qpxSizeL kernelSize, int divisor, int scaleFactor, qpxDataType dataType, int numChannels, qpxFilterSeparableSpec* spec);
/** @name Separable filter, 64-bit sizes
 * @{ */
/** 64-bit forms of the qpxiFilterSeparable_* functions: the same filter and results.
 *
 * A width, height or step above 2^31 - 1 gives qpxStatusSizeTooLarge (after the size check).
 * During the call the denormal-operand exception is masked in the floating-point control register;
 * the caller's register is restored before returning. Results do not depend on it.
 *
 * Filters an image with the outer product of the spec's row and column kernels.
 *
 * Each channel is correlated with the kernels (they are not reversed):
 *
 * `dst(x, y) = (1 / divisor)^2 * sum_j col[j] * sum_i row[i] * P(x + i - ax, y + j - ay)`
 *
 * with kw, kh the kernel lengths, `ax = (kw - 1) / 2`, `ay = (kh - 1) / 2` (integer division: an
 * even kernel reaches one pixel further after the centre than before it) and P the source extended
 * by borderType. A row pass into single-precision work rows and a column pass out of them each
 * multiply by 1/divisor (1 for float kernels); sums are single precision. 32f results are stored
 * as computed; integer results are clamped to the destination range and truncated toward zero (3.9
 * gives 3, a negative value gives 0 for 8u).
 *
 * Type pairs and kernels: 8u (16s or 32f kernels), 8u16s (8u source, 16s destination; 16s or 32f
 * kernels), 16s (16s kernels), 16u (32f kernels), 32f (32f kernels); 1, 3 or 4 channels, which
 * never mix. The spec must come from an Init for this source type and channel count. The source
 * and destination must not overlap.
 *
 * borderType follows the filter rule: qpxBorderRepl, qpxBorderMirror or qpxBorderConst, each with
 * any of the in-memory flags, or qpxBorderInMem alone. Under an in-memory flag the function reads
 * ay rows above, kh - 1 - ay rows below, ax columns left or kw - 1 - ax columns right of the ROI
 * from the caller's image.
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for one channel, a
 *                    pointer to one value per channel for C3 and C4; read only under
 *                    qpxBorderConst.
 * @param spec        Spec filled by one of the separable Init functions.
 * @param buffer      Work buffer of qpxiFilterSeparableGetBufferSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusSizeTooLarge, qpxStatusBadStep, qpxStatusStepNotMultiple, qpxStatusBadBorder. */
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
/** @} */
/** @name Separable filter, row stage (32f)
 * @{ */
/** Row stage of a separable filter for 32f images, with horizontal border extension.
 *
 * For each ROI row r: `ppDst[r][x] = sum_t kernel[t] * E(x + t - xAnchor)` for x in 0 ..
 * roiSize.width - 1, where E is source row r extended horizontally: xAnchor pixels before it and
 * kernelSize - 1 - xAnchor after it, by the kind of borderType and the flags qpxBorderInMemLeft
 * and qpxBorderInMemRight (the vertical flags have no effect here). A ROI one pixel wide is always
 * replicated unless the kind is qpxBorderConst or a horizontal in-memory flag is set. borderType
 * follows the filter rule (qpxBorderRepl, qpxBorderMirror or qpxBorderConst with any in-memory
 * flags, or qpxBorderInMem alone). Channels are filtered separately; `ppDst` holds roiSize.height
 * row pointers, each to roiSize.width x channels elements, all non-null.
 *
 * Results are single-precision sums, stored as computed.
 *
 * @param src        Source image (pointer to the first ROI pixel).
 * @param srcStep    Row step of `src` in bytes.
 * @param ppDst      roiSize.height destination row pointers.
 * @param roiSize    ROI width and height in pixels.
 * @param kernel     kernelSize taps.
 * @param kernelSize Number of taps, at least 1.
 * @param xAnchor    Tap that multiplies the pixel itself: 0 .. kernelSize - 1.
 * @param borderType Border code, see above.
 * @param borderValue Value outside the row under qpxBorderConst: a float for C1, a pointer to
 *                    three floats for C3.
 * @param buffer     Work buffer of qpxiFilterRowBorderPipelineGetBufferSize_32f_C1R() or _C3R()
 *                   bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, ppDst, kernel, buffer),
 *         qpxStatusBadSize (ROI), qpxStatusNullPointer (a row pointer), qpxStatusBadSize
 *         (kernelSize), qpxStatusBadAnchor, qpxStatusBadStep, qpxStatusStepNotMultiple,
 *         qpxStatusBadBorder. */
QPX_API qpxStatus qpxiFilterRowBorderPipeline_32f_C1R(const float* src, int srcStep, float** ppDst, qpxSize roiSize, const float* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, float borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_32f_C3R(const float* src, int srcStep, float** ppDst, qpxSize roiSize, const float* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, const float* borderValue, uint8_t* buffer);
/** @} */
/** @name Separable filter, row stage (integer)
 * @{ */
/** Row stage of a separable filter for integer images, with a divisor.
 *
 * For each ROI row r: `ppDst[r][x] = sum_t kernel[t] * E(x + t - xAnchor)` for x in 0 ..
 * roiSize.width - 1, where E is source row r extended horizontally: xAnchor pixels before it and
 * kernelSize - 1 - xAnchor after it, by the kind of borderType and the flags qpxBorderInMemLeft
 * and qpxBorderInMemRight (the vertical flags have no effect here). A ROI one pixel wide is always
 * replicated unless the kind is qpxBorderConst or a horizontal in-memory flag is set. borderType
 * follows the filter rule (qpxBorderRepl, qpxBorderMirror or qpxBorderConst with any in-memory
 * flags, or qpxBorderInMem alone). Channels are filtered separately; `ppDst` holds roiSize.height
 * row pointers, each to roiSize.width x channels elements, all non-null.
 *
 * The exact 32-bit integer sum is multiplied by 1/divisor in single precision, clamped to the
 * destination range and truncated toward zero; with divisor 1 the result is the saturated exact
 * sum. Types: 8u16s (8u source, 16s rows), 16s, 16u; C1 and C3. The 16-bit taps are signed.
 *
 * @param src        Source image (pointer to the first ROI pixel).
 * @param srcStep    Row step of `src` in bytes.
 * @param ppDst      roiSize.height destination row pointers.
 * @param roiSize    ROI width and height in pixels.
 * @param kernel     kernelSize taps.
 * @param kernelSize Number of taps, at least 1.
 * @param xAnchor    Tap that multiplies the pixel itself: 0 .. kernelSize - 1.
 * @param borderType Border code, see above.
 * @param borderValue Value outside the row under qpxBorderConst, one source value for every
 *                    channel.
 * @param divisor    Divisor: not 0; at least 1 for 16u.
 * @param buffer     Work buffer of the matching qpxiFilterRowBorderPipelineGetBufferSize_* size.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, ppDst, kernel, buffer),
 *         qpxStatusBadSize (ROI), qpxStatusNullPointer (a row pointer), qpxStatusBadSize
 *         (kernelSize), qpxStatusBadAnchor, qpxStatusBadStep, qpxStatusStepNotMultiple, then
 *         qpxStatusBadBorder and qpxStatusBadArgument (divisor): the 8u16s stages test the border
 *         first, the 16s and 16u stages the divisor first. */
QPX_API qpxStatus qpxiFilterRowBorderPipeline_8u16s_C1R(const uint8_t* src, int srcStep, int16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, uint8_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_8u16s_C3R(const uint8_t* src, int srcStep, int16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, uint8_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_16s_C1R(const int16_t* src, int srcStep, int16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, int16_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_16s_C3R(const int16_t* src, int srcStep, int16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, int16_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_16u_C1R(const uint16_t* src, int srcStep, uint16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, uint16_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_16u_C3R(const uint16_t* src, int srcStep, uint16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, uint16_t borderValue, int divisor, uint8_t* buffer);
/** @} */
/** @name Separable filter, row stage (16-bit fixed point)
 * @{ */
/** Row stage of a separable filter for 16s images in 16-bit fixed-point arithmetic.
 *
 * For each ROI row r: `ppDst[r][x] = sum_t kernel[t] * E(x + t - xAnchor)` for x in 0 ..
 * roiSize.width - 1, where E is source row r extended horizontally: xAnchor pixels before it and
 * kernelSize - 1 - xAnchor after it, by the kind of borderType and the flags qpxBorderInMemLeft
 * and qpxBorderInMemRight (the vertical flags have no effect here). A ROI one pixel wide is always
 * replicated unless the kind is qpxBorderConst or a horizontal in-memory flag is set. borderType
 * follows the filter rule (qpxBorderRepl, qpxBorderMirror or qpxBorderConst with any in-memory
 * flags, or qpxBorderInMem alone). Channels are filtered separately; `ppDst` holds roiSize.height
 * row pointers, each to roiSize.width x channels elements, all non-null.
 *
 * With the multiplier `M = (int16) trunc(16384.0f / divisor)` (quotient in single precision), each
 * result is bits 14 to 29 of the 32-bit product of the exact sum and M: `(sum * M) >> 14` with
 * only its low 16 bits kept. Nothing saturates. For example divisor 3 gives M = 5461, and a sum of
 * 300 gives 99.
 *
 * @param src        Source image (pointer to the first ROI pixel).
 * @param srcStep    Row step of `src` in bytes.
 * @param ppDst      roiSize.height destination row pointers.
 * @param roiSize    ROI width and height in pixels.
 * @param kernel     kernelSize taps.
 * @param kernelSize Number of taps, at least 1.
 * @param xAnchor    Tap that multiplies the pixel itself: 0 .. kernelSize - 1.
 * @param borderType Border code, see above.
 * @param borderValue Value outside the row under qpxBorderConst, for every channel.
 * @param divisor    Divisor; not 0.
 * @param buffer     Work buffer of qpxiFilterRowBorderPipelineGetBufferSize_Low_16s_C1R() or
 *                   _C3R() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize (ROI),
 *         qpxStatusNullPointer (a row pointer), qpxStatusBadSize (kernelSize), qpxStatusBadAnchor,
 *         qpxStatusBadStep, qpxStatusStepNotMultiple, qpxStatusBadArgument (divisor),
 *         qpxStatusBadBorder. */
QPX_API qpxStatus qpxiFilterRowBorderPipeline_Low_16s_C1R(const int16_t* src, int srcStep, int16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, int16_t borderValue, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterRowBorderPipeline_Low_16s_C3R(const int16_t* src, int srcStep, int16_t** ppDst, qpxSize roiSize, const int16_t* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, int16_t borderValue, int divisor, uint8_t* buffer);
/** @} */
/** @name Separable filter, row stage buffer sizes
 * @{ */
/** Work buffer size of the row stage of the same type and channels.
 *
 * With ks the kernel size (sizes in bytes, independent of the ROI):
 *
 * | stage | C1 | C3 |
 * |---|---|---|
 * | 32f | 96 ks + 96 | 288 ks + 96 |
 * | 8u16s | 36 ks + 144 | 60 ks + 144 |
 * | 16s | 48 ks + 112 | 40 ks + 96 |
 * | 16u | 64 ks + 96 | 128 ks + 96 |
 * | Low_16s | 24 ks + 96 | 208 ks + 96 |
 *
 * @param roiSize    ROI size of the calls to come.
 * @param kernelSize Number of taps.
 * @param bufferSize Receives the size in bytes.
 * @return qpxStatusOk, qpxStatusNullPointer or qpxStatusBadSize (a ROI dimension or kernelSize
 *         below 1), checked in this order. */
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
/** @} */
/** @name Separable filter, column stage (32f)
 * @{ */
/** Column stage of a separable filter for 32f rows: single-precision sums, stored as computed.
 *
 * `dst(x, y) = sum_j kernel[j] * ppSrc[y + j][x]` for y in 0 .. roiSize.height - 1 and x over
 * roiSize.width x channels elements. `ppSrc` holds roiSize.height + kernelSize - 1 row pointers,
 * top to bottom, all non-null: the rows above and below the ROI (the vertical border) are the
 * caller's, for example repeated pointers to the edge rows or to a constant row. A caller may keep
 * a ring of kernelSize rows and pass pointers into it.
 *
 * @param ppSrc      roiSize.height + kernelSize - 1 source row pointers.
 * @param dst        Destination image (pointer to the first ROI pixel).
 * @param dstStep    Row step of `dst` in bytes.
 * @param roiSize    ROI width and height in pixels.
 * @param kernel     kernelSize taps; tap 0 multiplies the topmost row.
 * @param kernelSize Number of taps, at least 1.
 * @param buffer     Work buffer of qpxiFilterColumnPipelineGetBufferSize_32f_C1R() or _C3R()
 *                   bytes.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (ppSrc, dst, kernel),
 *         qpxStatusBadSize (ROI), qpxStatusNullPointer (a row pointer), qpxStatusBadSize
 *         (kernelSize), qpxStatusBadStep, qpxStatusStepNotMultiple, qpxStatusNullPointer (buffer).
 */
QPX_API qpxStatus qpxiFilterColumnPipeline_32f_C1R(const float* const* ppSrc, float* dst, int dstStep, qpxSize roiSize, const float* kernel, int kernelSize, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_32f_C3R(const float* const* ppSrc, float* dst, int dstStep, qpxSize roiSize, const float* kernel, int kernelSize, uint8_t* buffer);
/** @} */
/** @name Separable filter, column stage (integer)
 * @{ */
/** Column stage of a separable filter for 16-bit rows, with a divisor.
 *
 * `dst(x, y) = sum_j kernel[j] * ppSrc[y + j][x]` for y in 0 .. roiSize.height - 1 and x over
 * roiSize.width x channels elements. `ppSrc` holds roiSize.height + kernelSize - 1 row pointers,
 * top to bottom, all non-null: the rows above and below the ROI (the vertical border) are the
 * caller's, for example repeated pointers to the edge rows or to a constant row. A caller may keep
 * a ring of kernelSize rows and pass pointers into it.
 *
 * Each tap is multiplied by 1/divisor in single precision, the sum is formed in single precision,
 * clamped to the destination range and truncated toward zero. Types: 16s (16s rows to 16s), 16s8u
 * (to 8u), 16s8s (to 8s), 16u (16u rows to 16u, signed 16-bit taps); C1 and C3.
 *
 * @param ppSrc      roiSize.height + kernelSize - 1 source row pointers.
 * @param dst        Destination image (pointer to the first ROI pixel).
 * @param dstStep    Row step of `dst` in bytes.
 * @param roiSize    ROI width and height in pixels.
 * @param kernel     kernelSize taps; tap 0 multiplies the topmost row.
 * @param kernelSize Number of taps, at least 1.
 * @param divisor    Divisor; not 0.
 * @param buffer     Work buffer of the matching qpxiFilterColumnPipelineGetBufferSize_* size.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (ppSrc, dst, kernel),
 *         qpxStatusBadSize (ROI), qpxStatusNullPointer (a row pointer), qpxStatusBadSize
 *         (kernelSize), qpxStatusBadStep, qpxStatusStepNotMultiple, qpxStatusNullPointer (buffer),
 *         qpxStatusBadArgument (divisor). */
QPX_API qpxStatus qpxiFilterColumnPipeline_16s_C1R(const int16_t* const* ppSrc, int16_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16s_C3R(const int16_t* const* ppSrc, int16_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16s8u_C1R(const int16_t* const* ppSrc, uint8_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16s8u_C3R(const int16_t* const* ppSrc, uint8_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16s8s_C1R(const int16_t* const* ppSrc, int8_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16s8s_C3R(const int16_t* const* ppSrc, int8_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16u_C1R(const uint16_t* const* ppSrc, uint16_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_16u_C3R(const uint16_t* const* ppSrc, uint16_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
/** @} */
/** @name Separable filter, column stage (16-bit fixed point)
 * @{ */
/** Column stage of a separable filter for 16s rows in 16-bit fixed-point arithmetic.
 *
 * `dst(x, y) = sum_j kernel[j] * ppSrc[y + j][x]` for y in 0 .. roiSize.height - 1 and x over
 * roiSize.width x channels elements. `ppSrc` holds roiSize.height + kernelSize - 1 row pointers,
 * top to bottom, all non-null: the rows above and below the ROI (the vertical border) are the
 * caller's, for example repeated pointers to the edge rows or to a constant row. A caller may keep
 * a ring of kernelSize rows and pass pointers into it.
 *
 * With the multiplier `M = (int16) trunc(16384.0f / divisor)`, each result is the exact sum times
 * M divided by 16384, rounded down and saturated to the 16s range; it lies within one unit of
 * `sum / divisor`.
 *
 * @param ppSrc      roiSize.height + kernelSize - 1 source row pointers.
 * @param dst        Destination image (pointer to the first ROI pixel).
 * @param dstStep    Row step of `dst` in bytes.
 * @param roiSize    ROI width and height in pixels.
 * @param kernel     kernelSize taps; tap 0 multiplies the topmost row.
 * @param kernelSize Number of taps, at least 1.
 * @param divisor    Divisor; not 0.
 * @param buffer     Work buffer of qpxiFilterColumnPipelineGetBufferSize_Low_16s_C1R() or _C3R()
 *                   bytes.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (ppSrc, dst, kernel),
 *         qpxStatusBadSize (ROI), qpxStatusNullPointer (a row pointer), qpxStatusBadSize
 *         (kernelSize), qpxStatusBadStep, qpxStatusStepNotMultiple, qpxStatusNullPointer (buffer),
 *         qpxStatusBadArgument (divisor). */
QPX_API qpxStatus qpxiFilterColumnPipeline_Low_16s_C1R(const int16_t* const* ppSrc, int16_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterColumnPipeline_Low_16s_C3R(const int16_t* const* ppSrc, int16_t* dst, int dstStep, qpxSize roiSize, const int16_t* kernel, int kernelSize, int divisor, uint8_t* buffer);
/** @} */
/** @name Separable filter, column stage buffer sizes
 * @{ */
/** Work buffer size of the column stage of the same type and channels.
 *
 * With ks the kernel size, w the ROI width, W4 and W8 the width rounded up to a multiple of 4 and
 * of 8, and n the channel count (sizes in bytes, 32-bit unsigned arithmetic):
 *
 * | stage | C1 | C3 |
 * |---|---|---|
 * | 32f | 32 ks + 32 | 32 ks + 32 |
 * | 16s, 16s8u, 16s8s | 12 W4 + 64 | 36 W4 + 64 |
 * | 16u | 32 (ks + floor((8 w n + 24) / 32)) + 64 | same formula, n = 3 |
 * | Low_16s | 12 W8 + 64 | 36 W8 + 64 |
 *
 * @param roiSize    ROI size of the calls to come.
 * @param kernelSize Number of taps.
 * @param bufferSize Receives the size in bytes.
 * @return qpxStatusOk, qpxStatusNullPointer or qpxStatusBadSize (a ROI dimension or kernelSize
 *         below 1), checked in this order. */
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
/** @} */
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
/** Spec of the Gaussian filter. qpxiFilterGaussianInit_L() fills this engine record;
 * qpxiFilterGaussianInit() writes a header first and the engine record after it, and both travel
 * as pointers to this type. Allocate the size that the matching query reports. */
typedef struct qpxFilterGaussianSpec {
    uint32_t kernelSize; /**< Odd kernel size, at least 3. */
    uint32_t align;      /**< The constant 64. */
    uint32_t dataType;   /**< The qpxDataType given to Init. */
    uint32_t reserved;   /**< 0. */
    float halfKernel[1]; /**< (kernelSize + 1) / 2 weights, outermost tap first, centre last. */
} qpxFilterGaussianSpec;

/** Sizes of the Gaussian engine spec and of the buffer that qpxiFilterGaussianInit_L() uses.
 *
 * `specSize = 4 * ((kernelSize + 1) / 2) + 128`, `initBufferSize = 64` bytes.
 *
 * @param kernelSize     Odd kernel size, at least 3.
 * @param dataType       qpx8u, qpx16u, qpx16s or qpx32f.
 * @param numChannels    1 or 3.
 * @param specSize       Receives the spec size in bytes.
 * @param initBufferSize Receives the size of the buffer for qpxiFilterGaussianInit_L().
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (either output),
 *         qpxStatusBadArgument (kernelSize below 3 or even), qpxStatusBadDataType,
 *         qpxStatusBadChannel. */
QPX_API qpxStatus qpxiFilterGaussianGetSpecSize_L(int kernelSize, qpxDataType dataType, int numChannels, int64_t* specSize, int64_t* initBufferSize);
/** Size of the work buffer of the 64-bit Gaussian filter functions.
 *
 * `bufferSize = (kernelSize + 1) * R + 12 * kernelSize + 64` bytes, where R is
 * `roiWidth * numChannels * 4` rounded up to a multiple of 64. borderType is checked but does not
 * change the size.
 *
 * @param roiWidth    ROI width of the calls to come.
 * @param roiHeight   ROI height of the calls to come.
 * @param kernelSize  Odd kernel size, at least 3.
 * @param dataType    qpx8u, qpx16u, qpx16s or qpx32f.
 * @param borderType  Border code of the calls (Gaussian rule, see qpxiFilterGaussian_8u_C1R_L()).
 * @param numChannels 1 or 3.
 * @param bufferSize  Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusSizeTooLarge (a size above 2^31 - 1), qpxStatusBadArgument (kernelSize),
 *         qpxStatusBadDataType, qpxStatusBadChannel, qpxStatusBadBorder. */
QPX_API qpxStatus qpxiFilterGaussianGetBufferSize_L(int64_t roiWidth, int64_t roiHeight, int kernelSize, qpxDataType dataType, qpxBorderType borderType, int numChannels, int64_t* bufferSize);
/** Computes the Gaussian kernel into an engine spec for the 64-bit filter functions.
 *
 * The kernel, with r = kernelSize / 2 and all arithmetic in single precision:
 * `w_i = exp(-i * (i * 0.5) * (1 / (sigma * sigma)))` for i = 1 .. r,
 * `S = 1 + 2 * (w_1 + ... + w_r)`, `g(k) = w_|k| / S` for k = -r .. r, `g(0) = 1 / S`. No integer
 * quantisation: integer images are filtered with the float kernel too.
 *
 * The spec holds no pointers (see qpxFilterGaussianSpec), so it may be copied or moved.
 *
 * @param roiWidth    ROI width of the calls to come.
 * @param roiHeight   ROI height of the calls to come.
 * @param kernelSize  Odd kernel size, at least 3.
 * @param sigma       Standard deviation in pixels; greater than 0.
 * @param borderType  Border code (Gaussian rule); checked only.
 * @param dataType    qpx8u, qpx16u, qpx16s or qpx32f.
 * @param numChannels 1 or 3.
 * @param spec        Spec of qpxiFilterGaussianGetSpecSize_L() bytes.
 * @param initBuffer  Scratch of initBufferSize bytes from qpxiFilterGaussianGetSpecSize_L().
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (spec, initBuffer),
 *         qpxStatusBadSize, qpxStatusSizeTooLarge, qpxStatusBadArgument (kernelSize),
 *         qpxStatusBadDataType, qpxStatusBadChannel, qpxStatusBadArgument (sigma not greater than
 *         0, NaN included), qpxStatusBadBorder. */
QPX_API qpxStatus qpxiFilterGaussianInit_L(int64_t roiWidth, int64_t roiHeight, int kernelSize, float sigma, qpxBorderType borderType, qpxDataType dataType, int numChannels, qpxFilterGaussianSpec* spec, uint8_t* initBuffer);
/** @name Gaussian filter, 64-bit sizes
 * @{ */
/** Smooths an image with the spec's Gaussian kernel.
 *
 * With g the kernel (taps -r to r, r = kernelSize / 2) the filter is separable: a row pass
 * `R(x) = sum_k g(k) * P(x + k, y)` over the source converted to float and extended by the border,
 * then a column pass `D(x, y) = sum_k g(k) * R_(y + k)(x)`, both in single precision with the two
 * taps at distance i added before they are multiplied. 32f results are stored as computed.
 *
 * Integer outputs (8u, 16u, 16s) are clamped to the type's range and rounded in the caller's
 * current floating-point rounding mode (round to nearest, ties to even, under the default mode),
 * unlike every other result of the library, which never depends on that mode. The 16s filter with
 * kernel size 5 truncates toward zero instead.
 *
 * Types 8u, 16u, 16s and 32f with 1 or 3 channels; the spec must be initialised for the function's
 * type and channel count. The source and destination must not overlap. Border (Gaussian rule):
 * qpxBorderRepl, qpxBorderMirror or qpxBorderConst with any in-memory flags, or all four in-memory
 * flags with any kind (then real pixels are read on every side); codes above 255 are rejected.
 * Under an in-memory flag r rows or columns beyond the ROI are read on that side.
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiWidth    ROI width in pixels.
 * @param roiHeight   ROI height in pixels.
 * @param borderType  Border code, see above.
 * @param borderValue One (C1) or three (C3) values outside the ROI under qpxBorderConst; may be
 *                    null for the other kinds.
 * @param spec        Spec filled by qpxiFilterGaussianInit_L().
 * @param buffer      Work buffer of qpxiFilterGaussianGetBufferSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, buffer, spec),
 *         qpxStatusBadStep (a step below width x channels x element size), qpxStatusBadSize,
 *         qpxStatusSizeTooLarge (a size or step above 2^31 - 1), qpxStatusStepNotMultiple,
 *         qpxStatusBadBorder (above 255), qpxStatusNullPointer (qpxBorderConst with a null
 *         borderValue), qpxStatusBadBorder, qpxStatusBadArgument (the spec's kernel size is not
 *         odd and at least 3). */
QPX_API qpxStatus qpxiFilterGaussian_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const uint16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16u_C3R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const uint16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const int16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16s_C3R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const int16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const float* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, int64_t roiWidth, int64_t roiHeight, qpxBorderType borderType, const float* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
/** @} */

/** Sizes of the Gaussian engine spec and init buffer; the same values as
 * qpxiFilterGaussianGetSpecSize_L().
 *
 * The spec of the 32-bit interface is larger (it starts with a header): take its size from
 * qpxiFilterGaussianGetBufferSize().
 *
 * @param kernelSize     Odd kernel size, at least 3.
 * @param dataType       qpx8u, qpx16u, qpx16s or qpx32f.
 * @param numChannels    1 or 3.
 * @param specSize       Receives the engine spec size in bytes.
 * @param initBufferSize Receives 64.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadArgument (kernelSize),
 *         qpxStatusBadDataType, qpxStatusBadChannel. */
QPX_API qpxStatus qpxiFilterGaussianGetSpecSize(int kernelSize, qpxDataType dataType, int numChannels, int* specSize, int* initBufferSize);
/** Spec and work buffer sizes of the 32-bit Gaussian interface.
 *
 * specSize is the header (`16 * kernelSize + 36` bytes for 8u, 16u and 16s, `32 * kernelSize + 32`
 * for 32f) plus the engine spec of qpxiFilterGaussianGetSpecSize(). bufferSize is at least the
 * 64-bit engine's buffer size for roiSize and at least 64 bytes, so the same buffer also serves
 * qpxiFilterGaussianInit(); it grows with the ROI width and height.
 *
 * @param roiSize     ROI size of the calls to come.
 * @param kernelSize  Odd kernel size, at least 3.
 * @param dataType    qpx8u, qpx16u, qpx16s or qpx32f.
 * @param numChannels 1 or 3.
 * @param specSize    Receives the spec size in bytes.
 * @param bufferSize  Receives the work buffer size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (either output), qpxStatusBadSize,
 *         qpxStatusBadArgument (kernelSize), qpxStatusBadDataType, qpxStatusBadChannel. */
QPX_API qpxStatus qpxiFilterGaussianGetBufferSize(qpxSize roiSize, int kernelSize, qpxDataType dataType, int numChannels, int* specSize, int* bufferSize);
/** Fills the spec of the 32-bit Gaussian interface: a header (kernel size, data type and border
 * type) followed by an engine spec with the kernel.
 *
 * The kernel, with r = kernelSize / 2 and all arithmetic in single precision:
 * `w_i = exp(-i * (i * 0.5) * (1 / (sigma * sigma)))` for i = 1 .. r,
 * `S = 1 + 2 * (w_1 + ... + w_r)`, `g(k) = w_|k| / S` for k = -r .. r, `g(0) = 1 / S`. No integer
 * quantisation: integer images are filtered with the float kernel too.
 *
 * The border type stored here is the one that the qpxiFilterGaussianBorder_* functions use. It
 * follows the filter rule: qpxBorderRepl, qpxBorderMirror or qpxBorderConst with any in-memory
 * flags, or qpxBorderInMem alone (so, unlike the 64-bit interface, another kind with all four
 * in-memory flags is rejected). The spec holds no pointers and may be copied or moved.
 *
 * @param roiSize     ROI size of the calls to come.
 * @param kernelSize  Odd kernel size, at least 3.
 * @param sigma       Standard deviation in pixels; greater than 0.
 * @param borderType  Border code kept for qpxiFilterGaussianBorder_*.
 * @param dataType    qpx8u, qpx16u, qpx16s or qpx32f.
 * @param numChannels 1 or 3.
 * @param spec        Spec of the specSize bytes that qpxiFilterGaussianGetBufferSize() reports.
 * @param buffer      At least 64 bytes of scratch; the work buffer will do.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (spec, buffer), qpxStatusBadSize,
 *         qpxStatusBadArgument (kernelSize), qpxStatusBadDataType, qpxStatusBadChannel,
 *         qpxStatusBadArgument (sigma not greater than 0, NaN included), qpxStatusBadBorder. */
QPX_API qpxStatus qpxiFilterGaussianInit(qpxSize roiSize, int kernelSize, float sigma, qpxBorderType borderType, qpxDataType dataType, int numChannels, qpxFilterGaussianSpec* spec, uint8_t* buffer);
/** @name Gaussian filter
 * @{ */
/** Smooths an image with the spec's Gaussian kernel.
 *
 * With g the kernel (taps -r to r, r = kernelSize / 2) the filter is separable: a row pass
 * `R(x) = sum_k g(k) * P(x + k, y)` over the source converted to float and extended by the border,
 * then a column pass `D(x, y) = sum_k g(k) * R_(y + k)(x)`, both in single precision with the two
 * taps at distance i added before they are multiplied. 32f results are stored as computed.
 *
 * Integer outputs (8u, 16u, 16s) are clamped to the type's range and rounded in the caller's
 * current floating-point rounding mode (round to nearest, ties to even, under the default mode),
 * unlike every other result of the library, which never depends on that mode. The 16s filter with
 * kernel size 5 truncates toward zero instead.
 *
 * Types 8u, 16u, 16s and 32f with 1 or 3 channels; the spec must be initialised for the function's
 * type and channel count. The source and destination must not overlap. Border (Gaussian rule):
 * qpxBorderRepl, qpxBorderMirror or qpxBorderConst with any in-memory flags, or all four in-memory
 * flags with any kind (then real pixels are read on every side); codes above 255 are rejected.
 * Under an in-memory flag r rows or columns beyond the ROI are read on that side. The border type
 * is given at each call and checked by the Gaussian rule above.
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param borderType  Border code, see above.
 * @param borderValue One (C1) or three (C3) values outside the ROI under qpxBorderConst; may be
 *                    null for the other kinds.
 * @param spec        Spec filled by qpxiFilterGaussianInit() for this type.
 * @param buffer      Work buffer of qpxiFilterGaussianGetBufferSize() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer),
 *         qpxStatusBadStep (a step below 1), qpxStatusBadSize, then the checks of the 64-bit form:
 *         qpxStatusBadStep (a step below width x channels x element size),
 *         qpxStatusStepNotMultiple, qpxStatusBadBorder (above 255), qpxStatusNullPointer
 *         (qpxBorderConst with a null borderValue), qpxStatusBadBorder, qpxStatusBadArgument (the
 *         spec's kernel size is not odd and at least 3). */
QPX_API qpxStatus qpxiFilterGaussian_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16u_C3R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const int16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_16s_C3R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const int16_t* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussian_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
/** @} */
/** @name Gaussian filter with the spec's border type
 * @{ */
/** Smooths an image with the spec's Gaussian kernel.
 *
 * With g the kernel (taps -r to r, r = kernelSize / 2) the filter is separable: a row pass
 * `R(x) = sum_k g(k) * P(x + k, y)` over the source converted to float and extended by the border,
 * then a column pass `D(x, y) = sum_k g(k) * R_(y + k)(x)`, both in single precision with the two
 * taps at distance i added before they are multiplied. 32f results are stored as computed.
 *
 * Integer outputs (8u, 16u, 16s) are clamped to the type's range and rounded in the caller's
 * current floating-point rounding mode (round to nearest, ties to even, under the default mode),
 * unlike every other result of the library, which never depends on that mode. The 16s filter with
 * kernel size 5 truncates toward zero instead.
 *
 * Types 8u, 16u, 16s and 32f with 1 or 3 channels; the spec must be initialised for the function's
 * type and channel count. The source and destination must not overlap. Border (Gaussian rule):
 * qpxBorderRepl, qpxBorderMirror or qpxBorderConst with any in-memory flags, or all four in-memory
 * flags with any kind (then real pixels are read on every side); codes above 255 are rejected.
 * Under an in-memory flag r rows or columns beyond the ROI are read on that side. The border type
 * is the one given to qpxiFilterGaussianInit() and kept in the spec; otherwise these functions are
 * qpxiFilterGaussian_8u_C1R() and its twins.
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param borderValue Value outside the ROI under qpxBorderConst: one value (C1) or three (C3).
 * @param spec        Spec filled by qpxiFilterGaussianInit() for this type.
 * @param buffer      Work buffer of qpxiFilterGaussianGetBufferSize() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (spec), qpxStatusNullPointer (src,
 *         dst, spec, buffer), qpxStatusBadStep (a step below 1), qpxStatusBadSize, then the checks
 *         of the 64-bit form: qpxStatusBadStep (a step below width x channels x element size),
 *         qpxStatusStepNotMultiple, qpxStatusBadBorder (above 255), qpxStatusNullPointer
 *         (qpxBorderConst with a null borderValue), qpxStatusBadBorder, qpxStatusBadArgument (the
 *         spec's kernel size is not odd and at least 3). */
QPX_API qpxStatus qpxiFilterGaussianBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, uint8_t borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, const uint8_t borderValue[3], const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, uint16_t borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_16u_C3R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, const uint16_t borderValue[3], const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, int16_t borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_16s_C3R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, const int16_t borderValue[3], const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, float borderValue, const qpxFilterGaussianSpec* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterGaussianBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, const float borderValue[3], const qpxFilterGaussianSpec* spec, uint8_t* buffer);
/** @} */

/* @@GAUSSIAN@@ */

/* ---------------------------------------------------------------------------------------------
 * Fixed derivative, Laplacian and low-pass filters (maskSize qpxMskSize3x3 or qpxMskSize5x5),
 * Sobel-type kernel generator, colour gradient to grey (norm 0 Inf, 1 L1, 2 L2)
 * ------------------------------------------------------------------------------------------- */
/** @name Mixed second derivative (Sobel cross)
 * @{ */
/** Mixed second derivative d2/dxdy with a Sobel-type kernel.
 *
 * The mask is column `(-1, 0, 1)` times row `(1, 0, -1)`, that is rows `-1 0 1`, `0 0 0`,
 * `1 0 -1`, for 3x3, and column `(-1, -2, 0, 2, 1)` times row `(1, 2, 0, -2, -1)` for 5x5. Results
 * are not normalised: 8u16s results are exact integer sums (at most 1020 for 3x3 and 9180 for 5x5
 * in magnitude), 32f results single-precision sums.
 *
 * maskSize is qpxMskSize3x3 or qpxMskSize5x5; the kernels are fixed, correlated (tap 0 on the
 * leftmost or topmost pixel) and centred. borderType follows the filter rule: qpxBorderRepl,
 * qpxBorderMirror or qpxBorderConst with any in-memory flags, or qpxBorderInMem alone; under an
 * in-memory flag one (3x3) or two (5x5) rows or columns beyond the ROI are read on that side. The
 * source and destination must not overlap.
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param maskSize    qpxMskSize3x3 or qpxMskSize5x5.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst, of the source type.
 * @param buffer      Work buffer of the matching GetBufferSize query (same type and maskSize).
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, buffer),
 *         qpxStatusBadSize, qpxStatusBadStep (a step below width x element size),
 *         qpxStatusStepNotMultiple (16s and 32f steps), qpxStatusBadBorder, qpxStatusBadMaskSize
 *         (tested last). */
QPX_API qpxStatus qpxiFilterSobelCrossBorder_8u16s_C1R(const uint8_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterSobelCrossBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, qpxBorderType borderType, float borderValue, uint8_t* buffer);
/** @} */
/** @name Laplacian
 * @{ */
/** Laplacian with a fixed 3x3 or 5x5 kernel.
 *
 * 3x3 mask: rows `2 0 2`, `0 -8 0`, `2 0 2`. 5x5 mask: `D2(y) * S(x) + S(y) * D2(x)` with S = (1,
 * 4, 6, 4, 1) and D2 = (1, 0, -2, 0, 1), that is rows `2 4 4 4 2`, `4 0 -8 0 4`, `4 -8 -24 -8 4`,
 * `4 0 -8 0 4`, `2 4 4 4 2`. Results are not normalised: 8u16s results are exact integer sums (at
 * most 4080 for 3x3 and 28560 for 5x5 in magnitude), 32f results single-precision sums.
 *
 * maskSize is qpxMskSize3x3 or qpxMskSize5x5; the kernels are fixed, correlated (tap 0 on the
 * leftmost or topmost pixel) and centred. borderType follows the filter rule: qpxBorderRepl,
 * qpxBorderMirror or qpxBorderConst with any in-memory flags, or qpxBorderInMem alone; under an
 * in-memory flag one (3x3) or two (5x5) rows or columns beyond the ROI are read on that side. The
 * source and destination must not overlap.
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param maskSize    qpxMskSize3x3 or qpxMskSize5x5.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst, of the source type.
 * @param buffer      Work buffer of the matching GetBufferSize query (same type and maskSize).
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, buffer),
 *         qpxStatusBadSize, qpxStatusBadStep (a step below width x element size),
 *         qpxStatusStepNotMultiple (16s and 32f steps), qpxStatusBadBorder, qpxStatusBadMaskSize
 *         (tested last). */
QPX_API qpxStatus qpxiFilterLaplacianBorder_8u16s_C1R(const uint8_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterLaplacianBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, qpxBorderType borderType, float borderValue, uint8_t* buffer);
/** @} */
/** @name Box low-pass
 * @{ */
/** Mean of the 3x3 or 5x5 window around each pixel.
 *
 * 8u: the exact window sum divided by 9 or 25 and rounded to nearest (no ties can occur), so a
 * constant image stays constant. 32f: the single-precision window sum times 1/9 or 1/25.
 *
 * maskSize is qpxMskSize3x3 or qpxMskSize5x5; the kernels are fixed, correlated (tap 0 on the
 * leftmost or topmost pixel) and centred. borderType follows the filter rule: qpxBorderRepl,
 * qpxBorderMirror or qpxBorderConst with any in-memory flags, or qpxBorderInMem alone; under an
 * in-memory flag one (3x3) or two (5x5) rows or columns beyond the ROI are read on that side. The
 * source and destination must not overlap.
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param maskSize    qpxMskSize3x3 or qpxMskSize5x5.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst, of the source type.
 * @param buffer      Work buffer of the matching GetBufferSize query (same type and maskSize).
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, buffer),
 *         qpxStatusBadSize, qpxStatusBadStep, qpxStatusStepNotMultiple (32f steps only),
 *         qpxStatusBadBorder, qpxStatusBadMaskSize (tested last). */
QPX_API qpxStatus qpxiFilterLowpassBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiFilterLowpassBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, qpxBorderType borderType, float borderValue, uint8_t* buffer);
/** @} */
/** @name Fixed filter buffer sizes
 * @{ */
/** Work buffer size of the fixed filter of the same name and types.
 *
 * With w the ROI width, W16 = w rounded up to a multiple of 16, k = 21 (3x3) or 25 (5x5), and Row,
 * Col the row and column stage buffer sizes for width w and kernel size 3 or 5
 * (qpxiFilterRowBorderPipelineGetBufferSize_* and qpxiFilterColumnPipelineGetBufferSize_*):
 *
 * | filter | bytes |
 * |---|---|
 * | SobelCross 8u16s | 2 W16 k + (72 or 120) + 368 + Row(8u16s) + Col(16s) |
 * | SobelCross 32f | 4 W16 k + (72 or 120) + 368 + Row(32f) + Col(32f) |
 * | Laplacian 8u16s | 4 W16 k + (144 or 240) + 576 + Row(8u16s) + Col(16s) |
 * | Laplacian 32f | 8 W16 k + (144 or 240) + 576 + Row(32f) + Col(32f) |
 * | Lowpass 8u | 2 W16 k + (72 or 120) + 368 + Row(8u16s) + Col(16s8u) |
 * | Lowpass 32f | 4 W16 k + (72 or 120) + 304 + Row(32f) + Col(32f) |
 *
 * @param roiSize    ROI size of the calls to come.
 * @param maskSize   qpxMskSize3x3 or qpxMskSize5x5.
 * @param bufferSize Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusBadMaskSize. */
QPX_API qpxStatus qpxiFilterSobelCrossGetBufferSize_8u16s_C1R(qpxSize roiSize, qpxMaskSize maskSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterSobelCrossGetBufferSize_32f_C1R(qpxSize roiSize, qpxMaskSize maskSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterLaplacianGetBufferSize_8u16s_C1R(qpxSize roiSize, qpxMaskSize maskSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterLaplacianGetBufferSize_32f_C1R(qpxSize roiSize, qpxMaskSize maskSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterLowpassGetBufferSize_8u_C1R(qpxSize roiSize, qpxMaskSize maskSize, int* bufferSize);
QPX_API qpxStatus qpxiFilterLowpassGetBufferSize_32f_C1R(qpxSize roiSize, qpxMaskSize maskSize, int* bufferSize);
/** @} */
/** @name Sobel-type kernel generator
 * @{ */
/** Writes the one-dimensional Sobel-type kernel of a given size and derivative order.
 *
 * The kernel is the coefficient list, from the constant term upwards, of
 * `(1 + z)^(kernelSize - 1 - derivOrder) * (z - 1)^derivOrder`, negated when sign is negative:
 * size 3 order 1 gives -1, 0, 1; size 5 order 1 gives -1, -2, 0, 2, 1; size 5 order 2 gives 1, 0,
 * -2, 0, 1; order 0 gives the binomial row. The 16s form computes in 16-bit integers, the 32f form
 * in single precision.
 *
 * @param dst        Receives kernelSize taps.
 * @param kernelSize Odd number of taps, at least 1 and greater than derivOrder.
 * @param derivOrder Derivative order, at least 0.
 * @param sign       Negative to negate the kernel.
 * @return qpxStatusOk, qpxStatusNullPointer (dst) or qpxStatusBadSize (kernelSize even, below 1 or
 *         not above derivOrder, or derivOrder negative). */
QPX_API qpxStatus qpxiGenSobelKernel_32f(float* dst, int kernelSize, int derivOrder, int sign);
QPX_API qpxStatus qpxiGenSobelKernel_16s(int16_t* dst, int kernelSize, int derivOrder, int sign);
/** @} */
/** @name Colour gradient to grey
 * @{ */
/** Reduces each three-channel pixel (c0, c1, c2), typically a gradient, to one value by a norm.
 *
 * - norm 0 (Inf): `max(c0, c1, c2)` for 8u and 16u, `max(|c0|, |c1|, |c2|)` for 32f;
 * - norm 1 (L1): `((c0 + c1 + c2) * 1365 + 2048) >> 12` for 8u,
 *   `((c0 + c1 + c2) * 5461 + 8192) >> 14` for 16u, `|c0| + |c1| + |c2|` for 32f;
 * - norm 2 (L2): `sqrt((c0^2 + c1^2 + c2^2) * 0.33333334)` for every type.
 *
 * The 8u and 16u L1 and L2 results are means (divided by 3); the 32f L1 result is the plain sum.
 * L2 is computed in single precision; 8u and 16u L2 results are rounded to nearest (ties to even)
 * and saturated. For that conversion the function sets round-to-nearest when the caller runs
 * another rounding mode, then restores the caller's rounding mode; in that case the
 * denormals-are-zero flag is left cleared.
 *
 * @param src     Source image, three interleaved channels.
 * @param srcStep Row step of `src` in bytes.
 * @param dst     Destination image, one channel of the same type.
 * @param dstStep Row step of `dst` in bytes.
 * @param roiSize ROI width and height in pixels.
 * @param norm    qpxNormInf, qpxNormL1 or qpxNormL2.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize, qpxStatusBadStep
 *         (srcStep below 3 x width x element size, dstStep below width x element size),
 *         qpxStatusStepNotMultiple (16u and 32f), qpxStatusBadArgument (norm not 0, 1 or 2). */
QPX_API qpxStatus qpxiGradientColorToGray_8u_C3C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxNormType norm);
QPX_API qpxStatus qpxiGradientColorToGray_16u_C3C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxNormType norm);
QPX_API qpxStatus qpxiGradientColorToGray_32f_C3C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxNormType norm);
/** @} */

/* @@FIXED_FILTERS@@ */

/* ---------------------------------------------------------------------------------------------
 * Erosion and dilation with a flat structuring mask (nonzero mask bytes are members). The spec
 * records are opaque: allocate the size that the query reports; a spec must not be moved after
 * its Init. One qpxMorphState serves both operations for one type and channel count; one
 * qpxMorphStateL serves every type. Bit-packed (1u) images hold 8 pixels a byte, lowest bit first.
 * ------------------------------------------------------------------------------------------- */
/** Spec of erosion and dilation with 32-bit sizes, for one type and channel count (opaque:
 * allocate the size that qpxiMorphologyBorderGetSize_8u_C1R() or its twin reports). */
typedef struct qpxMorphState qpxMorphState;
/** Spec of the 64-bit erosion, dilation and composed operations (opaque; one serves every type).
 */
typedef struct qpxMorphStateL qpxMorphStateL;

/** @name Erosion and dilation: spec and buffer sizes
 * @{ */
/** Spec and work buffer sizes for erosion and dilation of one type and channel count.
 *
 * For 8u, 16u, 16s and 32f `specSize = 136 + (5 * paddedW + 4) * paddedH` bytes with
 * `paddedW = maskW | 1`, `paddedH = maskH | 1`; for 1u `specSize = 3 * B(maskW * maskH) + 144`, B
 * rounding up to a multiple of 16. bufferSize depends on the ROI and mask sizes, the element size
 * and the channel count; the buffer serves any ROI no larger than roiSize.
 *
 * @param roiSize    Largest ROI of the calls to come.
 * @param maskSize   Mask width and height.
 * @param specSize   Receives the spec size in bytes.
 * @param bufferSize Receives the work buffer size in bytes.
 * @return qpxStatusOk, qpxStatusNullPointer (an output) or qpxStatusBadSize (a dimension below 1).
 */
QPX_API qpxStatus qpxiMorphologyBorderGetSize_8u_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_8u_C3R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_8u_C4R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_16u_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_16s_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_32f_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_32f_C3R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_32f_C4R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphologyBorderGetSize_1u_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
/** @} */
/** @name Erosion and dilation: initialisation
 * @{ */
/** Analyses a structuring mask into a spec that serves both dilation and erosion of one type and
 * channel count.
 *
 * The mask is maskSize.width x maskSize.height bytes, row after row; nonzero bytes are members.
 * The anchor is ((maskW - 1) / 2, (maskH - 1) / 2): the centre of an odd size, the element left of
 * or above the centre for an even one. An all-zero mask, or a 1x1 mask, copies the ROI. The spec
 * points into itself and must not be moved after this call.
 *
 * @param roiSize  Largest ROI of the calls to come.
 * @param mask     The mask bytes.
 * @param maskSize Mask width and height.
 * @param spec     Spec of the specSize bytes that the matching qpxiMorphologyBorderGetSize_* query
 *                 reports.
 * @param buffer   The work buffer (tested for null; the 8u to 32f forms do not use it).
 * @return qpxStatusOk, qpxStatusNullPointer (mask, spec, buffer) or qpxStatusBadSize. */
QPX_API qpxStatus qpxiMorphologyBorderInit_8u_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_8u_C3R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_8u_C4R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_16u_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_16s_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_32f_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_32f_C3R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_32f_C4R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphologyBorderInit_1u_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphState* spec, uint8_t* buffer);
/** @} */
/** @name Dilation
 * @{ */
/** Dilation with a flat structuring mask.
 *
 * `dst(x, y) = max` over the mask members (i, j) of `P(x + i - ax, y + j - ay)`, per channel,
 * where P is the source extended by the border and (ax, ay) = ((maskW - 1) / 2, (maskH - 1) / 2)
 * the anchor. Values are copied exactly.
 *
 * borderType follows the morphology rule: qpxBorderRepl, qpxBorderMirror, qpxBorderConst or
 * qpxBorderDefault (the outside never wins: the lowest value of the type for dilation, the highest
 * for erosion), each with any in-memory and stage flags; any other kind only with all four
 * in-memory flags and no stage flag (then the default kind is used); codes above 4095 are
 * rejected. A stage flag counts where the same side's in-memory flag is clear, and in a single
 * operation it acts as that in-memory flag. Under an in-memory flag the function reads the
 * caller's pixels beyond the ROI: `maskH >> 1` rows above and `(maskH | 1) - 1 - (maskH >> 1)`
 * below, `maskW >> 1` columns left and `(maskW | 1) - 1 - (maskW >> 1)` right.
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by the matching qpxiMorphologyBorderInit_* for this type and
 *                    channel count.
 * @param buffer      Work buffer of the matching qpxiMorphologyBorderGetSize_* query.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (C3 and C4: qpxBorderConst with a
 *         null borderValue; then src, dst, spec, buffer), qpxStatusBadSize, qpxStatusBadStep,
 *         qpxStatusStepNotMultiple (16- and 32-bit steps), qpxStatusBadBorder. */
QPX_API qpxStatus qpxiDilateBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilateBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphState* spec, uint8_t* buffer);
/** @} */
/** Dilation of a bit-packed image: OR over the mask members, as qpxiDilateBorder_8u_C1R() does with
 * the maximum.
 *
 * The image holds 8 pixels a byte, lowest bit first; the ROI of a row starts at bit `offset & 7`
 * of byte `offset >> 3`. Destination bits before the offset in the first byte and after the ROI in
 * the last byte of each row are preserved. qpxBorderMirror is rejected, and qpxBorderDefault
 * leaves out the outside (0 for dilation, 1 for erosion). The source and destination must be
 * different images.
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec         Spec filled by qpxiMorphologyBorderInit_1u_C1R().
 * @param buffer       Work buffer of the qpxiMorphologyBorderGetSize_1u_C1R() size.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer),
 *         qpxStatusBadSize (ROI below 1x1 or a negative bit offset), qpxStatusBadStep,
 *         qpxStatusBadBorder, qpxStatusInPlaceNotSupported (src equal to dst). */
QPX_API qpxStatus qpxiDilateBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
/** @name Erosion
 * @{ */
/** Erosion with a flat structuring mask.
 *
 * `dst(x, y) = min` over the mask members (i, j) of `P(x + i - ax, y + j - ay)`, per channel,
 * where P is the source extended by the border and (ax, ay) = ((maskW - 1) / 2, (maskH - 1) / 2)
 * the anchor. Values are copied exactly.
 *
 * borderType follows the morphology rule: qpxBorderRepl, qpxBorderMirror, qpxBorderConst or
 * qpxBorderDefault (the outside never wins: the lowest value of the type for dilation, the highest
 * for erosion), each with any in-memory and stage flags; any other kind only with all four
 * in-memory flags and no stage flag (then the default kind is used); codes above 4095 are
 * rejected. A stage flag counts where the same side's in-memory flag is clear, and in a single
 * operation it acts as that in-memory flag. Under an in-memory flag the function reads the
 * caller's pixels beyond the ROI: `maskH >> 1` rows above and `(maskH | 1) - 1 - (maskH >> 1)`
 * below, `maskW >> 1` columns left and `(maskW | 1) - 1 - (maskW >> 1)` right.
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by the matching qpxiMorphologyBorderInit_* for this type and
 *                    channel count.
 * @param buffer      Work buffer of the matching qpxiMorphologyBorderGetSize_* query.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (C3 and C4: qpxBorderConst with a
 *         null borderValue; then src, dst, spec, buffer), qpxStatusBadSize, qpxStatusBadStep,
 *         qpxStatusStepNotMultiple (16- and 32-bit steps), qpxStatusBadBorder. */
QPX_API qpxStatus qpxiErodeBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErodeBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphState* spec, uint8_t* buffer);
/** @} */
/** Erosion of a bit-packed image: AND over the mask members, as qpxiErodeBorder_8u_C1R() does with
 * the minimum.
 *
 * The image holds 8 pixels a byte, lowest bit first; the ROI of a row starts at bit `offset & 7`
 * of byte `offset >> 3`. Destination bits before the offset in the first byte and after the ROI in
 * the last byte of each row are preserved. qpxBorderMirror is rejected, and qpxBorderDefault
 * leaves out the outside (0 for dilation, 1 for erosion). The source and destination must be
 * different images.
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec         Spec filled by qpxiMorphologyBorderInit_1u_C1R().
 * @param buffer       Work buffer of the qpxiMorphologyBorderGetSize_1u_C1R() size.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer),
 *         qpxStatusBadSize (ROI below 1x1 or a negative bit offset), qpxStatusBadStep,
 *         qpxStatusBadBorder, qpxStatusInPlaceNotSupported (src equal to dst). */
QPX_API qpxStatus qpxiErodeBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphState* spec, uint8_t* buffer);

/** Size of the spec of the 64-bit erosion and dilation functions.
 *
 * One spec (qpxMorphStateL) serves every type and channel count and both operations:
 * `specSize = 160 + (5 * paddedW + 4) * paddedH + S1 + 16` bytes, where paddedW = maskW | 1,
 * paddedH = maskH | 1 and S1 is the work size of the bit-packed form for this ROI and mask.
 *
 * @param roiSize  Largest ROI of the calls to come.
 * @param maskSize Mask width and height.
 * @param specSize Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusSizeTooLarge (a ROI
 *         dimension above 2^31 - 1), qpxStatusBadSize. */
QPX_API qpxStatus qpxiErodeGetSpecSize_L(qpxSizeL roiSize, qpxSizeL maskSize, int64_t* specSize);
/** Size of the work buffer of the 64-bit erosion and dilation functions.
 *
 * The larger of the buffer for the given type and channel count and the work size of the
 * bit-packed form; the buffer serves any ROI no larger than roiSize.
 *
 * @param roiSize     Largest ROI of the calls to come.
 * @param maskSize    Mask width and height.
 * @param dataType    qpx1u, qpx8u, qpx16u, qpx16s or qpx32f.
 * @param numChannels 1, 3 or 4.
 * @param bufferSize  Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusSizeTooLarge (a ROI
 *         dimension of 2^31 or more), qpxStatusBadSize, qpxStatusBadDataType, qpxStatusBadChannel.
 */
QPX_API qpxStatus qpxiErodeGetBufferSize_L(qpxSizeL roiSize, qpxSizeL maskSize, qpxDataType dataType, int numChannels, int64_t* bufferSize);
/** Analyses a structuring mask into the spec of the 64-bit erosion and dilation functions.
 *
 * The mask is maskSize.width x maskSize.height bytes, row after row; nonzero bytes are members.
 * The anchor is ((maskW - 1) / 2, (maskH - 1) / 2): the centre of an odd size, the element left of
 * or above the centre for an even one. An all-zero mask, or a 1x1 mask, copies the ROI. One spec
 * serves every type and channel count and both operations; it points into itself and must not be
 * moved after this call.
 *
 * @param roiSize  Largest ROI of the calls to come.
 * @param mask     The mask bytes.
 * @param maskSize Mask width and height.
 * @param spec     Spec of qpxiErodeGetSpecSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (mask, spec), qpxStatusBadSize,
 *         qpxStatusSizeTooLarge. */
QPX_API qpxStatus qpxiErodeInit_L(qpxSizeL roiSize, const uint8_t* mask, qpxSizeL maskSize, qpxMorphStateL* spec);
/** The same function as qpxiErodeGetSpecSize_L(): one spec serves both operations.
 *
 * @param roiSize  Largest ROI of the calls to come.
 * @param maskSize Mask width and height.
 * @param specSize Receives the size in bytes.
 * @return As qpxiErodeGetSpecSize_L(). */
QPX_API qpxStatus qpxiDilateGetSpecSize_L(qpxSizeL roiSize, qpxSizeL maskSize, int64_t* specSize);
/** The same function as qpxiErodeGetBufferSize_L().
 *
 * @param roiSize     Largest ROI of the calls to come.
 * @param maskSize    Mask width and height.
 * @param dataType    qpx1u, qpx8u, qpx16u, qpx16s or qpx32f.
 * @param numChannels 1, 3 or 4.
 * @param bufferSize  Receives the size in bytes.
 * @return As qpxiErodeGetBufferSize_L(). */
QPX_API qpxStatus qpxiDilateGetBufferSize_L(qpxSizeL roiSize, qpxSizeL maskSize, qpxDataType dataType, int numChannels, int64_t* bufferSize);
/** The same function as qpxiErodeInit_L(): one spec serves both operations.
 *
 * @param roiSize  Largest ROI of the calls to come.
 * @param mask     The mask bytes.
 * @param maskSize Mask width and height.
 * @param spec     Spec of qpxiDilateGetSpecSize_L() bytes.
 * @return As qpxiErodeInit_L(). */
QPX_API qpxStatus qpxiDilateInit_L(qpxSizeL roiSize, const uint8_t* mask, qpxSizeL maskSize, qpxMorphStateL* spec);
/** @name Dilation, 64-bit sizes
 * @{ */
/** Dilation with a flat structuring mask, with 64-bit sizes and steps.
 *
 * `dst(x, y) = max` over the mask members (i, j) of `P(x + i - ax, y + j - ay)`, per channel, P
 * being the source extended by the border and (ax, ay) = ((maskW - 1) / 2, (maskH - 1) / 2) the
 * anchor. Values are copied exactly.
 *
 * borderType follows the morphology rule: qpxBorderRepl, qpxBorderMirror, qpxBorderConst or
 * qpxBorderDefault (the outside never wins: the lowest value of the type for dilation, the highest
 * for erosion), each with any in-memory and stage flags; any other kind only with all four
 * in-memory flags and no stage flag (then the default kind is used); codes above 4095 are
 * rejected. A stage flag counts where the same side's in-memory flag is clear, and in a single
 * operation it acts as that in-memory flag. Under an in-memory flag the function reads the
 * caller's pixels beyond the ROI: `maskH >> 1` rows above and `(maskH | 1) - 1 - (maskH >> 1)`
 * below, `maskW >> 1` columns left and `(maskW | 1) - 1 - (maskW >> 1)` right.
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by qpxiErodeInit_L() or qpxiDilateInit_L().
 * @param buffer      Work buffer of the qpxiErodeGetBufferSize_L() size for this type.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (C3 and C4: qpxBorderConst with a
 *         null borderValue; then src, dst, spec, buffer), qpxStatusBadSize, qpxStatusSizeTooLarge
 *         (a size or step above 2^31 - 1), qpxStatusBadStep, qpxStatusStepNotMultiple,
 *         qpxStatusBadBorder. */
QPX_API qpxStatus qpxiDilate_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiDilate_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
/** @} */
/** Dilation of a bit-packed image with 64-bit sizes and steps: OR over the mask members.
 *
 * The image holds 8 pixels a byte, lowest bit first; the ROI of a row starts at bit `offset & 7`
 * of byte `offset >> 3`. Destination bits before the offset in the first byte and after the ROI in
 * the last byte of each row are preserved. qpxBorderMirror is rejected, and qpxBorderDefault
 * leaves out the outside (0 for dilation, 1 for erosion). The source and destination must be
 * different images.
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec         Spec filled by qpxiErodeInit_L() or qpxiDilateInit_L().
 * @param buffer       Work buffer of the qpxiErodeGetBufferSize_L() size for qpx1u.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer),
 *         qpxStatusBadSize (ROI below 1x1 or a negative bit offset), qpxStatusSizeTooLarge,
 *         qpxStatusBadStep, qpxStatusBadBorder, qpxStatusInPlaceNotSupported (src equal to dst). */
QPX_API qpxStatus qpxiDilate_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
/** @name Erosion, 64-bit sizes
 * @{ */
/** Erosion with a flat structuring mask, with 64-bit sizes and steps.
 *
 * `dst(x, y) = min` over the mask members (i, j) of `P(x + i - ax, y + j - ay)`, per channel, P
 * being the source extended by the border and (ax, ay) = ((maskW - 1) / 2, (maskH - 1) / 2) the
 * anchor. Values are copied exactly.
 *
 * borderType follows the morphology rule: qpxBorderRepl, qpxBorderMirror, qpxBorderConst or
 * qpxBorderDefault (the outside never wins: the lowest value of the type for dilation, the highest
 * for erosion), each with any in-memory and stage flags; any other kind only with all four
 * in-memory flags and no stage flag (then the default kind is used); codes above 4095 are
 * rejected. A stage flag counts where the same side's in-memory flag is clear, and in a single
 * operation it acts as that in-memory flag. Under an in-memory flag the function reads the
 * caller's pixels beyond the ROI: `maskH >> 1` rows above and `(maskH | 1) - 1 - (maskH >> 1)`
 * below, `maskW >> 1` columns left and `(maskW | 1) - 1 - (maskW >> 1)` right.
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by qpxiErodeInit_L() or qpxiDilateInit_L().
 * @param buffer      Work buffer of the qpxiErodeGetBufferSize_L() size for this type.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (C3 and C4: qpxBorderConst with a
 *         null borderValue; then src, dst, spec, buffer), qpxStatusBadSize, qpxStatusSizeTooLarge
 *         (a size or step above 2^31 - 1), qpxStatusBadStep, qpxStatusStepNotMultiple,
 *         qpxStatusBadBorder. */
QPX_API qpxStatus qpxiErode_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiErode_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
/** @} */
/** Erosion of a bit-packed image with 64-bit sizes and steps: AND over the mask members.
 *
 * The image holds 8 pixels a byte, lowest bit first; the ROI of a row starts at bit `offset & 7`
 * of byte `offset >> 3`. Destination bits before the offset in the first byte and after the ROI in
 * the last byte of each row are preserved. qpxBorderMirror is rejected, and qpxBorderDefault
 * leaves out the outside (0 for dilation, 1 for erosion). The source and destination must be
 * different images.
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec         Spec filled by qpxiErodeInit_L() or qpxiDilateInit_L().
 * @param buffer       Work buffer of the qpxiErodeGetBufferSize_L() size for qpx1u.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer),
 *         qpxStatusBadSize (ROI below 1x1 or a negative bit offset), qpxStatusSizeTooLarge,
 *         qpxStatusBadStep, qpxStatusBadBorder, qpxStatusInPlaceNotSupported (src equal to dst). */
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
/** Spec of opening, closing, top-hat, black-hat and gradient with 32-bit sizes (opaque: allocate
 * the size that qpxiMorphAdvGetSize_8u_C1R() or its twin reports). */
typedef struct qpxMorphAdvState qpxMorphAdvState;
/** Spec of grey-scale erosion and dilation (opaque: allocate the size that
 * qpxiMorphGrayGetSize_8u_C1R() or its twin reports). */
typedef struct qpxMorphGrayState qpxMorphGrayState;

/** @name Opening, closing, top-hat, black-hat, gradient: spec and buffer sizes
 * @{ */
/** Spec and work buffer sizes for the composed operations (qpxiMorphOpenBorder_8u_C1R() and the
 * others) of one type and channel count.
 *
 * `specSize = paddedW * paddedH + 2 * S + 64` bytes, where paddedW = maskW | 1, paddedH = maskH |
 * 1 and S is the spec size of the single-stage query (qpxiMorphologyBorderGetSize_*) for the same
 * type. `bufferSize = (2 * ky + roiH) * R32(s * c * (2 * kx + roiW)) + 2 * B`, with kx = maskW >>
 * 1, ky = maskH >> 1, s the element size, c the channel count, R32 rounding up to a multiple of 32
 * and B the single-stage buffer size: the intermediate image and two single-stage work areas.
 *
 * @param roiSize    Largest ROI of the calls to come.
 * @param maskSize   Mask width and height.
 * @param specSize   Receives the spec size in bytes.
 * @param bufferSize Receives the work buffer size in bytes.
 * @return qpxStatusOk, qpxStatusNullPointer (an output) or qpxStatusBadSize (a dimension below 1).
 */
QPX_API qpxStatus qpxiMorphAdvGetSize_8u_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_8u_C3R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_8u_C4R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_16u_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_16s_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_32f_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_32f_C3R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_32f_C4R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
QPX_API qpxStatus qpxiMorphAdvGetSize_1u_C1R(qpxSize roiSize, qpxSize maskSize, int* specSize, int* bufferSize);
/** @} */
/** @name Opening, closing, top-hat, black-hat, gradient: initialisation
 * @{ */
/** Analyses a structuring mask into the spec of the composed operations of one type and channel
 * count.
 *
 * The spec holds two single-stage specs: the first from the mask, the second by default from the
 * mask rotated by 180 degrees (element i of the row-major mask becomes element
 * `maskW * maskH - 1 - i`), with both stages anchored on the same mask element. The mode is 0
 * (qpxiMorphSetMode()). The ROI given here is the largest that the operations accept.
 *
 * The mask is maskSize.width x maskSize.height bytes, row after row; nonzero bytes are members.
 * The anchor is ((maskW - 1) / 2, (maskH - 1) / 2): the centre of an odd size, the element left of
 * or above the centre for an even one. An all-zero mask, or a 1x1 mask, copies the ROI. The spec
 * points into itself and must not be moved after this call.
 *
 * @param roiSize  Largest ROI of the calls to come.
 * @param mask     The mask bytes.
 * @param maskSize Mask width and height.
 * @param spec     Spec of the specSize bytes that the matching qpxiMorphAdvGetSize_* query
 *                 reports.
 * @param buffer   The work buffer (tested for null).
 * @return qpxStatusOk, qpxStatusNullPointer (mask, spec, buffer) or qpxStatusBadSize. */
QPX_API qpxStatus qpxiMorphAdvInit_8u_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_8u_C3R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_8u_C4R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_16u_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_16s_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_32f_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_32f_C3R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_32f_C4R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphAdvInit_1u_C1R(qpxSize roiSize, const uint8_t* mask, qpxSize maskSize, qpxMorphAdvState* spec, uint8_t* buffer);
/** @} */
/** @name Morphological opening
 * @{ */
/** Morphological opening: `T = erode(src)` with the first-stage mask, then `dst = dilate(T)` with
 * the second-stage mask.
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode() with mode 1 uses the mask as given.
 *
 * Borders: the first stage uses borderType and borderValue; the second stage runs on the
 * intermediate image with the kind alone (no in-memory flags) and the same borderValue, and with
 * qpxBorderDefault when borderType had only in-memory flags. borderType follows the morphology
 * rule (see qpxiDilateBorder_8u_C1R()).
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by the matching qpxiMorphAdvInit_*.
 * @param buffer      Work buffer of the matching qpxiMorphAdvGetSize_* size.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize, qpxStatusBadStep,
 *         qpxStatusStepNotMultiple, qpxStatusBadBorder, qpxStatusBadSize (a ROI larger than the
 *         one given to Init). */
QPX_API qpxStatus qpxiMorphOpenBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpenBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
/** @} */
/** Morphological opening of a bit-packed image: `T = erode(src)` with the first-stage mask, then
 * `dst = dilate(T)` with the second-stage mask.
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode() with mode 1 uses the mask as given.
 *
 * Borders: the first stage uses borderType and borderValue; the second stage runs on the
 * intermediate image with the kind alone (no in-memory flags) and the same borderValue, and with
 * qpxBorderDefault when borderType had only in-memory flags. borderType follows the morphology
 * rule (see qpxiDilateBorder_8u_C1R()).
 *
 * The image holds 8 pixels a byte, lowest bit first, from the given bit offsets; destination bits
 * outside the ROI are preserved. qpxBorderMirror is rejected. The source and destination must be
 * different images.
 *
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec        Spec filled by the matching qpxiMorphAdvInit_*.
 * @param buffer      Work buffer of the matching qpxiMorphAdvGetSize_* size.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize (or a negative bit offset),
 *         qpxStatusBadStep, qpxStatusBadBorder, qpxStatusInPlaceNotSupported, qpxStatusBadSize (a
 *         ROI larger than the one given to Init). */
QPX_API qpxStatus qpxiMorphOpenBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
/** @name Morphological closing
 * @{ */
/** Morphological closing: `T = dilate(src)` with the first-stage mask, then `dst = erode(T)` with
 * the second-stage mask.
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode() with mode 1 uses the mask as given.
 *
 * Borders: the first stage uses borderType and borderValue; the second stage runs on the
 * intermediate image with the kind alone (no in-memory flags) and the same borderValue, and with
 * qpxBorderDefault when borderType had only in-memory flags. borderType follows the morphology
 * rule (see qpxiDilateBorder_8u_C1R()).
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by the matching qpxiMorphAdvInit_*.
 * @param buffer      Work buffer of the matching qpxiMorphAdvGetSize_* size.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize, qpxStatusBadStep,
 *         qpxStatusStepNotMultiple, qpxStatusBadBorder, qpxStatusBadSize (a ROI larger than the
 *         one given to Init). */
QPX_API qpxStatus qpxiMorphCloseBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphCloseBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
/** @} */
/** Morphological closing of a bit-packed image: `T = dilate(src)` with the first-stage mask, then
 * `dst = erode(T)` with the second-stage mask.
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode() with mode 1 uses the mask as given.
 *
 * Borders: the first stage uses borderType and borderValue; the second stage runs on the
 * intermediate image with the kind alone (no in-memory flags) and the same borderValue, and with
 * qpxBorderDefault when borderType had only in-memory flags. borderType follows the morphology
 * rule (see qpxiDilateBorder_8u_C1R()).
 *
 * The image holds 8 pixels a byte, lowest bit first, from the given bit offsets; destination bits
 * outside the ROI are preserved. qpxBorderMirror is rejected. The source and destination must be
 * different images.
 *
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec        Spec filled by the matching qpxiMorphAdvInit_*.
 * @param buffer      Work buffer of the matching qpxiMorphAdvGetSize_* size.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize (or a negative bit offset),
 *         qpxStatusBadStep, qpxStatusBadBorder, qpxStatusInPlaceNotSupported, qpxStatusBadSize (a
 *         ROI larger than the one given to Init). */
QPX_API qpxStatus qpxiMorphCloseBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
/** @name Top-hat
 * @{ */
/** Top-hat: `dst = src - open(src)`, the opening as in qpxiMorphOpenBorder_8u_C1R().
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode() with mode 1 uses the mask as given.
 *
 * Differences: 8u and 16u saturate at 0, 16s uses saturating 16-bit subtraction, 32f plain
 * subtraction, 1u `a AND NOT b`. Negative 32f results are always replaced by 0; 16s results can be
 * negative (the mode's clamp flag applies to the 64-bit functions only).
 *
 * Borders: the first stage uses borderType and borderValue; the second stage runs on the
 * intermediate image with the kind alone (no in-memory flags) and the same borderValue, and with
 * qpxBorderDefault when borderType had only in-memory flags. borderType follows the morphology
 * rule (see qpxiDilateBorder_8u_C1R()).
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by the matching qpxiMorphAdvInit_*.
 * @param buffer      Work buffer of the matching qpxiMorphAdvGetSize_* size.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize, qpxStatusBadStep,
 *         qpxStatusStepNotMultiple, qpxStatusBadBorder, qpxStatusBadSize (a ROI larger than the
 *         one given to Init). */
QPX_API qpxStatus qpxiMorphTophatBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophatBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
/** @} */
/** Top-hat of a bit-packed image: `dst = src - open(src)`, the opening as in
 * qpxiMorphOpenBorder_8u_C1R().
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode() with mode 1 uses the mask as given.
 *
 * Differences: 8u and 16u saturate at 0, 16s uses saturating 16-bit subtraction, 32f plain
 * subtraction, 1u `a AND NOT b`. Negative 32f results are always replaced by 0; 16s results can be
 * negative (the mode's clamp flag applies to the 64-bit functions only).
 *
 * Borders: the first stage uses borderType and borderValue; the second stage runs on the
 * intermediate image with the kind alone (no in-memory flags) and the same borderValue, and with
 * qpxBorderDefault when borderType had only in-memory flags. borderType follows the morphology
 * rule (see qpxiDilateBorder_8u_C1R()).
 *
 * The image holds 8 pixels a byte, lowest bit first, from the given bit offsets; destination bits
 * outside the ROI are preserved. qpxBorderMirror is rejected. The source and destination must be
 * different images.
 *
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec        Spec filled by the matching qpxiMorphAdvInit_*.
 * @param buffer      Work buffer of the matching qpxiMorphAdvGetSize_* size.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize (or a negative bit offset),
 *         qpxStatusBadStep, qpxStatusBadBorder, qpxStatusInPlaceNotSupported, qpxStatusBadSize (a
 *         ROI larger than the one given to Init). */
QPX_API qpxStatus qpxiMorphTophatBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
/** @name Black-hat
 * @{ */
/** Black-hat: `dst = close(src) - src`, the closing as in qpxiMorphCloseBorder_8u_C1R().
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode() with mode 1 uses the mask as given.
 *
 * Differences: 8u and 16u saturate at 0, 16s uses saturating 16-bit subtraction, 32f plain
 * subtraction, 1u `a AND NOT b`. Negative 32f results are always replaced by 0; 16s results can be
 * negative (the mode's clamp flag applies to the 64-bit functions only).
 *
 * Borders: the first stage uses borderType and borderValue; the second stage runs on the
 * intermediate image with the kind alone (no in-memory flags) and the same borderValue, and with
 * qpxBorderDefault when borderType had only in-memory flags. borderType follows the morphology
 * rule (see qpxiDilateBorder_8u_C1R()).
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by the matching qpxiMorphAdvInit_*.
 * @param buffer      Work buffer of the matching qpxiMorphAdvGetSize_* size.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize, qpxStatusBadStep,
 *         qpxStatusStepNotMultiple, qpxStatusBadBorder, qpxStatusBadSize (a ROI larger than the
 *         one given to Init). */
QPX_API qpxStatus qpxiMorphBlackhatBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhatBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
/** @} */
/** Black-hat of a bit-packed image: `dst = close(src) - src`, the closing as in
 * qpxiMorphCloseBorder_8u_C1R().
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode() with mode 1 uses the mask as given.
 *
 * Differences: 8u and 16u saturate at 0, 16s uses saturating 16-bit subtraction, 32f plain
 * subtraction, 1u `a AND NOT b`. Negative 32f results are always replaced by 0; 16s results can be
 * negative (the mode's clamp flag applies to the 64-bit functions only).
 *
 * Borders: the first stage uses borderType and borderValue; the second stage runs on the
 * intermediate image with the kind alone (no in-memory flags) and the same borderValue, and with
 * qpxBorderDefault when borderType had only in-memory flags. borderType follows the morphology
 * rule (see qpxiDilateBorder_8u_C1R()).
 *
 * The image holds 8 pixels a byte, lowest bit first, from the given bit offsets; destination bits
 * outside the ROI are preserved. qpxBorderMirror is rejected. The source and destination must be
 * different images.
 *
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec        Spec filled by the matching qpxiMorphAdvInit_*.
 * @param buffer      Work buffer of the matching qpxiMorphAdvGetSize_* size.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize (or a negative bit offset),
 *         qpxStatusBadStep, qpxStatusBadBorder, qpxStatusInPlaceNotSupported, qpxStatusBadSize (a
 *         ROI larger than the one given to Init). */
QPX_API qpxStatus qpxiMorphBlackhatBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
/** @name Morphological gradient
 * @{ */
/** Morphological gradient: `dst = dilate(src) - erode(src)`, both with the first-stage (caller's)
 * mask.
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode() with mode 1 uses the mask as given.
 *
 * Differences: 8u and 16u saturate at 0, 16s uses saturating 16-bit subtraction, 32f plain
 * subtraction, 1u `a AND NOT b`.
 *
 * Borders: both stages read the source with borderType and borderValue. Unlike the other composed
 * operations, borderType follows the filter rule: qpxBorderRepl, qpxBorderMirror or qpxBorderConst
 * with any in-memory flags, or qpxBorderInMem alone (qpxBorderDefault and stage flags are
 * rejected).
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by the matching qpxiMorphAdvInit_*.
 * @param buffer      Work buffer of the matching qpxiMorphAdvGetSize_* size.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize, qpxStatusBadStep,
 *         qpxStatusStepNotMultiple, qpxStatusBadBorder, qpxStatusBadSize (a ROI larger than the
 *         one given to Init). */
QPX_API qpxStatus qpxiMorphGradientBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_8u_C3R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_8u_C4R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_16u_C1R(const uint16_t* src, int srcStep, uint16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_16s_C1R(const int16_t* src, int srcStep, int16_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, float borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_32f_C3R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradientBorder_32f_C4R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
/** @} */
/** Morphological gradient of a bit-packed image: `dst = dilate(src) - erode(src)`, both with the
 * first-stage (caller's) mask.
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode() with mode 1 uses the mask as given.
 *
 * Differences: 8u and 16u saturate at 0, 16s uses saturating 16-bit subtraction, 32f plain
 * subtraction, 1u `a AND NOT b`.
 *
 * Borders: both stages read the source with borderType and borderValue. Unlike the other composed
 * operations, borderType follows the filter rule: qpxBorderRepl, qpxBorderMirror or qpxBorderConst
 * with any in-memory flags, or qpxBorderInMem alone (qpxBorderDefault and stage flags are
 * rejected).
 *
 * The image holds 8 pixels a byte, lowest bit first, from the given bit offsets; destination bits
 * outside the ROI are preserved. qpxBorderMirror is rejected. The source and destination must be
 * different images.
 *
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec        Spec filled by the matching qpxiMorphAdvInit_*.
 * @param buffer      Work buffer of the matching qpxiMorphAdvGetSize_* size.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize (or a negative bit offset),
 *         qpxStatusBadStep, qpxStatusBadBorder, qpxStatusInPlaceNotSupported, qpxStatusBadSize (a
 *         ROI larger than the one given to Init). */
QPX_API qpxStatus qpxiMorphGradientBorder_1u_C1R(const uint8_t* src, int srcStep, int srcBitOffset, uint8_t* dst, int dstStep, int dstBitOffset, qpxSize roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphAdvState* spec, uint8_t* buffer);
/** Sets the mode of a composed-morphology spec (32-bit family).
 *
 * Bit 0 (mode 1): the second stage uses the caller's mask as given instead of the mask rotated by
 * 180 degrees; clearing it selects the rotated mask again. Bit 2 (mode 4): the clamp flag, which
 * only the 64-bit top-hat and black-hat consult. Allowed modes: 0, 1, 4, 5.
 *
 * @param mode Mode: 0, 1, 4 or 5.
 * @param spec Spec filled by a qpxiMorphAdvInit_* function.
 * @return qpxStatusOk, qpxStatusNullPointer (spec) or qpxStatusBadMode. */
QPX_API qpxStatus qpxiMorphSetMode(int mode, qpxMorphAdvState* spec);
/** Sets the mode of a 64-bit composed-morphology spec.
 *
 * Bit 0 (mode 1): the second stage uses the caller's mask as given instead of the mask rotated by
 * 180 degrees. Bit 2 (mode 4): the clamp flag; negative top-hat and black-hat results of 16s and
 * 32f data become 0. Allowed modes: 0, 1, 4, 5.
 *
 * @param mode Mode: 0, 1, 4 or 5.
 * @param spec Spec filled by qpxiMorphInit_L().
 * @return qpxStatusOk, qpxStatusNullPointer (spec) or qpxStatusBadMode. */
QPX_API qpxStatus qpxiMorphSetMode_L(int mode, qpxMorphStateL* spec);
/** Size of the spec of the 64-bit composed operations (qpxiMorphOpen_8u_C1R_L() and the others).
 *
 * `specSize = (maskW | 1) * (maskH | 1) + 2 * E + 64` bytes, E being the qpxiErodeGetSpecSize_L()
 * size for a ROI enlarged by `4 * (maskW >> 1)` and `4 * (maskH >> 1)` and the odd-padded mask.
 *
 * @param roiSize     Largest ROI of the calls to come.
 * @param maskSize    Mask width and height.
 * @param dataType    qpx1u, qpx8u, qpx16u, qpx16s or qpx32f.
 * @param numChannels 1, 3 or 4.
 * @param specSize    Receives the size in bytes.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusSizeTooLarge (a dimension above 2^31 - 1), qpxStatusBadDataType,
 *         qpxStatusBadChannel. */
QPX_API qpxStatus qpxiMorphGetSpecSize_L(qpxSizeL roiSize, qpxSizeL maskSize, qpxDataType dataType, int numChannels, int64_t* specSize);
/** Size of the work buffer of the 64-bit composed operations.
 *
 * `R32(c * s * (roiW + 4 * kx)) * (roiH + 4 * ky)` for the intermediate image plus twice the
 * largest qpxiErodeGetBufferSize_L() size for the ROI sizes (roiW, roiH), (roiW + 2 kx, roiH + 2
 * ky) and (roiW + 4 kx, roiH + 4 ky); kx = maskW >> 1, ky = maskH >> 1, s the element size, c the
 * channel count, R32 rounding up to a multiple of 32.
 *
 * @param roiSize     Largest ROI of the calls to come.
 * @param maskSize    Mask width and height.
 * @param dataType    qpx1u, qpx8u, qpx16u, qpx16s or qpx32f.
 * @param numChannels 1, 3 or 4.
 * @param bufferSize  Receives the size in bytes.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusSizeTooLarge (a dimension above 2^31 - 1), qpxStatusBadDataType,
 *         qpxStatusBadChannel. */
QPX_API qpxStatus qpxiMorphGetBufferSize_L(qpxSizeL roiSize, qpxSizeL maskSize, qpxDataType dataType, int numChannels, int64_t* bufferSize);
/** Analyses a structuring mask into the spec of the 64-bit composed operations.
 *
 * As qpxiMorphAdvInit_8u_C1R(): a first stage from the mask, a second from the mask rotated by 180
 * degrees, mode 0. The spec points into itself and must not be moved after this call.
 *
 * @param roiSize     Largest ROI of the calls to come.
 * @param mask        The mask bytes; nonzero bytes are members.
 * @param maskSize    Mask width and height.
 * @param dataType    qpx1u, qpx8u, qpx16u, qpx16s or qpx32f.
 * @param numChannels 1, 3 or 4.
 * @param spec        Spec of qpxiMorphGetSpecSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusSizeTooLarge (a ROI dimension above 2^31 - 1),
 *         qpxStatusNullPointer (mask, spec), qpxStatusBadSize, qpxStatusSizeTooLarge (a mask
 *         dimension), qpxStatusBadDataType, qpxStatusBadChannel. */
QPX_API qpxStatus qpxiMorphInit_L(qpxSizeL roiSize, const uint8_t* mask, qpxSizeL maskSize, qpxDataType dataType, int numChannels, qpxMorphStateL* spec);
/** @name Morphological opening, 64-bit sizes
 * @{ */
/** Morphological opening: `T = erode(src)` with the first-stage mask, then `dst = dilate(T)` with
 * the second-stage mask.
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode_L() with mode 1 uses the mask as given.
 *
 * 64-bit sizes and steps.
 *
 * Borders: the morphology rule (see qpxiDilateBorder_8u_C1R()). Without in-memory or stage flags
 * the second stage extends the intermediate image by the border kind. With them, the first stage
 * is computed over a rectangle enlarged on each flagged side by the second stage's reach there,
 * reading those source pixels from the caller's image, and the second stage reads real
 * intermediate values on those sides.
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by qpxiMorphInit_L().
 * @param buffer      Work buffer of qpxiMorphGetBufferSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize, qpxStatusSizeTooLarge (a size
 *         or step above 2^31 - 1), qpxStatusBadStep, qpxStatusStepNotMultiple, qpxStatusBadBorder,
 *         qpxStatusSizeTooLarge (a width or height of 2^31 - 1), qpxStatusBadSize (a ROI larger
 *         than the one given to qpxiMorphInit_L()). */
QPX_API qpxStatus qpxiMorphOpen_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphOpen_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
/** @} */
/** Morphological opening of a bit-packed image: `T = erode(src)` with the first-stage mask, then
 * `dst = dilate(T)` with the second-stage mask.
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode_L() with mode 1 uses the mask as given.
 *
 * 64-bit sizes and steps.
 *
 * Borders: the morphology rule (see qpxiDilateBorder_8u_C1R()). Without in-memory or stage flags
 * the second stage extends the intermediate image by the border kind. With them, the first stage
 * is computed over a rectangle enlarged on each flagged side by the second stage's reach there,
 * reading those source pixels from the caller's image, and the second stage reads real
 * intermediate values on those sides.
 *
 * The image holds 8 pixels a byte, lowest bit first, from the given bit offsets; destination bits
 * outside the ROI are preserved. qpxBorderMirror is rejected. The source and destination must be
 * different images.
 *
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec        Spec filled by qpxiMorphInit_L().
 * @param buffer      Work buffer of qpxiMorphGetBufferSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize (or a negative bit offset),
 *         qpxStatusSizeTooLarge (a size or step above 2^31 - 1), qpxStatusBadStep,
 *         qpxStatusBadBorder, qpxStatusSizeTooLarge (a width or height of 2^31 - 1),
 *         qpxStatusInPlaceNotSupported, qpxStatusBadSize (a ROI larger than the one given to
 *         qpxiMorphInit_L()). */
QPX_API qpxStatus qpxiMorphOpen_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
/** @name Morphological closing, 64-bit sizes
 * @{ */
/** Morphological closing: `T = dilate(src)` with the first-stage mask, then `dst = erode(T)` with
 * the second-stage mask.
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode_L() with mode 1 uses the mask as given.
 *
 * 64-bit sizes and steps.
 *
 * Borders: the morphology rule (see qpxiDilateBorder_8u_C1R()). Without in-memory or stage flags
 * the second stage extends the intermediate image by the border kind. With them, the first stage
 * is computed over a rectangle enlarged on each flagged side by the second stage's reach there,
 * reading those source pixels from the caller's image, and the second stage reads real
 * intermediate values on those sides.
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by qpxiMorphInit_L().
 * @param buffer      Work buffer of qpxiMorphGetBufferSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize, qpxStatusSizeTooLarge (a size
 *         or step above 2^31 - 1), qpxStatusBadStep, qpxStatusStepNotMultiple, qpxStatusBadBorder,
 *         qpxStatusSizeTooLarge (a width or height of 2^31 - 1), qpxStatusBadSize (a ROI larger
 *         than the one given to qpxiMorphInit_L()). */
QPX_API qpxStatus qpxiMorphClose_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphClose_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
/** @} */
/** Morphological closing of a bit-packed image: `T = dilate(src)` with the first-stage mask, then
 * `dst = erode(T)` with the second-stage mask.
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode_L() with mode 1 uses the mask as given.
 *
 * 64-bit sizes and steps.
 *
 * Borders: the morphology rule (see qpxiDilateBorder_8u_C1R()). Without in-memory or stage flags
 * the second stage extends the intermediate image by the border kind. With them, the first stage
 * is computed over a rectangle enlarged on each flagged side by the second stage's reach there,
 * reading those source pixels from the caller's image, and the second stage reads real
 * intermediate values on those sides.
 *
 * The image holds 8 pixels a byte, lowest bit first, from the given bit offsets; destination bits
 * outside the ROI are preserved. qpxBorderMirror is rejected. The source and destination must be
 * different images.
 *
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec        Spec filled by qpxiMorphInit_L().
 * @param buffer      Work buffer of qpxiMorphGetBufferSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize (or a negative bit offset),
 *         qpxStatusSizeTooLarge (a size or step above 2^31 - 1), qpxStatusBadStep,
 *         qpxStatusBadBorder, qpxStatusSizeTooLarge (a width or height of 2^31 - 1),
 *         qpxStatusInPlaceNotSupported, qpxStatusBadSize (a ROI larger than the one given to
 *         qpxiMorphInit_L()). */
QPX_API qpxStatus qpxiMorphClose_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
/** @name Top-hat, 64-bit sizes
 * @{ */
/** Top-hat: `dst = src - open(src)`, the opening as in qpxiMorphOpenBorder_8u_C1R().
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode_L() with mode 1 uses the mask as given.
 *
 * Differences: 8u and 16u saturate at 0, 16s uses saturating 16-bit subtraction, 32f plain
 * subtraction, 1u `a AND NOT b`. With the clamp flag set (qpxiMorphSetMode_L() mode 4 or 5),
 * negative 16s and 32f results are replaced by 0.
 *
 * 64-bit sizes and steps.
 *
 * Borders: the morphology rule (see qpxiDilateBorder_8u_C1R()). Without in-memory or stage flags
 * the second stage extends the intermediate image by the border kind. With them, the first stage
 * is computed over a rectangle enlarged on each flagged side by the second stage's reach there,
 * reading those source pixels from the caller's image, and the second stage reads real
 * intermediate values on those sides.
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by qpxiMorphInit_L().
 * @param buffer      Work buffer of qpxiMorphGetBufferSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize, qpxStatusSizeTooLarge (a size
 *         or step above 2^31 - 1), qpxStatusBadStep, qpxStatusStepNotMultiple, qpxStatusBadBorder,
 *         qpxStatusSizeTooLarge (a width or height of 2^31 - 1), qpxStatusBadSize (a ROI larger
 *         than the one given to qpxiMorphInit_L()). */
QPX_API qpxStatus qpxiMorphTophat_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphTophat_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
/** @} */
/** Top-hat of a bit-packed image: `dst = src - open(src)`, the opening as in
 * qpxiMorphOpenBorder_8u_C1R().
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode_L() with mode 1 uses the mask as given.
 *
 * Differences: 8u and 16u saturate at 0, 16s uses saturating 16-bit subtraction, 32f plain
 * subtraction, 1u `a AND NOT b`. With the clamp flag set (qpxiMorphSetMode_L() mode 4 or 5),
 * negative 16s and 32f results are replaced by 0.
 *
 * 64-bit sizes and steps.
 *
 * Borders: the morphology rule (see qpxiDilateBorder_8u_C1R()). Without in-memory or stage flags
 * the second stage extends the intermediate image by the border kind. With them, the first stage
 * is computed over a rectangle enlarged on each flagged side by the second stage's reach there,
 * reading those source pixels from the caller's image, and the second stage reads real
 * intermediate values on those sides.
 *
 * The image holds 8 pixels a byte, lowest bit first, from the given bit offsets; destination bits
 * outside the ROI are preserved. qpxBorderMirror is rejected. The source and destination must be
 * different images.
 *
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec        Spec filled by qpxiMorphInit_L().
 * @param buffer      Work buffer of qpxiMorphGetBufferSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize (or a negative bit offset),
 *         qpxStatusSizeTooLarge (a size or step above 2^31 - 1), qpxStatusBadStep,
 *         qpxStatusBadBorder, qpxStatusSizeTooLarge (a width or height of 2^31 - 1),
 *         qpxStatusInPlaceNotSupported, qpxStatusBadSize (a ROI larger than the one given to
 *         qpxiMorphInit_L()). */
QPX_API qpxStatus qpxiMorphTophat_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
/** @name Black-hat, 64-bit sizes
 * @{ */
/** Black-hat: `dst = close(src) - src`, the closing as in qpxiMorphCloseBorder_8u_C1R().
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode_L() with mode 1 uses the mask as given.
 *
 * Differences: 8u and 16u saturate at 0, 16s uses saturating 16-bit subtraction, 32f plain
 * subtraction, 1u `a AND NOT b`. With the clamp flag set (qpxiMorphSetMode_L() mode 4 or 5),
 * negative 16s and 32f results are replaced by 0.
 *
 * 64-bit sizes and steps.
 *
 * Borders: the morphology rule (see qpxiDilateBorder_8u_C1R()). Without in-memory or stage flags
 * the second stage extends the intermediate image by the border kind. With them, the first stage
 * is computed over a rectangle enlarged on each flagged side by the second stage's reach there,
 * reading those source pixels from the caller's image, and the second stage reads real
 * intermediate values on those sides.
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by qpxiMorphInit_L().
 * @param buffer      Work buffer of qpxiMorphGetBufferSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize, qpxStatusSizeTooLarge (a size
 *         or step above 2^31 - 1), qpxStatusBadStep, qpxStatusStepNotMultiple, qpxStatusBadBorder,
 *         qpxStatusSizeTooLarge (a width or height of 2^31 - 1), qpxStatusBadSize (a ROI larger
 *         than the one given to qpxiMorphInit_L()). */
QPX_API qpxStatus qpxiMorphBlackhat_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphBlackhat_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
/** @} */
/** Black-hat of a bit-packed image: `dst = close(src) - src`, the closing as in
 * qpxiMorphCloseBorder_8u_C1R().
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode_L() with mode 1 uses the mask as given.
 *
 * Differences: 8u and 16u saturate at 0, 16s uses saturating 16-bit subtraction, 32f plain
 * subtraction, 1u `a AND NOT b`. With the clamp flag set (qpxiMorphSetMode_L() mode 4 or 5),
 * negative 16s and 32f results are replaced by 0.
 *
 * 64-bit sizes and steps.
 *
 * Borders: the morphology rule (see qpxiDilateBorder_8u_C1R()). Without in-memory or stage flags
 * the second stage extends the intermediate image by the border kind. With them, the first stage
 * is computed over a rectangle enlarged on each flagged side by the second stage's reach there,
 * reading those source pixels from the caller's image, and the second stage reads real
 * intermediate values on those sides.
 *
 * The image holds 8 pixels a byte, lowest bit first, from the given bit offsets; destination bits
 * outside the ROI are preserved. qpxBorderMirror is rejected. The source and destination must be
 * different images.
 *
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec        Spec filled by qpxiMorphInit_L().
 * @param buffer      Work buffer of qpxiMorphGetBufferSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize (or a negative bit offset),
 *         qpxStatusSizeTooLarge (a size or step above 2^31 - 1), qpxStatusBadStep,
 *         qpxStatusBadBorder, qpxStatusSizeTooLarge (a width or height of 2^31 - 1),
 *         qpxStatusInPlaceNotSupported, qpxStatusBadSize (a ROI larger than the one given to
 *         qpxiMorphInit_L()). */
QPX_API qpxStatus qpxiMorphBlackhat_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
/** @name Morphological gradient, 64-bit sizes
 * @{ */
/** Morphological gradient: `dst = dilate(src) - erode(src)`, both with the first-stage (caller's)
 * mask.
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode_L() with mode 1 uses the mask as given.
 *
 * Differences: 8u and 16u saturate at 0, 16s uses saturating 16-bit subtraction, 32f plain
 * subtraction, 1u `a AND NOT b`.
 *
 * 64-bit sizes and steps.
 *
 * Borders: the morphology rule (see qpxiDilateBorder_8u_C1R()). Without in-memory or stage flags
 * the second stage extends the intermediate image by the border kind. With them, the first stage
 * is computed over a rectangle enlarged on each flagged side by the second stage's reach there,
 * reading those source pixels from the caller's image, and the second stage reads real
 * intermediate values on those sides.
 *
 * In place: dst may be the source image (same pointer and step). Types 8u (C1, C3, C4), 16u, 16s,
 * 32f (C1, C3, C4).
 *
 * @param src         Source image (pointer to the first ROI pixel).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image; may be `src` with the same step.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height, no larger than the ROI of the size query.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst: a value for C1, a pointer to one
 *                    value per channel for C3 and C4.
 * @param spec        Spec filled by qpxiMorphInit_L().
 * @param buffer      Work buffer of qpxiMorphGetBufferSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize, qpxStatusSizeTooLarge (a size
 *         or step above 2^31 - 1), qpxStatusBadStep, qpxStatusStepNotMultiple, qpxStatusBadBorder,
 *         qpxStatusSizeTooLarge (a width or height of 2^31 - 1), qpxStatusBadSize (a ROI larger
 *         than the one given to qpxiMorphInit_L()). */
QPX_API qpxStatus qpxiMorphGradient_8u_C1R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_8u_C3R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_8u_C4R_L(const uint8_t* src, int64_t srcStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const uint8_t* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_16u_C1R_L(const uint16_t* src, int64_t srcStep, uint16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, uint16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_16s_C1R_L(const int16_t* src, int64_t srcStep, int16_t* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, int16_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_32f_C1R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, float borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_32f_C3R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
QPX_API qpxStatus qpxiMorphGradient_32f_C4R_L(const float* src, int64_t srcStep, float* dst, int64_t dstStep, qpxSizeL roiSize, qpxBorderType borderType, const float* borderValue, const qpxMorphStateL* spec, uint8_t* buffer);
/** @} */
/** Morphological gradient of a bit-packed image: `dst = dilate(src) - erode(src)`, both with the
 * first-stage (caller's) mask.
 *
 * By default the second-stage mask is the caller's mask rotated by 180 degrees, which makes
 * opening and closing the usual ones; qpxiMorphSetMode_L() with mode 1 uses the mask as given.
 *
 * Differences: 8u and 16u saturate at 0, 16s uses saturating 16-bit subtraction, 32f plain
 * subtraction, 1u `a AND NOT b`.
 *
 * 64-bit sizes and steps.
 *
 * Borders: the morphology rule (see qpxiDilateBorder_8u_C1R()). Without in-memory or stage flags
 * the second stage extends the intermediate image by the border kind. With them, the first stage
 * is computed over a rectangle enlarged on each flagged side by the second stage's reach there,
 * reading those source pixels from the caller's image, and the second stage reads real
 * intermediate values on those sides.
 *
 * The image holds 8 pixels a byte, lowest bit first, from the given bit offsets; destination bits
 * outside the ROI are preserved. qpxBorderMirror is rejected. The source and destination must be
 * different images.
 *
 * @param src          Source image (pointer to the byte of the first ROI row's first pixel).
 * @param srcStep      Row step of `src` in bytes, at least `(width + 7) >> 3`.
 * @param srcBitOffset Bit of the first ROI pixel, counted from bit 0 of `src`; at least 0.
 * @param dst          Destination image.
 * @param dstStep      Row step of `dst` in bytes.
 * @param dstBitOffset Bit of the first ROI pixel, counted from bit 0 of `dst`; at least 0.
 * @param roiSize      ROI width and height in pixels, no larger than the ROI of the size query.
 * @param borderType   Border code (morphology rule, without qpxBorderMirror).
 * @param borderValue  Value outside the ROI under qpxBorderConst: 0 or 1.
 * @param spec        Spec filled by qpxiMorphInit_L().
 * @param buffer      Work buffer of qpxiMorphGetBufferSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec, buffer; then
 *         qpxBorderConst with a null borderValue), qpxStatusBadSize (or a negative bit offset),
 *         qpxStatusSizeTooLarge (a size or step above 2^31 - 1), qpxStatusBadStep,
 *         qpxStatusBadBorder, qpxStatusSizeTooLarge (a width or height of 2^31 - 1),
 *         qpxStatusInPlaceNotSupported, qpxStatusBadSize (a ROI larger than the one given to
 *         qpxiMorphInit_L()). */
QPX_API qpxStatus qpxiMorphGradient_1u_C1R_L(const uint8_t* src, int64_t srcStep, int srcBitOffset, uint8_t* dst, int64_t dstStep, int dstBitOffset, qpxSizeL roiSize, qpxBorderType borderType, uint8_t borderValue, const qpxMorphStateL* spec, uint8_t* buffer);

/** @name Grey-scale erosion and dilation: spec size
 * @{ */
/** Size of the spec of grey-scale (non-flat) erosion and dilation.
 *
 * `specSize = 4 * maskW * maskH + 32` bytes.
 *
 * @param roiSize  Largest ROI of the calls to come.
 * @param values   The structuring values (int32 for 8u, float for 32f); tested for null only.
 * @param maskSize Width and height of the structuring element.
 * @param specSize Receives the size in bytes.
 * @return qpxStatusOk, qpxStatusNullPointer (values, specSize) or qpxStatusBadSize. */
QPX_API qpxStatus qpxiMorphGrayGetSize_8u_C1R(qpxSize roiSize, const int32_t* values, qpxSize maskSize, int* specSize);
QPX_API qpxStatus qpxiMorphGrayGetSize_32f_C1R(qpxSize roiSize, const float* values, qpxSize maskSize, int* specSize);
/** @} */
/** @name Grey-scale erosion and dilation: initialisation
 * @{ */
/** Fills the spec of grey-scale erosion and dilation with a copy of the structuring values.
 *
 * The spec points to its own copy and must not be moved after this call. The ROI given here is the
 * largest that the operations accept.
 *
 * @param spec     Spec of the qpxiMorphGrayGetSize_* size.
 * @param roiSize  Largest ROI of the calls to come.
 * @param values   maskW x maskH structuring values, row after row (int32 for 8u, float for 32f).
 * @param maskSize Width and height of the structuring element.
 * @param anchor   Element that sits on the output pixel: 0 .. maskW - 1, 0 .. maskH - 1.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (values, spec), qpxStatusBadSize,
 *         qpxStatusBadAnchor. */
QPX_API qpxStatus qpxiMorphGrayInit_8u_C1R(qpxMorphGrayState* spec, qpxSize roiSize, const int32_t* values, qpxSize maskSize, qpxPoint anchor);
QPX_API qpxStatus qpxiMorphGrayInit_32f_C1R(qpxMorphGrayState* spec, qpxSize roiSize, const float* values, qpxSize maskSize, qpxPoint anchor);
/** @} */
/** @name Grey-scale erosion and dilation
 * @{ */
/** Grey-scale erosion and dilation with a non-flat structuring element.
 *
 * Over the positions (i, j) of the element whose source pixel
 * `(x + i - anchor.x, y + j - anchor.y)` lies inside the ROI (positions outside are left out; this
 * is the only border rule):
 *
 * - dilation: `dst(x, y) = max(src(x + i - anchor.x, y + j - anchor.y) + value(i, j))`;
 * - erosion: `dst(x, y) = min(src(x + i - anchor.x, y + j - anchor.y) + value(i, j))`: the value
 *   is added, as in dilation, and paired with the same source pixel.
 *
 * 8u computes in 32-bit integers: dilation starts from 0 and erosion from 255, and the result is
 * clamped to 0 .. 255. 32f computes in single precision without clamping, starting from
 * -3.4028235e38 and 3.4028235e38.
 *
 * In place (same pointer and step) works when `min(anchor.y, maskH - 1 - anchor.y) + 1` rows of
 * the image fit in 32 KiB; wider images give qpxStatusInPlaceNotSupported, since no work buffer is
 * passed.
 *
 * @param src        Source image (pointer to the first ROI pixel).
 * @param srcStep    Row step of `src` in bytes.
 * @param dst        Destination image.
 * @param dstStep    Row step of `dst` in bytes.
 * @param roiSize    ROI width and height, no larger than the ROI given to the Init.
 * @param borderType Must be qpxBorderRepl.
 * @param spec       Spec filled by the matching qpxiMorphGrayInit_*.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, spec), qpxStatusBadSize,
 *         qpxStatusBadStep, qpxStatusStepNotMultiple (32f steps), qpxStatusBadArgument
 *         (borderType), qpxStatusBadSize (a ROI larger than the spec's),
 *         qpxStatusInPlaceNotSupported. */
QPX_API qpxStatus qpxiGrayErodeBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const qpxMorphGrayState* spec);
QPX_API qpxStatus qpxiGrayDilateBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const qpxMorphGrayState* spec);
QPX_API qpxStatus qpxiGrayErodeBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const qpxMorphGrayState* spec);
QPX_API qpxStatus qpxiGrayDilateBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxBorderType borderType, const qpxMorphGrayState* spec);
/** @} */

/* @@ADV_MORPHOLOGY@@ */

/* ---------------------------------------------------------------------------------------------
 * Morphological reconstruction (in place: srcDst is the marker, src the mask image).
 * norm: qpxNormInf for 8-connectivity, qpxNormL1 for 4-connectivity.
 * ------------------------------------------------------------------------------------------- */
/** Size of the work buffer of morphological reconstruction.
 *
 * With w and h the ROI width and height: qpx8u `4w + h + 161`, qpx16u `2 (4w + h) + 322`, qpx32f
 * `16w + h + 164`, qpx64f `32w + h + 168` bytes.
 *
 * @param roiSize     ROI size of the calls to come.
 * @param dataType    qpx8u, qpx16u, qpx32f or qpx64f.
 * @param numChannels 1.
 * @param bufferSize  Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusBadDataType, qpxStatusBadChannelCount. */
QPX_API qpxStatus qpxiMorphReconstructGetBufferSize(qpxSize roiSize, qpxDataType dataType, int numChannels, int* bufferSize);
/** @name Reconstruction by dilation
 * @{ */
/** Morphological reconstruction by dilation, in place.
 *
 * Replaces the marker J by the largest image not above the mask I that repeated unit dilations of
 * J, each clamped to I, can reach.
 *
 * The result is the fixpoint `J(x, y) = min(max of J over the pixel and its neighbours, I(x, y))`;
 * in particular J ends at or below I everywhere (marker values above the mask are lowered).
 * Neighbours outside the ROI are not used. Comparisons are exact; no arithmetic is done, so there
 * is no rounding. Types 8u, 16u, 32f, 64f, one channel.
 *
 * @param src        Mask image I (read only).
 * @param srcStep    Row step of `src` in bytes.
 * @param srcDst     Marker image J, replaced by the result.
 * @param srcDstStep Row step of `srcDst` in bytes.
 * @param roiSize    ROI width and height in pixels.
 * @param buffer     Work buffer of the qpxiMorphReconstructGetBufferSize() size for this type.
 * @param norm       qpxNormInf for 8-connectivity, qpxNormL1 for 4-connectivity.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, srcDst, buffer),
 *         qpxStatusBadSize, qpxStatusBadStep, qpxStatusStepNotMultiple (16u, 32f, 64f),
 *         qpxStatusBadArgument (norm above 1). */
QPX_API qpxStatus qpxiMorphReconstructDilate_8u_C1IR(const uint8_t* src, int srcStep, uint8_t* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructDilate_16u_C1IR(const uint16_t* src, int srcStep, uint16_t* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructDilate_32f_C1IR(const float* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructDilate_64f_C1IR(const double* src, int srcStep, double* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
/** @} */
/** @name Reconstruction by erosion
 * @{ */
/** Morphological reconstruction by erosion, in place: the dual of reconstruction by dilation.
 *
 * The result is the fixpoint `J(x, y) = max(min of J over the pixel and its neighbours, I(x, y))`,
 * so J ends at or above I everywhere. Neighbours outside the ROI are not used. Comparisons are
 * exact; no rounding. Types 8u, 16u, 32f, 64f, one channel.
 *
 * @param src        Mask image I (read only).
 * @param srcStep    Row step of `src` in bytes.
 * @param srcDst     Marker image J, replaced by the result.
 * @param srcDstStep Row step of `srcDst` in bytes.
 * @param roiSize    ROI width and height in pixels.
 * @param buffer     Work buffer of the qpxiMorphReconstructGetBufferSize() size for this type.
 * @param norm       qpxNormInf for 8-connectivity, qpxNormL1 for 4-connectivity.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, srcDst, buffer),
 *         qpxStatusBadSize, qpxStatusBadStep, qpxStatusStepNotMultiple (16u, 32f, 64f),
 *         qpxStatusBadArgument (norm above 1). */
QPX_API qpxStatus qpxiMorphReconstructErode_8u_C1IR(const uint8_t* src, int srcStep, uint8_t* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructErode_16u_C1IR(const uint16_t* src, int srcStep, uint16_t* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructErode_32f_C1IR(const float* src, int srcStep, float* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
QPX_API qpxStatus qpxiMorphReconstructErode_64f_C1IR(const double* src, int srcStep, double* srcDst, int srcDstStep, qpxSize roiSize, uint8_t* buffer, qpxNormType norm);
/** @} */

/* @@RECONSTRUCTION@@ */

/* ---------------------------------------------------------------------------------------------
 * Canny edge detector: 255 marks an edge pixel, 0 any other. The buffer holds the candidate map,
 * magnitude rows and the edge-following stack; its size comes from the matching query.
 * ------------------------------------------------------------------------------------------- */
/** Size of the work buffer of qpxiCanny_16s8u_C1R() and qpxiCanny_32f8u_C1R().
 *
 * `bufferSize = 16 * (w + 6) + k * (w + 2) * (h + 2) + 64` bytes, with k = 5 when the width w and
 * the height h are both at most 65532 and k = 9 otherwise.
 *
 * @param roiSize    ROI size of the calls to come.
 * @param bufferSize Receives the size in bytes.
 * @return qpxStatusOk, qpxStatusNullPointer or qpxStatusBadSize. */
QPX_API qpxStatus qpxiCannyGetSize(qpxSize roiSize, int* bufferSize);
/** Size of the work buffer of the 64-bit Canny functions; the formula of qpxiCannyGetSize().
 *
 * @param roiSize    ROI size of the calls to come.
 * @param bufferSize Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusSizeTooLarge (a dimension
 *         above 2^31 - 1), qpxStatusBadSize. */
QPX_API qpxStatus qpxiCannyGetSize_L(qpxSizeL roiSize, int64_t* bufferSize);
/** @name Canny edges from derivative images
 * @{ */
/** Canny edge detection from precomputed derivative images (16s or 32f), with the L1 magnitude
 * `|dx| + |dy|`.
 *
 * Every destination pixel is written: 255 on an edge, 0 elsewhere. Steps: the gradient magnitude
 * with a low-threshold cut (a magnitude that fails the test counts as 0); non-maximum suppression
 * across one of four gradient directions, from `ax = |dx|` and `ay = |dy|`: horizontal when
 * `ay < ax * 0.41421357`, vertical when `ax * 2.4142137 < ay`, otherwise diagonal (along the main
 * diagonal when dx and dy have the same sign); a pixel survives when its magnitude is above its
 * first neighbour's and at least its second one's (left and top strict, right and bottom not), or
 * above both diagonal neighbours; survivors above the high threshold are seeds; finally hysteresis
 * marks every survivor 8-connected through survivors to a seed. Magnitudes outside the ROI count
 * as 0. dx is positive where intensity grows to the right, dy where it grows downward.
 *
 * Thresholds: the 32f form keeps magnitudes of at least lowThreshold (single precision); the 16s
 * form computes the magnitude in 16-bit unsigned arithmetic saturated at 65535 and keeps those
 * above `trunc(lowThreshold)`. Seeds have a magnitude above highThreshold (16s: above
 * `trunc(highThreshold)`); a magnitude equal to it is a candidate but not a seed.
 *
 * @param srcDx         Horizontal derivative image.
 * @param srcDxStep     Row step of `srcDx` in bytes.
 * @param srcDy         Vertical derivative image.
 * @param srcDyStep     Row step of `srcDy` in bytes.
 * @param dst           Edge map (8u).
 * @param dstStep       Row step of `dst` in bytes.
 * @param roiSize       ROI width and height in pixels.
 * @param lowThreshold  Low threshold, at least 0.
 * @param highThreshold High threshold, at least lowThreshold.
 * @param buffer        Work buffer of qpxiCannyGetSize() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (srcDx, srcDy, dst, buffer),
 *         qpxStatusBadSize, qpxStatusBadStep (a derivative step below width x element size, or
 *         dstStep below the width), qpxStatusStepNotMultiple (derivative steps),
 *         qpxStatusBadArgument (lowThreshold negative, highThreshold below it, or either NaN). */
QPX_API qpxStatus qpxiCanny_16s8u_C1R(const int16_t* srcDx, int srcDxStep, const int16_t* srcDy, int srcDyStep, uint8_t* dst, int dstStep, qpxSize roiSize, float lowThreshold, float highThreshold, uint8_t* buffer);
QPX_API qpxStatus qpxiCanny_32f8u_C1R(const float* srcDx, int srcDxStep, const float* srcDy, int srcDyStep, uint8_t* dst, int dstStep, qpxSize roiSize, float lowThreshold, float highThreshold, uint8_t* buffer);
/** @} */
/** @name Canny edges from derivative images, 64-bit sizes
 * @{ */
/** Canny edge detection from precomputed derivative images, with 64-bit sizes and steps and a
 * choice of norm.
 *
 * Every destination pixel is written: 255 on an edge, 0 elsewhere. Steps: the gradient magnitude
 * with a low-threshold cut (a magnitude that fails the test counts as 0); non-maximum suppression
 * across one of four gradient directions, from `ax = |dx|` and `ay = |dy|`: horizontal when
 * `ay < ax * 0.41421357`, vertical when `ax * 2.4142137 < ay`, otherwise diagonal (along the main
 * diagonal when dx and dy have the same sign); a pixel survives when its magnitude is above its
 * first neighbour's and at least its second one's (left and top strict, right and bottom not), or
 * above both diagonal neighbours; survivors above the high threshold are seeds; finally hysteresis
 * marks every survivor 8-connected through survivors to a seed. Magnitudes outside the ROI count
 * as 0. dx is positive where intensity grows to the right, dy where it grows downward.
 *
 * Magnitudes above lowThreshold are kept and those above highThreshold are seeds (strict tests, in
 * single precision for 32f; against the truncated thresholds for 16s, whose L1 magnitude saturates
 * at 65535). With qpxEdgeNormL2 the squared magnitude `dx^2 + dy^2` (32-bit integers for 16s) is
 * compared with the squared thresholds (for 16s `trunc(threshold^2)`).
 *
 * @param srcDx         Horizontal derivative image.
 * @param srcDxStep     Row step of `srcDx` in bytes.
 * @param srcDy         Vertical derivative image.
 * @param srcDyStep     Row step of `srcDy` in bytes.
 * @param dst           Edge map (8u).
 * @param dstStep       Row step of `dst` in bytes.
 * @param roiSize       ROI width and height in pixels.
 * @param lowThreshold  Low threshold, at least 0.
 * @param highThreshold High threshold, at least lowThreshold.
 * @param norm          qpxEdgeNormL1 or qpxEdgeNormL2.
 * @param buffer        Work buffer of qpxiCannyGetSize_L() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusSizeTooLarge (a size or
 *         step above 2^31 - 1), qpxStatusBadSize, qpxStatusBadStep, qpxStatusStepNotMultiple,
 *         qpxStatusBadArgument (thresholds; for 16s with L2 tested on their squares),
 *         qpxStatusBadNorm. */
QPX_API qpxStatus qpxiCanny_16s8u_C1R_L(const int16_t* srcDx, int64_t srcDxStep, const int16_t* srcDy, int64_t srcDyStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, float lowThreshold, float highThreshold, qpxEdgeNorm norm, uint8_t* buffer);
QPX_API qpxStatus qpxiCanny_32f8u_C1R_L(const float* srcDx, int64_t srcDxStep, const float* srcDy, int64_t srcDyStep, uint8_t* dst, int64_t dstStep, qpxSizeL roiSize, float lowThreshold, float highThreshold, qpxEdgeNorm norm, uint8_t* buffer);
/** @} */
/** Size of the work buffer of qpxiCannyBorder_8u_C1R().
 *
 * With k = 3 or 5 (the mask), `W = w + k - 1`, `A = (h + k - 1) * W` and R rounding up to a
 * multiple of 32: `bufferSize = R(16 W) + R(A) + R(4 A) + 64`, plus R(A) when the smaller of the
 * width w and the height h is below k. filterType and dataType are not examined.
 *
 * @param roiSize    ROI size of the calls to come.
 * @param filterType Derivative kernel (not examined).
 * @param mask       qpxMskSize3x3 or qpxMskSize5x5.
 * @param dataType   Source type (not examined).
 * @param bufferSize Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusBadMaskSize. */
QPX_API qpxStatus qpxiCannyBorderGetSize(qpxSize roiSize, qpxDifferentialKernel filterType, qpxMaskSize mask, qpxDataType dataType, int* bufferSize);
/** Canny edge detection on an 8u image, derivatives included.
 *
 * dx and dy are the unnormalised 16-bit responses of a 3x3 or 5x5 Sobel kernel (smoothing 1, 2, 1
 * or 1, 4, 6, 4, 1) or a 3x3 Scharr kernel (3, 10, 3), dx right minus left and dy bottom minus
 * top. The magnitude is computed in single precision (L1, or the square root of `dx^2 + dy^2`; the
 * root may differ from the correctly rounded one in the last bits); magnitudes above lowThreshold
 * are kept and those above highThreshold are seeds.
 *
 * Every destination pixel is written: 255 on an edge, 0 elsewhere. Steps: the gradient magnitude
 * with a low-threshold cut (a magnitude that fails the test counts as 0); non-maximum suppression
 * across one of four gradient directions, from `ax = |dx|` and `ay = |dy|`: horizontal when
 * `ay < ax * 0.41421357`, vertical when `ax * 2.4142137 < ay`, otherwise diagonal (along the main
 * diagonal when dx and dy have the same sign); a pixel survives when its magnitude is above its
 * first neighbour's and at least its second one's (left and top strict, right and bottom not), or
 * above both diagonal neighbours; survivors above the high threshold are seeds; finally hysteresis
 * marks every survivor 8-connected through survivors to a seed. Magnitudes outside the ROI count
 * as 0. dx is positive where intensity grows to the right, dy where it grows downward.
 *
 * borderType: qpxBorderRepl or qpxBorderConst, with any in-memory flags, or qpxBorderInMem alone
 * (qpxBorderMirror is rejected); under an in-memory flag one (3x3) or two (5x5) pixels beyond the
 * ROI are read on that side.
 *
 * @param src           Source image (8u).
 * @param srcStep       Row step of `src` in bytes.
 * @param dst           Edge map (8u); must not overlap `src`.
 * @param dstStep       Row step of `dst` in bytes.
 * @param roiSize       ROI width and height in pixels.
 * @param filterType    qpxFilterSobel or qpxFilterScharr (3x3 only).
 * @param mask          qpxMskSize3x3 or qpxMskSize5x5.
 * @param borderType    Border code, see above.
 * @param borderValue   Value outside the ROI under qpxBorderConst.
 * @param norm          qpxEdgeNormL1 or qpxEdgeNormL2.
 * @param lowThreshold  Low threshold, at least 0.
 * @param highThreshold High threshold, at least lowThreshold.
 * @param buffer        Work buffer of qpxiCannyBorderGetSize() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusBadMaskSize (mask not 3x3 or 5x5, or 5x5 with
 *         Scharr; tested before the pointers), qpxStatusNullPointer (src, dst, buffer),
 *         qpxStatusBadSize, qpxStatusBadStep (a step below the width), qpxStatusBadArgument
 *         (filterType), qpxStatusBadArgument (norm or thresholds), qpxStatusBadBorder. */
QPX_API qpxStatus qpxiCannyBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxDifferentialKernel filterType, qpxMaskSize mask, qpxBorderType borderType, uint8_t borderValue, qpxEdgeNorm norm, float lowThreshold, float highThreshold, uint8_t* buffer);

/* @@CANNY@@ */

/* ---------------------------------------------------------------------------------------------
 * Corner measures and peak finding
 * ------------------------------------------------------------------------------------------- */
/** @name Minimum eigenvalue, with border
 * @{ */
/** Smaller eigenvalue of the averaged structure tensor at each pixel.
 *
 * `dst = (s / 2) * (a + c - sqrt((a - c)^2 + 4 * b^2))` (single precision).
 *
 * dx and dy come from the kernType filter with the aperture (Sobel: dx left minus right; negated
 * Sobel and Scharr: right minus left; dy bottom minus top), exact 16-bit integers for 8u sources
 * and single precision for 32f. The tensor planes `a = dx^2`, `b = dx * dy`, `c = dy^2` are
 * box-averaged over avgWindow x avgWindow with the same border kind, and scaled by
 * `s = 1 / (255 * 2^(2 * apertureSize - 2))` (1/4080 for aperture 3, 1/65280 for 5; times 0.6125
 * for Scharr), for 8u and 32f sources alike. borderType: qpxBorderRepl, qpxBorderMirror,
 * qpxBorderConst or qpxBorderDefault (treated as qpxBorderMirror), with any flags; any other kind
 * only with all four in-memory flags (then mirrored); codes above 4095 are rejected.
 * @param src         Source image (8u or 32f).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image (32f); must not overlap `src`.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param kernType    qpxKernelSobel, qpxKernelScharr or qpxKernelSobelNeg.
 * @param apertureSize Derivative kernel size: 3 or 5 (Scharr: 3).
 * @param avgWindow   Side of the averaging window: 3 or 5.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst (converted to float).
 * @param buffer      Work buffer of the matching qpxiMinEigenValGetBufferSize_* size.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, buffer),
 *         qpxStatusBadSize, qpxStatusBadStep (srcStep below width x element size, dstStep below
 *         width x 4), qpxStatusStepNotMultiple (dstStep, and a 32f srcStep, not a multiple of 4),
 *         qpxStatusBadArgument (kernType above 2, apertureSize, avgWindow), qpxStatusBadBorder. */
QPX_API qpxStatus qpxiMinEigenValBorder_8u32f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiMinEigenValBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, qpxBorderType borderType, float borderValue, uint8_t* buffer);
/** @} */
/** @name Minimum eigenvalue
 * @{ */
/** Smaller eigenvalue of the averaged structure tensor at each pixel.
 *
 * `dst = (s / 2) * (a + c - sqrt((a - c)^2 + 4 * b^2))` (single precision).
 *
 * dx and dy come from the kernType filter with the aperture (Sobel: dx left minus right; negated
 * Sobel and Scharr: right minus left; dy bottom minus top), exact 16-bit integers for 8u sources
 * and single precision for 32f. The tensor planes `a = dx^2`, `b = dx * dy`, `c = dy^2` are
 * box-averaged over avgWindow x avgWindow with the same border kind, and scaled by
 * `s = 1 / (255 * 2^(2 * apertureSize - 2))` (1/4080 for aperture 3, 1/65280 for 5; times 0.6125
 * for Scharr), for 8u and 32f sources alike.
 *
 * These forms behave as qpxiMinEigenValBorder_8u32f_C1R() and its twin with qpxBorderRepl.
 *
 * @param src         Source image (8u or 32f).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image (32f); must not overlap `src`.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param kernType    qpxKernelSobel, qpxKernelScharr or qpxKernelSobelNeg.
 * @param apertureSize Derivative kernel size: 3 or 5 (Scharr: 3).
 * @param avgWindow   Side of the averaging window: 3 or 5.
 * @param buffer      Work buffer of the matching qpxiMinEigenValGetBufferSize_* size.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, buffer),
 *         qpxStatusBadSize, qpxStatusBadStep (srcStep below width x element size, dstStep below
 *         width x 4), qpxStatusStepNotMultiple (dstStep, and a 32f srcStep, not a multiple of 4),
 *         qpxStatusBadArgument (kernType above 2, apertureSize, avgWindow). */
QPX_API qpxStatus qpxiMinEigenVal_8u32f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, uint8_t* buffer);
QPX_API qpxStatus qpxiMinEigenVal_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, uint8_t* buffer);
/** @} */
/** @name Minimum eigenvalue: buffer size
 * @{ */
/** Size of the work buffer of the minimum-eigenvalue functions of the same source type.
 *
 * With W16 the ROI width rounded up to a multiple of 16: `16 * height * W16 + 224` bytes for 8u,
 * `20 * height * W16 + 224` for 32f, plus the largest work size of the derivative filters for the
 * aperture.
 *
 * @param roiSize      ROI size of the calls to come.
 * @param apertureSize 3 or 5.
 * @param avgWindow    3 or 5.
 * @param bufferSize   Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusBadArgument (apertureSize, then avgWindow). */
QPX_API qpxStatus qpxiMinEigenValGetBufferSize_8u32f_C1R(qpxSize roiSize, int apertureSize, int avgWindow, int* bufferSize);
QPX_API qpxStatus qpxiMinEigenValGetBufferSize_32f_C1R(qpxSize roiSize, int apertureSize, int avgWindow, int* bufferSize);
/** @} */
/** @name Eigenvalues and eigenvectors, with border
 * @{ */
/** Both eigenvalues and unit eigenvectors of the averaged structure tensor at each pixel.
 *
 * Six floats per pixel, `l1, l2, x1, y1, x2, y2`, so a destination row holds 6 x width floats.
 *
 * With `A = s * a`, `B = s * b`, `C = s * c`: `r = sqrt((A - C)^2 + 4 * B^2)`,
 * `l1 = (A + C + r) / 2`, `l2 = (A + C - r) / 2`, `eps = 0.001 * max(A, C)`. If
 * `A * C - B^2 < eps` or `min(A, C) < eps` all six outputs are 0. Otherwise, if `|B| < eps` the
 * vectors are (0, 1) and (1, 0); else with `Bg = -B` (Sobel kernels) or `Bg = B` (Scharr),
 * `(x_k, y_k) = (Bg, l_k - A) / len_k` where
 * `len_k = max(sqrt(Bg^2 + (l_k - A)^2), 1.1920929e-7)`.
 *
 * dx and dy come from the kernType filter with the aperture (Sobel: dx left minus right; negated
 * Sobel and Scharr: right minus left; dy bottom minus top), exact 16-bit integers for 8u sources
 * and single precision for 32f. The tensor planes `a = dx^2`, `b = dx * dy`, `c = dy^2` are
 * box-averaged over avgWindow x avgWindow with the same border kind, and scaled by
 * `s = 1 / (255 * 2^(2 * apertureSize - 2))` (1/4080 for aperture 3, 1/65280 for 5; times 0.6125
 * for Scharr), for 8u and 32f sources alike. borderType: qpxBorderRepl, qpxBorderMirror,
 * qpxBorderConst or qpxBorderDefault (treated as qpxBorderMirror), with any flags; any other kind
 * only with all four in-memory flags (then mirrored); codes above 4095 are rejected.
 * @param src         Source image (8u or 32f).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image (32f); must not overlap `src`.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param kernType    qpxKernelSobel, qpxKernelScharr or qpxKernelSobelNeg.
 * @param apertureSize Derivative kernel size: 3 or 5 (Scharr: 3).
 * @param avgWindow   Side of the averaging window: 3 or 5.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst (converted to float).
 * @param buffer      Work buffer of the matching qpxiEigenValsVecsGetBufferSize_* size.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, buffer),
 *         qpxStatusBadSize, qpxStatusBadStep (srcStep below width x element size, dstStep below
 *         width x 24), qpxStatusStepNotMultiple (dstStep, and a 32f srcStep, not a multiple of 4),
 *         qpxStatusBadArgument (kernType above 2, apertureSize, avgWindow), qpxStatusBadBorder. */
QPX_API qpxStatus qpxiEigenValsVecsBorder_8u32f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiEigenValsVecsBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, qpxBorderType borderType, float borderValue, uint8_t* buffer);
/** @} */
/** @name Eigenvalues and eigenvectors
 * @{ */
/** Both eigenvalues and unit eigenvectors of the averaged structure tensor at each pixel.
 *
 * Six floats per pixel, `l1, l2, x1, y1, x2, y2`, so a destination row holds 6 x width floats.
 *
 * With `A = s * a`, `B = s * b`, `C = s * c`: `r = sqrt((A - C)^2 + 4 * B^2)`,
 * `l1 = (A + C + r) / 2`, `l2 = (A + C - r) / 2`, `eps = 0.001 * max(A, C)`. If
 * `A * C - B^2 < eps` or `min(A, C) < eps` all six outputs are 0. Otherwise, if `|B| < eps` the
 * vectors are (0, 1) and (1, 0); else with `Bg = -B` (Sobel kernels) or `Bg = B` (Scharr),
 * `(x_k, y_k) = (Bg, l_k - A) / len_k` where
 * `len_k = max(sqrt(Bg^2 + (l_k - A)^2), 1.1920929e-7)`.
 *
 * dx and dy come from the kernType filter with the aperture (Sobel: dx left minus right; negated
 * Sobel and Scharr: right minus left; dy bottom minus top), exact 16-bit integers for 8u sources
 * and single precision for 32f. The tensor planes `a = dx^2`, `b = dx * dy`, `c = dy^2` are
 * box-averaged over avgWindow x avgWindow with the same border kind, and scaled by
 * `s = 1 / (255 * 2^(2 * apertureSize - 2))` (1/4080 for aperture 3, 1/65280 for 5; times 0.6125
 * for Scharr), for 8u and 32f sources alike.
 *
 * These forms behave as qpxiEigenValsVecsBorder_8u32f_C1R() and its twin with qpxBorderRepl.
 *
 * @param src         Source image (8u or 32f).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image (32f); must not overlap `src`.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param kernType    qpxKernelSobel, qpxKernelScharr or qpxKernelSobelNeg.
 * @param apertureSize Derivative kernel size: 3 or 5 (Scharr: 3).
 * @param avgWindow   Side of the averaging window: 3 or 5.
 * @param buffer      Work buffer of the matching qpxiEigenValsVecsGetBufferSize_* size.
 *
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, buffer),
 *         qpxStatusBadSize, qpxStatusBadStep (srcStep below width x element size, dstStep below
 *         width x 24), qpxStatusStepNotMultiple (dstStep, and a 32f srcStep, not a multiple of 4),
 *         qpxStatusBadArgument (kernType above 2, apertureSize, avgWindow). */
QPX_API qpxStatus qpxiEigenValsVecs_8u32f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, uint8_t* buffer);
QPX_API qpxStatus qpxiEigenValsVecs_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxKernelType kernType, int apertureSize, int avgWindow, uint8_t* buffer);
/** @} */
/** @name Eigenvalues and eigenvectors: buffer size
 * @{ */
/** Size of the work buffer of the eigenvalue-and-eigenvector functions of the same source type.
 *
 * With W16 the ROI width rounded up to a multiple of 16: `16 * height * W16 + 224` bytes for 8u,
 * `20 * height * W16 + 224` for 32f, plus the largest work size of the derivative filters for the
 * aperture.
 *
 * @param roiSize      ROI size of the calls to come.
 * @param apertureSize 3 or 5.
 * @param avgWindow    3 or 5.
 * @param bufferSize   Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusBadArgument (apertureSize, then avgWindow). */
QPX_API qpxStatus qpxiEigenValsVecsGetBufferSize_8u32f_C1R(qpxSize roiSize, int apertureSize, int avgWindow, int* bufferSize);
QPX_API qpxStatus qpxiEigenValsVecsGetBufferSize_32f_C1R(qpxSize roiSize, int apertureSize, int avgWindow, int* bufferSize);
/** @} */
/** @name Harris corner response
 * @{ */
/** Harris corner response: `dst = scale * (det - k * trace^2)` of the structure tensor summed over
 * the avgWindow x avgWindow window.
 *
 * Computed as `(A * C - (k * (A + C)^2 + B^2)) * s'` from the window averages A, B, C of `dx^2`,
 * `dx * dy`, `dy^2`, with `s' = scale * avgWindow^4` formed in double precision and rounded to
 * single. dx and dy come from filterType and filterMask (Sobel 3x3 or 5x5, Scharr 3x3, or central
 * differences of the two neighbours), 16-bit integers for 8u sources and single precision for 32f.
 * Results are single precision and do not depend on how the ROI is tiled internally.
 *
 * borderType: qpxBorderRepl, qpxBorderMirror or qpxBorderConst with any in-memory flags, or
 * qpxBorderInMem alone; the averaging extends the tensor planes by the same kind (zero for
 * qpxBorderConst).
 *
 * @param src         Source image (8u or 32f).
 * @param srcStep     Row step of `src` in bytes.
 * @param dst         Destination image (32f); the 32f form refuses `dst` equal to `src`.
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param filterType  qpxFilterSobel, qpxFilterScharr or qpxFilterCentralDiff.
 * @param filterMask  qpxMskSize3x3, or qpxMskSize5x5 with qpxFilterSobel.
 * @param avgWindow   Side of the summing window, at least 1.
 * @param k           Harris constant, typically 0.04 to 0.06.
 * @param scale       Factor applied to the response.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst.
 * @param buffer      Work buffer of qpxiHarrisCornerGetBufferSize() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, dst, then buffer),
 *         qpxStatusBadSize, qpxStatusBadStep (a step shorter than its row),
 *         qpxStatusStepNotMultiple (32f steps), qpxStatusBadFilterType, qpxStatusBadMaskSize,
 *         qpxStatusBadBorder, qpxStatusBadSize (avgWindow below 1), qpxStatusInPlaceNotSupported
 *         (32f, src equal to dst). */
QPX_API qpxStatus qpxiHarrisCorner_8u32f_C1R(const uint8_t* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxDifferentialKernel filterType, qpxMaskSize filterMask, int avgWindow, float k, float scale, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
QPX_API qpxStatus qpxiHarrisCorner_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roiSize, qpxDifferentialKernel filterType, qpxMaskSize filterMask, int avgWindow, float k, float scale, qpxBorderType borderType, float borderValue, uint8_t* buffer);
/** @} */
/** Size of the work buffer of qpxiHarrisCorner_8u32f_C1R() and qpxiHarrisCorner_32f_C1R().
 *
 * The largest work size over the tiles that the ROI is processed in, each holding the tensor
 * planes and the derivatives of the tile and its margin.
 *
 * @param roiSize     ROI size of the calls to come.
 * @param filterMask  qpxMskSize3x3 or qpxMskSize5x5.
 * @param avgWindow   Window side of the calls (not 0).
 * @param dataType    Source type: qpx8u or qpx32f.
 * @param numChannels 1.
 * @param bufferSize  Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusBadMaskSize, qpxStatusBadDataType, qpxStatusBadChannelCount, qpxStatusBadSize
 *         (avgWindow 0). */
QPX_API qpxStatus qpxiHarrisCornerGetBufferSize(qpxSize roiSize, qpxMaskSize filterMask, int avgWindow, qpxDataType dataType, int numChannels, int* bufferSize);
/** Clears feature pixels that lie on edges rather than at corners.
 *
 * With A, B, C the window averages of `dx^2`, `dx * dy`, `dy^2` of the source (as for
 * qpxiHarrisCorner_8u32f_C1R()): `dst = 0` where `(A + C)^2 > threshold * (A * C - B^2)`, and
 * `dst = feature` elsewhere. So pixels whose two principal curvatures are comparable pass.
 *
 * borderType: qpxBorderRepl or qpxBorderConst with any in-memory flags, or qpxBorderInMem alone
 * (qpxBorderMirror is rejected). dst may be `src` (same pointer and step), not `feature`.
 *
 * @param src         Source image (8u) whose structure decides.
 * @param srcStep     Row step of `src` in bytes.
 * @param feature     Feature image (8u) whose pixels are kept or cleared.
 * @param featureStep Row step of `feature` in bytes.
 * @param dst         Destination image (8u).
 * @param dstStep     Row step of `dst` in bytes.
 * @param roiSize     ROI width and height in pixels.
 * @param filterType  qpxFilterSobel, qpxFilterScharr or qpxFilterCentralDiff.
 * @param filterMask  qpxMskSize3x3, or qpxMskSize5x5 with qpxFilterSobel.
 * @param avgWindow   Side of the averaging window, at least 1.
 * @param threshold   Ratio threshold.
 * @param borderType  Border code, see above.
 * @param borderValue Value outside the ROI under qpxBorderConst.
 * @param buffer      Work buffer of qpxiLineSuppressionGetBufferSize() bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, feature, dst, then buffer),
 *         qpxStatusBadSize, qpxStatusBadStep (a step shorter than the width),
 *         qpxStatusBadFilterType, qpxStatusBadMaskSize, qpxStatusBadBorder, qpxStatusBadSize
 *         (avgWindow below 1), qpxStatusInPlaceNotSupported (dst equal to feature). */
QPX_API qpxStatus qpxiLineSuppression_8u_C1R(const uint8_t* src, int srcStep, const uint8_t* feature, int featureStep, uint8_t* dst, int dstStep, qpxSize roiSize, qpxDifferentialKernel filterType, qpxMaskSize filterMask, int avgWindow, float threshold, qpxBorderType borderType, uint8_t borderValue, uint8_t* buffer);
/** Size of the work buffer of qpxiLineSuppression_8u_C1R(); the same value as
 * qpxiHarrisCornerGetBufferSize().
 *
 * @param roiSize     ROI size of the calls to come.
 * @param filterMask  qpxMskSize3x3 or qpxMskSize5x5.
 * @param avgWindow   Window side of the calls (not 0).
 * @param dataType    Source type: qpx8u or qpx32f.
 * @param numChannels 1.
 * @param bufferSize  Receives the size in bytes.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer, qpxStatusBadSize,
 *         qpxStatusBadMaskSize, qpxStatusBadDataType, qpxStatusBadChannelCount, qpxStatusBadSize
 *         (avgWindow 0). */
QPX_API qpxStatus qpxiLineSuppressionGetBufferSize(qpxSize roiSize, qpxMaskSize filterMask, int avgWindow, qpxDataType dataType, int numChannels, int* bufferSize);
/** @name Peak finding
 * @{ */
/** Lists the local extrema of an image whose magnitude exceeds a threshold.
 *
 * Scans the rows border .. height - border - 1 and the columns border .. width - border - 1, top
 * to bottom and left to right, and skips pixels with `|v| <= threshold`. A positive v is a peak
 * when it equals the maximum of its neighbourhood, a v of 0 or less when it equals the minimum
 * (32f within 1.1754944e-38, 32s exactly); every pixel of a plateau qualifies. The neighbourhood
 * is the 3x3 window (norm 0) or the cross of the pixel and its four direct neighbours (norm 1).
 * Peaks are appended in scan order; when maxPeakCount is reached the function returns qpxStatusOk
 * at once.
 *
 * @param src          Source image (32f or 32s).
 * @param srcStep      Row step of `src` in bytes.
 * @param roiSize      ROI width and height in pixels.
 * @param threshold    Magnitude threshold (float for 32f, int32 for 32s).
 * @param peak         Receives up to maxPeakCount points (x, y) in ROI coordinates.
 * @param maxPeakCount Capacity of `peak`, at least 1.
 * @param peakCount    Receives the number of peaks (set to 0 first).
 * @param norm         0 for the 3x3 window, 1 for the cross.
 * @param border       Pixels left out at each edge: 1 .. half the width and half the height.
 * @param buffer       Work buffer of the matching qpxiFindPeaks3x3GetBufferSize_* size.
 * @return qpxStatusOk, or in this order: qpxStatusNullPointer (src, peak, peakCount, buffer),
 *         qpxStatusBadSize (ROI, maxPeakCount or border), qpxStatusBadStep,
 *         qpxStatusStepNotMultiple, qpxStatusBadArgument (norm above 1). */
QPX_API qpxStatus qpxiFindPeaks3x3_32f_C1R(const float* src, int srcStep, qpxSize roiSize, float threshold, qpxPoint* peak, int maxPeakCount, int* peakCount, int norm, int border, uint8_t* buffer);
QPX_API qpxStatus qpxiFindPeaks3x3_32s_C1R(const int32_t* src, int srcStep, qpxSize roiSize, int32_t threshold, qpxPoint* peak, int maxPeakCount, int* peakCount, int norm, int border, uint8_t* buffer);
/** @} */
/** @name Peak finding: buffer size
 * @{ */
/** Size of the work buffer of the peak finder of the same type.
 *
 * `bufferSize = ((32 * roiWidth + 160) rounded down to a multiple of 128) + 32` bytes.
 *
 * @param roiWidth   ROI width of the calls to come.
 * @param bufferSize Receives the size in bytes.
 * @return qpxStatusOk, qpxStatusNullPointer or qpxStatusBadSize (roiWidth below 1). */
QPX_API qpxStatus qpxiFindPeaks3x3GetBufferSize_32f_C1R(int roiWidth, int* bufferSize);
QPX_API qpxStatus qpxiFindPeaks3x3GetBufferSize_32s_C1R(int roiWidth, int* bufferSize);
/** @} */

/* @@CORNERS@@ */

#ifdef __cplusplus
}
#endif

#endif /* QPXCV_H */
