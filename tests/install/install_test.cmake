# Installs the built tree into a fresh prefix, checks what landed there, and
# builds and runs the embedding example against it twice: through
# find_package(quorvix CONFIG) and through pkg-config. Nothing is rebuilt:
# the install copies what the build made.
#
# -DBUILD_DIR, -DSOURCE_DIR, -DWORK_DIR, -DC_COMPILER, -DPKG_CONFIG, -DSOVERSION, -DPYTHON (optional)

function(run)
  cmake_parse_arguments(RUN "" "OUTPUT" "COMMAND" ${ARGN})
  execute_process(COMMAND ${RUN_COMMAND} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    string(REPLACE ";" " " shown "${RUN_COMMAND}")
    message(FATAL_ERROR "failed (${rc}): ${shown}\n${out}\n${err}")
  endif()
  if(RUN_OUTPUT)
    set(${RUN_OUTPUT} "${out}" PARENT_SCOPE)
  endif()
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# The installed files, found wherever GNUInstallDirs put the library.
file(GLOB_RECURSE libraries LIST_DIRECTORIES false "${prefix}/*/libquorvix.so")
list(LENGTH libraries count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one installed libquorvix.so, found: ${libraries}")
endif()
get_filename_component(libdir ${libraries} DIRECTORY)
foreach(file include/quorvix.h bin/quorvix share/man/man1/quorvix.1)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
foreach(file libquorvix.so.${SOVERSION} pkgconfig/quorvix.pc cmake/quorvix/quorvixConfig.cmake
             python3/dist-packages/quorvix/__init__.py)
  if(NOT EXISTS ${libdir}/${file})
    message(FATAL_ERROR "not installed: ${libdir}/${file}")
  endif()
endforeach()
run(COMMAND objdump -p ${libdir}/libquorvix.so OUTPUT dynamic)
if(NOT dynamic MATCHES "SONAME +libquorvix\\.so\\.${SOVERSION}\n")
  message(FATAL_ERROR "libquorvix.so has no SONAME libquorvix.so.${SOVERSION}")
endif()

set(expected "\"normalized_latex\":\"\\\\frac{a}{b}\"}}\n")

# find_package: the consumer's CMake project, configured against the prefix.
run(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples -B ${WORK_DIR}/cmake-consumer
            -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_BUILD_TYPE=Release)
run(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-consumer)
run(COMMAND ${WORK_DIR}/cmake-consumer/embed OUTPUT out)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "find_package consumer printed: ${out}")
endif()

# pkg-config: the flags it gives, and the library found at run time through
# LD_LIBRARY_PATH as for any library outside the loader's path.
run(COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${libdir}/pkgconfig ${PKG_CONFIG} --cflags --libs quorvix
    OUTPUT flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
run(COMMAND ${C_COMPILER} ${SOURCE_DIR}/examples/embed.c ${flags} -o ${WORK_DIR}/embed-pkg-config)
run(COMMAND ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${libdir} ${WORK_DIR}/embed-pkg-config OUTPUT out)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "pkg-config consumer printed: ${out}")
endif()

# The installed Python module finds the installed library by itself.
if(PYTHON)
  run(COMMAND ${CMAKE_COMMAND} -E env --unset=QUORVIX_LIBRARY PYTHONPATH=${libdir}/python3/dist-packages
              PYTHONDONTWRITEBYTECODE=1 ${PYTHON} -c
              "import quorvix, quorvix._library as l\nprint(l.library._name, quorvix.convert('x^2').normalized_latex)"
      OUTPUT out)
  if(NOT out STREQUAL "${libdir}/libquorvix.so.${SOVERSION} x^2\n")
    message(FATAL_ERROR "installed Python module printed: ${out}")
  endif()
endif()

# The installed tool runs.
run(COMMAND ${prefix}/bin/quorvix convert x OUTPUT out)
if(NOT out MATCHES "^\\{\"result\":")
  message(FATAL_ERROR "installed quorvix convert printed: ${out}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "installed, and built and ran both consumers")
