# Runs `parvel-cut rapport` on ENTREE under the locale LOCALE and compares its
# standard output, byte for byte, with ATTENDU (or its exit code with CODE and its
# standard error with the prefix ERREUR when ATTENDU is empty).
set(ENV{LC_ALL} "${LOCALE}")
execute_process(COMMAND "${PROG}" rapport "${ENTREE}"
                OUTPUT_VARIABLE sortie ERROR_VARIABLE erreur RESULT_VARIABLE code)
if(ATTENDU)
  file(READ "${ATTENDU}" attendu)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "code ${code}, stderr: ${erreur}")
  endif()
  if(NOT sortie STREQUAL attendu)
    message(FATAL_ERROR "sortie différente:\n[${sortie}]\nattendu:\n[${attendu}]")
  endif()
else()
  if(NOT code EQUAL "${CODE}")
    message(FATAL_ERROR "code ${code} au lieu de ${CODE}; stderr: ${erreur}")
  endif()
  string(FIND "${erreur}" "${ERREUR}" position)
  if(NOT position EQUAL 0 OR NOT sortie STREQUAL "")
    message(FATAL_ERROR "stderr inattendu: [${erreur}] stdout: [${sortie}]")
  endif()
endif()
