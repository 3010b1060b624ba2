# Installs the build into a fresh prefix, then builds and runs the consumer program against it
# twice, through find_package(qpxcv) and through pkg-config, the way a user would: no
# LD_LIBRARY_PATH, only the consumer's own run path. The library must find its core library
# through its own run path.
file(REMOVE_RECURSE ${WORK})
set(prefix ${WORK}/prefix)
unset(ENV{LD_LIBRARY_PATH})
unset(ENV{LD_RUN_PATH})
macro(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc)
    message(FATAL_ERROR "failed: ${ARGV}\n${out}\n${err}")
  endif()
endmacro()

# The README shows the consumer program as its first call, and what it prints: keep them true.
file(READ ${SRC_DIR}/main.c program)
file(READ ${SRC_DIR}/../../README.md readme)
string(FIND "${readme}" "${program}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "README.md no longer shows tests/consumer/main.c as it is")
endif()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
file(GLOB libdir ${prefix}/lib*/libqpxcve9.so.11)
get_filename_component(libdir ${libdir} DIRECTORY)

# A new-style run path applies to the program's direct dependencies only, so the core library
# is found through the library's run path or not at all.
macro(check_runs exe)
  run(${exe})
  string(STRIP "${out}" shown)
  string(REPLACE "\n" "\n    " shown "    ${shown}")
  string(FIND "${readme}" "${shown}\n" at)
  if(NOT out MATCHES "^qpxCV AVX \\(e9\\), version 2022\\.0\\.0" OR at EQUAL -1)
    message(FATAL_ERROR "${exe} printed what README.md does not show:\n${out}")
  endif()
  run(ldd ${exe})
  if(NOT out MATCHES "libqpxcve9\\.so\\.11 => ${libdir}/" OR
     NOT out MATCHES "libqpxcore\\.so\\.11 => ${libdir}/")
    message(FATAL_ERROR "${exe} does not take the libraries from the prefix:\n${out}")
  endif()
endmacro()

run(${CMAKE_COMMAND} -S ${SRC_DIR} -B ${WORK}/cm -DCMAKE_PREFIX_PATH=${prefix}
  -DCMAKE_EXE_LINKER_FLAGS=-Wl,--enable-new-dtags)
run(${CMAKE_COMMAND} --build ${WORK}/cm)
check_runs(${WORK}/cm/consumer)

set(ENV{PKG_CONFIG_PATH} ${libdir}/pkgconfig)
execute_process(COMMAND pkg-config --cflags --libs qpxcv OUTPUT_VARIABLE flags
  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "pkg-config does not know qpxcv")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
run(cc ${SRC_DIR}/main.c -o ${WORK}/pc_consumer ${flags} -Wl,-rpath,${libdir}
  -Wl,--enable-new-dtags)
check_runs(${WORK}/pc_consumer)
