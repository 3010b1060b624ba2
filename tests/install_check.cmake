# Installs the build into a fresh prefix, then builds and runs a consumer against it twice:
# through find_package(qpxcv) and through pkg-config.
file(REMOVE_RECURSE ${WORK})
set(prefix ${WORK}/prefix)
macro(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc)
    message(FATAL_ERROR "failed: ${ARGV}\n${out}\n${err}")
  endif()
endmacro()
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

run(${CMAKE_COMMAND} -S ${SRC_DIR} -B ${WORK}/cm -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK}/cm)
set(ENV{LD_LIBRARY_PATH} ${prefix}/lib)
run(${WORK}/cm/consumer)

file(GLOB pcdir ${prefix}/lib*/pkgconfig)
set(ENV{PKG_CONFIG_PATH} ${pcdir})
execute_process(COMMAND pkg-config --cflags --libs qpxcv OUTPUT_VARIABLE flags
  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "pkg-config does not know qpxcv")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
run(cc ${SRC_DIR}/main.c -o ${WORK}/pc_consumer ${flags})
run(${WORK}/pc_consumer)
