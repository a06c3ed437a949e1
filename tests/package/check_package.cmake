# Installs the build into a fresh prefix, moves the installed tree elsewhere
# (both package files must find it from where they are), then builds and runs
# C and C++ consumers against it: once through find_package(zovesk), once
# with the flags of `pkg-config --cflags --libs zovesk`.
#   BUILD_DIR     the library's build tree
#   WORK_DIR      scratch directory, emptied first
#   CONSUMER_DIR  tests/package/consumer
#   README        README.md, whose C example is one of the consumers
#   LIBDIR, BINDIR  CMAKE_INSTALL_LIBDIR and CMAKE_INSTALL_BINDIR of the build
#   C_COMPILER, CXX_COMPILER, GENERATOR, MAKE_PROGRAM, PKG_CONFIG
#   EXTRA_FLAGS   compile and link flags the library needs of its users
#                 (the sanitizer runtimes), may be empty
#   DESCRIPTOR, SETTINGS, KEY  documents and entry for the C++ consumer
#   HAS_TOOL      ON when velt is installed with the library

include(${CMAKE_CURRENT_LIST_DIR}/../cmake/run_command.cmake)

function(expect_output text where)
    string(FIND "${${where}}" "${text}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "'${text}' not in ${where}:\n${${where}}")
    endif()
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(staged "${WORK_DIR}/staged")
set(prefix "${WORK_DIR}/moved")
run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${staged}")
file(RENAME "${staged}" "${prefix}")
set(libdir "${prefix}/${LIBDIR}")

# The README's C example, exactly as it stands there.
file(READ "${README}" readme)
string(FIND "${readme}" "\n```c\n" start)
if(start EQUAL -1)
    message(FATAL_ERROR "no C example in ${README}")
endif()
math(EXPR start "${start} + 6")
string(SUBSTRING "${readme}" ${start} -1 example)
string(FIND "${example}" "\n```" end)
math(EXPR end "${end} + 1")
string(SUBSTRING "${example}" 0 ${end} example)
set(readme_example "${WORK_DIR}/readme_example.c")
file(WRITE "${readme_example}" "${example}")

# Runs the three consumers built into directory dir (with env the
# environment they need to find the library).
function(run_consumers dir)
    run(${CMAKE_COMMAND} -E env ${ARGN} "${dir}/c_consumer")
    expect_output("libzovesk " run_output)
    run(${CMAKE_COMMAND} -E env ${ARGN} "${dir}/readme_example")
    expect_output("libzovesk " run_output)
    # The example's sink received the version report.
    expect_output("ZO_LOG[XOS] 1 Libzovesk version: " run_errors)
    run(${CMAKE_COMMAND} -E env ${ARGN} "${dir}/cpp_consumer" "${DESCRIPTOR}" "${SETTINGS}" ${KEY})
    expect_output("entry ${KEY}: " run_output)
endfunction()

# find_package: imported targets carry the library's path, so the programs
# run without help.
set(cmake_build "${WORK_DIR}/find_package")
run(${CMAKE_COMMAND} -S "${CONSUMER_DIR}" -B "${cmake_build}" -G "${GENERATOR}"
    -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}
    -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
    "-DCMAKE_C_FLAGS=${EXTRA_FLAGS}" "-DCMAKE_CXX_FLAGS=${EXTRA_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${EXTRA_FLAGS}"
    -DCMAKE_PREFIX_PATH=${prefix} -DREADME_EXAMPLE=${readme_example})
run(${CMAKE_COMMAND} --build "${cmake_build}")
run_consumers("${cmake_build}")

# pkg-config: the compiler gets exactly the flags the .pc file gives.
run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${libdir}/pkgconfig
    ${PKG_CONFIG} --cflags --libs zovesk)
string(STRIP "${run_output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
separate_arguments(extra UNIX_COMMAND "${EXTRA_FLAGS}")
string(FIND "${run_output}" "-I${prefix}/" at)
if(at EQUAL -1)
    message(FATAL_ERROR "pkg-config does not point into ${prefix}: ${run_output}")
endif()
set(pc_build "${WORK_DIR}/pkg-config")
file(MAKE_DIRECTORY "${pc_build}")
set(c_options -std=c11 -Wall -Wextra -Werror -pedantic ${extra})
set(cxx_options -std=c++17 -Wall -Wextra -Werror -pedantic ${extra})
run(${C_COMPILER} ${c_options} "${CONSUMER_DIR}/c_consumer.c" ${flags} -o "${pc_build}/c_consumer")
run(${C_COMPILER} ${c_options} "${readme_example}" ${flags} -o "${pc_build}/readme_example")
run(${CXX_COMPILER} ${cxx_options} "${CONSUMER_DIR}/cpp_consumer.cpp" ${flags}
    -o "${pc_build}/cpp_consumer")
run_consumers("${pc_build}" LD_LIBRARY_PATH=${libdir})

# The installed tool finds the moved library by itself.
if(HAS_TOOL)
    run("${prefix}/${BINDIR}/velt" --version)
    expect_output("velt " run_output)
endif()
message(STATUS "find_package and pkg-config consumers built and ran against ${prefix}")
