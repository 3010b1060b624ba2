#!/bin/sh
# Every instruction beyond AVX (a zmm, mask or upper-bank register, a 256-bit integer operation,
# any AVX2, AVX-512 or FMA opcode) must lie in a function of the AVX2 or AVX-512 target
# namespace. Those run only after the dispatcher has seen the processor support them; anywhere
# else such an instruction would fault on a processor with AVX alone.
set -eu
lib=$1
command -v objdump >/dev/null || { echo "objdump (binutils) is needed"; exit 1; }
objdump -d --no-show-raw-insn -C "$lib" | awk '
/^[0-9a-f]+ <.*>:$/ { fn = $0; next }
/^ *[0-9a-f]+:\t/ {
    split($0, parts, "\t")
    insn = parts[2]
    split(insn, words, " ")
    op = words[1]
    bad = ""
    if (insn ~ /%zmm|%k[0-7]|%[xy]mm(1[6-9]|2[0-9]|3[01])|\{%k/) bad = "AVX-512 register"
    else if (op ~ /^vf(n?m(add|sub)|maddsub|msubadd)/) bad = "FMA"
    else if (op ~ /^(vpbroadcast|vpsllv|vpsrlv|vpsrav|vpmaskmov|vgather|vpgather|vpblendd|vinserti128|vextracti128|vperm2i128|vpermd|vpermq|vpermps|vpermpd|vbroadcasti128)/) bad = "AVX2"
    else if (op ~ /^vp/ && op !~ /^(vpermil|vperm2f128|vptest)/ && insn ~ /%ymm/) bad = "256-bit integer"
    else if (op ~ /^(vpternlog|vpmovm2|vpmov[dqwb]2m|vpermt2|vpermi2|vpcompress|vpexpand|vcvt[a-z0-9]*u[dq]|vprol|vpror|vpabsq|vpmov(s|us)?(qb|qw|qd|db|dw|wb)$|vrndscale|vrange|vreduce|vfixup|vgetexp|vgetmant|vscalef|vrcp14|vrsqrt14|kmov|kand|kor|kxor|knot|kshift|ktest|kortest|kunpck|kadd)/) bad = "AVX-512"
    if (bad != "" && fn !~ /::avx2::|::avx512::/) {
        n++
        if (n <= 20) print bad ": " insn "  in " fn
    }
}
END {
    if (n) { print n " instruction(s) beyond AVX outside the AVX2 and AVX-512 targets"; exit 1 }
    print "every instruction beyond AVX lies in the AVX2 or AVX-512 targets"
}'
