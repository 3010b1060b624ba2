#include <qpxcv.h>
#include <stdio.h>
#include <string.h>

int main(void) {
    const qpxLibraryVersion* v = qpxcvGetLibVersion();
    unsigned char a[4] = {1, 200, 3, 4}, b[4] = {4, 3, 2, 1}, d[4];
    qpxSize roi = {4, 1};
    if (qpxiAbsDiff_8u_C1R(a, 4, b, 4, d, 4, roi) != qpxStatusOk) return 1;
    if (d[0] != 3 || d[1] != 197 || d[2] != 1 || d[3] != 3) return 2;
    printf("%s %s\n", v->Name, v->Version);
    return strcmp(v->targetCpu, "e9") == 0 ? 0 : 3;
}
