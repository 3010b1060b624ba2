#!/bin/sh
# Fails when the API reference has a gap: any Doxygen warning on the public header or the
# overview page (an undocumented function, record field or macro, a @param naming no argument),
# an enumerator or other member without a comment (Doxygen does not warn about the constants of
# an anonymous enum), or a declaration that Doxygen did not see as a documented function.
#
#   sh tests/docs_check.sh SOURCE_DIR WORK_DIR
set -u
src=$1
work=$2

if ! command -v doxygen >/dev/null 2>&1; then
    echo "docs_check: doxygen is not installed. Install it (apt-get install doxygen; 'make test'" >&2
    echo "docs_check: does so when run as root) to check the API reference." >&2
    exit 1
fi

rm -rf "$work" && mkdir -p "$work" || exit 1
cd "$src" || exit 1

# The configuration of `make docs`, with XML instead of HTML and every warning kept in a log.
{
    cat docs/Doxyfile
    echo "OUTPUT_DIRECTORY = \"$work\""
    echo "GENERATE_HTML = NO"
    echo "GENERATE_XML = YES"
    echo "WARN_IF_UNDOCUMENTED = YES"
    echo "WARN_AS_ERROR = FAIL_ON_WARNINGS"
    echo "WARN_LOGFILE = \"$work/warnings.log\""
} | doxygen - >"$work/doxygen.out" 2>&1
status=$?
if [ "$status" -ne 0 ] || [ -s "$work/warnings.log" ]; then
    echo "docs_check: doxygen failed (status $status):" >&2
    cat "$work/warnings.log" "$work/doxygen.out" >&2 2>/dev/null
    exit 1
fi

# Every member (function, typedef, enum, enumerator, macro, record field) needs a brief or a
# detailed description of its own or from its group, and so do the header file and the records
# (without a file comment Doxygen leaves the header's functions out of the pages, silently).
undocumented=$(
    for f in "$work"/xml/qpxcv_8h.xml "$work"/xml/struct*.xml; do
        awk '
            /<compounddef |<memberdef |<enumvalue / { depth++; name[depth] = ""; doc[depth] = 0 }
            /<compoundname>|<name>/ && depth > 0 && name[depth] == "" {
                n = $0; sub(/.*<(compound)?name>/, "", n); sub(/<\/(compound)?name>.*/, "", n)
                name[depth] = n
            }
            /<briefdescription>|<detaileddescription>/ { indesc = 1 }
            /<para>/ && indesc && depth > 0 { doc[depth] = 1 }
            /<\/briefdescription>|<\/detaileddescription>/ { indesc = 0 }
            /<\/compounddef>|<\/memberdef>|<\/enumvalue>/ {
                if (!doc[depth]) print name[depth]
                depth--
            }
        ' "$f"
    done
)
if [ -n "$undocumented" ]; then
    echo "docs_check: members without a documentation comment:" >&2
    echo "$undocumented" >&2
    exit 1
fi

# Doxygen must have seen every exported declaration as a function of the header.
declared=$(grep -c '^QPX_API' include/qpxcv.h)
seen=$(grep -c '<memberdef kind="function"' "$work/xml/qpxcv_8h.xml" 2>/dev/null)
if [ "${seen:-0}" -ne "$declared" ]; then
    echo "docs_check: include/qpxcv.h declares $declared functions, the reference documents ${seen:-0}" >&2
    exit 1
fi
echo "docs_check: $declared functions and every record, code and constant documented"
