/* The public header as seen by a C99 program, linked against the shared library. */
#include <qpxcv.h>
#include <stdio.h>
#include <string.h>

static int failures;
#define EXPECT(cond)                                             \
    do {                                                         \
        if (!(cond)) {                                           \
            fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #cond); \
            failures++;                                          \
        }                                                        \
    } while (0)

int main(void) {
    const qpxLibraryVersion* v = qpxcvGetLibVersion();
    EXPECT(v == qpxcvGetLibVersion());
    EXPECT(v->major == 2022 && v->minor == 0 && v->majorBuild == 0 && v->build == 0x131e93b0);
    EXPECT(memcmp(v->targetCpu, "e9\0\0", 4) == 0);
    EXPECT(strcmp(v->Name, "qpxCV AVX (e9)") == 0);
    EXPECT(strcmp(v->Version, "2022.0.0 (r0x131e93b0)") == 0);
    EXPECT(strcmp(v->BuildDate, "Sep  4 2024") == 0);

    {
        float acc[3] = {0.0f, 1.0f, -0.0f};
        unsigned char src[3] = {255, 2, 0};
        qpxSize roi = {3, 1};
        EXPECT(qpxiAddWeighted_8u32f_C1IR(src, 3, acc, 12, roi, 0.5f) == qpxStatusOk);
        EXPECT(acc[0] == 127.5f && acc[1] == 1.5f);
        EXPECT(qpxiAdd_8u32f_C1IR(NULL, 3, acc, 12, roi) == qpxStatusNullPointer);
    }
    EXPECT(sizeof(qpxSize) == 8 && sizeof(qpxSizeL) == 16 && sizeof(qpxRect) == 16);
    EXPECT(qpxBorderInMem == 240 && qpxBorderStageInMemRight == 0x800 && qpxBorderConst == 6);
    EXPECT(qpxStatusInPlaceNotSupported == -9998 && qpxStatusSizeTooLarge == -232);
    EXPECT(qpx64f == 19 && qpxMskSize5x5 == 55 && qpxEdgeNormL2 == 4);

    if (failures) return 1;
    puts("c api ok");
    return 0;
}
