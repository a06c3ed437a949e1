# run(command args...): runs a command from a test script and fails the test
# with its output unless it succeeds. Leaves standard output, without the
# final line break, in run_output and standard error in run_errors.
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        string(REPLACE ";" " " command "${ARGN}")
        message(FATAL_ERROR "failed (${rc}): ${command}\n${out}\n${err}")
    endif()
    string(REGEX REPLACE "\n$" "" out "${out}")
    set(run_output "${out}" PARENT_SCOPE)
    set(run_errors "${err}" PARENT_SCOPE)
endfunction()
