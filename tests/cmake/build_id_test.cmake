# The build identifier: cmake/zovesk_build_id.cmake on scratch repositories
# (a new commit changes the generated file, an unchanged one leaves it alone,
# no checkout gives the fixed id, a builder's id wins), then the built velt
# reporting the commit of this source tree.
#   GENERATOR_SCRIPT, TEMPLATE  cmake/zovesk_build_id.cmake and its template
#   GIT           the git program
#   WORK_DIR      scratch directory, emptied first
#   SOURCE_DIR    the library's sources; VELT  the built tool
#   OVERRIDE      the build's ZOVESK_BUILD_ID (may be empty)
#   FALLBACK      the fixed id

set(fixed "${FALLBACK}")

include(${CMAKE_CURRENT_LIST_DIR}/run_command.cmake)

# Runs the generator for source dir with the given git and override; leaves
# the generated id in generated_id and the outcome in generate_rc.
set(output "${WORK_DIR}/zo_build_id.cpp")
function(generate dir git override)
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${dir} -DGIT=${git}
        -DOVERRIDE=${override} -DFALLBACK=${fixed} -DTEMPLATE=${TEMPLATE} -DOUTPUT=${output}
        -P ${GENERATOR_SCRIPT} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    set(generate_rc ${rc} PARENT_SCOPE)
    set(generated_id "" PARENT_SCOPE)
    if(rc EQUAL 0)
        file(STRINGS "${output}" line REGEX "kBuildId")
        string(REGEX MATCH "\"([^\"]*)\"" quoted "${line}")
        set(generated_id "${CMAKE_MATCH_1}" PARENT_SCOPE)
    endif()
endfunction()

function(expect_id expected what)
    if(NOT generate_rc EQUAL 0 OR NOT generated_id STREQUAL expected)
        message(FATAL_ERROR "${what}: expected ${expected}, got '${generated_id}' (${generate_rc})")
    endif()
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
set(repo "${WORK_DIR}/repo")
set(plain "${WORK_DIR}/plain")
file(MAKE_DIRECTORY "${repo}" "${plain}")
# Neither directory may see the checkout the build tree sits in.
set(ENV{GIT_CEILING_DIRECTORIES} "${WORK_DIR}")
set(git ${GIT} -C ${repo} -c user.name=velt -c user.email=velt@localhost -c commit.gpgsign=false)
run(${git} init -q)
file(WRITE "${repo}/a.txt" "one\n")
run(${git} add a.txt)
run(${git} commit -q -m one)
run(${git} rev-parse HEAD)
set(first "${run_output}")

generate("${repo}" "${GIT}" "")
expect_id("${first}" "checkout")

# An unchanged HEAD leaves the file untouched, so nothing recompiles.
file(TIMESTAMP "${output}" before "%s")
execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1.1)
generate("${repo}" "${GIT}" "")
file(TIMESTAMP "${output}" after "%s")
expect_id("${first}" "same checkout")
if(NOT before STREQUAL after)
    message(FATAL_ERROR "the generated file was rewritten for an unchanged HEAD")
endif()

file(APPEND "${repo}/a.txt" "two\n")
run(${git} commit -q -a -m two)
run(${git} rev-parse HEAD)
set(second "${run_output}")
generate("${repo}" "${GIT}" "")
expect_id("${second}" "new commit")
if(second STREQUAL first)
    message(FATAL_ERROR "the two commits have one id")
endif()

generate("${plain}" "${GIT}" "")
expect_id("${fixed}" "no checkout")
generate("${repo}" "" "")
expect_id("${fixed}" "no git")

# A builder's id wins over the checkout, lower-cased; a malformed one fails.
generate("${repo}" "${GIT}" "ABCDEF0123456789ABCDEF0123456789ABCDEF01")
expect_id("abcdef0123456789abcdef0123456789abcdef01" "override")
generate("${repo}" "${GIT}" "1234")
if(generate_rc EQUAL 0)
    message(FATAL_ERROR "a 4-digit build id was accepted")
endif()

# The built tool reports the commit this tree was built from.
if(VELT)
    if(OVERRIDE)
        string(TOLOWER "${OVERRIDE}" expected)
    else()
        unset(ENV{GIT_CEILING_DIRECTORIES})
        execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} rev-parse HEAD
            OUTPUT_VARIABLE expected RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE
            ERROR_QUIET)
        if(NOT rc EQUAL 0)
            set(expected "${fixed}")
        endif()
    endif()
    string(SUBSTRING "${expected}" 0 40 expected)
    run(${VELT} --version)
    if(NOT run_output MATCHES "^velt [0-9]+\\.[0-9]+\\.[0-9]+ \\(build ([0-9a-f]+)\\)$")
        message(FATAL_ERROR "unexpected version line: ${run_output}")
    endif()
    if(NOT CMAKE_MATCH_1 STREQUAL expected)
        message(FATAL_ERROR
            "velt reports build ${CMAKE_MATCH_1}, the sources are at ${expected} (rebuild?)")
    endif()
endif()
message(STATUS "build ids as expected")
