# SPDX-License-Identifier: GPL-3.0-or-later
# Runs `parvel-cut rapport [OPTIONS]` on ENTREE under the locale LOCALE and compares its
# standard output, byte for byte, with ATTENDU, where "@ENTREE@" stands for the input's
# path (or its exit code with CODE and its standard error with the prefix ERREUR when
# ATTENDU is empty). With --json the output must also parse as JSON.
cmake_policy(VERSION 3.25) # "@ENTREE@" stays as it is written
set(ENV{LC_ALL} "${LOCALE}")
# The user's own store could hold a block geometry, which adds the faces to the report.
set(ENV{XDG_CONFIG_HOME} "${CMAKE_CURRENT_BINARY_DIR}/sans-reglages")
execute_process(COMMAND "${PROG}" rapport ${OPTIONS} "${ENTREE}"
                OUTPUT_VARIABLE sortie ERROR_VARIABLE erreur RESULT_VARIABLE code)
if(ATTENDU)
  file(READ "${ATTENDU}" attendu)
  string(REPLACE "@ENTREE@" "${ENTREE}" attendu "${attendu}")
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "code ${code}, stderr: ${erreur}")
  endif()
  if(NOT sortie STREQUAL attendu)
    message(FATAL_ERROR "sortie différente:\n[${sortie}]\nattendu:\n[${attendu}]")
  endif()
  if(OPTIONS STREQUAL "--json")
    string(JSON chemin ERROR_VARIABLE invalide GET "${sortie}" chemin)
    if(invalide OR NOT chemin STREQUAL ENTREE)
      message(FATAL_ERROR "JSON illisible: ${invalide}")
    endif()
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
