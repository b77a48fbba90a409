# A short fuzz run for CTest: a fixed seed, a bounded time, the seed corpus read only and a
# fresh working corpus under WORK_DIR/corpus, so nothing is written into the source tree.
# An input that makes the fuzzer stop is saved in WORK_DIR.
# Variables: FUZZER, CORPUS, DICT (may be empty), WORK_DIR, SECONDS.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/corpus")
set(dict_option)
if(DICT)
    set(dict_option -dict=${DICT})
endif()
# -timeout: one input running this long is a hang, reported with its stack.
execute_process(
    COMMAND "${FUZZER}" -seed=1 -max_total_time=${SECONDS} -timeout=10 -max_len=8192
        ${dict_option} -artifact_prefix=${WORK_DIR}/ "${WORK_DIR}/corpus" "${CORPUS}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the fuzzer stopped with ${result}: a fault was found, see above; "
        "the input is saved in ${WORK_DIR}")
endif()
