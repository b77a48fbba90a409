# A short, repeatable fuzz run for CTest: a fresh working corpus, a fixed seed and a fixed
# number of runs. Variables: FUZZER, CORPUS, DICT (may be empty), WORK_DIR, RUNS.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(dict_option)
if(DICT)
    set(dict_option -dict=${DICT})
endif()
execute_process(
    COMMAND "${FUZZER}" -seed=1 -runs=${RUNS} -max_len=8192 ${dict_option} "${WORK_DIR}" "${CORPUS}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the fuzzer stopped with ${result}: a fault was found, see above")
endif()
