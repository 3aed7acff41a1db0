# Fails when lupdate would change the translation file: a text in the sources that the file lacks, or
# one the file keeps that the sources no longer have.
file(MAKE_DIRECTORY "${WORK_DIR}")
set(copy "${WORK_DIR}/kvx100_ko.ts")
configure_file("${TS_FILE}" "${copy}" COPYONLY)
execute_process(COMMAND "${LUPDATE}" -silent -recursive "${SOURCE_DIR}" -ts "${copy}" -no-obsolete -locations none
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lupdate failed")
endif()
file(READ "${TS_FILE}" before)
file(READ "${copy}" after)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "${TS_FILE} is out of date: run the kvx_app_lupdate target and translate the new texts")
endif()
