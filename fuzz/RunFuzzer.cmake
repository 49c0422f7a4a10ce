# Runs one fuzz target for SECONDS on a scratch copy of its seed corpus SEEDS, in WORK, with inputs
# of at most MAX_LEN bytes.
# cmake -DFUZZER=<program> -DSEEDS=<folder> -DWORK=<folder> -DSECONDS=<n> -DMAX_LEN=<n> -P RunFuzzer.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
file(GLOB seeds ${SEEDS}/*)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)
execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -max_len=${MAX_LEN} -timeout=10 -print_final_stats=1
            -artifact_prefix=${WORK}/ ${WORK}/corpus
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} found a fault (exit ${result}); the input is in ${WORK}")
endif()
