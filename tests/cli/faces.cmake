# SPDX-License-Identifier: GPL-3.0-or-later
# parvel-cut with the block's geometry: from --machine, from the store (--registre), and
# none at all, which leaves the report and the JSON as they were; a geometry that cannot
# be used is refused with its reason. PROG, DONNEES (tests/data/faces), TRAVAIL (a folder).
cmake_policy(VERSION 3.25)
set(ENV{LC_ALL} C)
# No user store: the geometry comes only from what the test gives.
set(ENV{XDG_CONFIG_HOME} "${TRAVAIL}/sans-reglages")
file(MAKE_DIRECTORY "${TRAVAIL}")
set(entree "${DONNEES}/inversions.cut")

function(lance sortie code)
  execute_process(COMMAND "${PROG}" ${ARGN} OUTPUT_VARIABLE s ERROR_VARIABLE e RESULT_VARIABLE c)
  if(NOT c EQUAL "${code}")
    message(FATAL_ERROR "${ARGN}: code ${c} au lieu de ${code}; stderr: ${e}")
  endif()
  set(${sortie} "${s}" PARENT_SCOPE)
  set(${sortie}_erreur "${e}" PARENT_SCOPE)
endfunction()

# The five lines stay, the faces' three follow them.
lance(sans 0 rapport "${entree}")
lance(avec 0 rapport --machine 100,40,20 "${entree}")
string(FIND "${avec}" "${sans}" debut)
if(NOT debut EQUAL 0)
  message(FATAL_ERROR "rapport changé:\n${avec}")
endif()
string(REPLACE "${sans}" "" faces "${avec}")
set(attendu "  Face proche (z = 40.00 mm) : corde 12.00, épaisseur 2.00, longueur 26.00 mm\n"
            "  Face éloignée (z = 60.00 mm) : corde 18.00, épaisseur 2.00, longueur 31.00 mm\n"
            "  Inversions : 3 (lignes 3, 5, 7)\n")
string(CONCAT attendu ${attendu})
if(NOT faces STREQUAL attendu)
  message(FATAL_ERROR "faces:\n[${faces}]")
endif()

# JSON: "faces" only with a geometry; the store's as well as --machine's.
lance(json 0 rapport --json "${entree}")
string(JSON rien ERROR_VARIABLE absent GET "${json}" faces)
if(NOT absent)
  message(FATAL_ERROR "faces sans géométrie: ${json}")
endif()
file(WRITE "${TRAVAIL}/bloc.reg" "Windows Registry Editor Version 5.00\r\n\r\n"
     "[HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\Parvel\\Bloc]\r\n"
     "\"L\"=dword:00002710\r\n\"d\"=dword:00000fa0\r\n\"w\"=dword:000007d0\r\n")
foreach(source "--machine;100,40,20" "--registre;${TRAVAIL}/bloc.reg")
  lance(json 0 rapport --json ${source} "${entree}")
  string(JSON n GET "${json}" faces nombre_inversions)
  string(JSON premiere GET "${json}" faces premieres_inversions 0)
  string(JSON loin GET "${json}" faces loin longueur)
  if(NOT n EQUAL 3 OR NOT premiere EQUAL 3 OR NOT loin EQUAL 31)
    message(FATAL_ERROR "${source}: ${json}")
  endif()
endforeach()

# Refused geometries, and the 3D picture without one.
lance(r 2 rapport --machine 100,90,20 "${entree}")
string(FIND "${r_erreur}" "d + w <= L" position)
if(position LESS 0)
  message(FATAL_ERROR "message: ${r_erreur}")
endif()
lance(r 2 rapport --machine 100,40 "${entree}")
lance(r 1 image --3d "${entree}" "${TRAVAIL}/a.png")
string(FIND "${r_erreur}" "géométrie" position)
if(position LESS 0)
  message(FATAL_ERROR "message: ${r_erreur}")
endif()
lance(r 0 image --3d --azimut 30 --elevation 10 --machine 100,40,20 "${entree}" "${TRAVAIL}/a.png")
lance(r 2 image --azimut 30 "${entree}" "${TRAVAIL}/b.png")
