# SPDX-License-Identifier: GPL-3.0-or-later
# Runs `parvel-cut fraisage` (and `rapport --registre`) in the folder TRAVAIL, with a
# settings file that holds a machine configuration and milling parameters, and checks
# the milling output byte for byte, the exit codes and the error messages.
set(ENV{LC_ALL} C)
file(REMOVE_RECURSE "${TRAVAIL}")
file(MAKE_DIRECTORY "${TRAVAIL}/projet")

function(echec)
  message(FATAL_ERROR ${ARGN})
endfunction()

# Y: 48 steps of a 1 mm screw, Z the same: the lift height on the right Y axis is the
# clearance itself (10 mm), 10 mm at 2 mm/s lasts 5 s. Zone: X above 5, Y at most 50.
function(ecrit_registre fichier projet)
  file(WRITE "${fichier}" "Windows Registry Editor Version 5.00\n\n"
       "[HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\Tavik\\TavikConfig]\n"
       "\"XNtour\"=dword:00000030\n\"XPas\"=dword:000003e8\n\"YNtour\"=dword:00000030\n"
       "\"YPas\"=dword:000003e8\n\"YVmax\"=dword:000000c8\n\"RepProjet\"=\"${projet}\"\n\n"
       "[HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\Parvel\\Fraisage]\n"
       "\"DegZ\"=dword:0000000a\n\"VitZ\"=dword:000000c8\n\"XFraise\"=dword:00000005\n"
       "\"YFraise\"=dword:00000032\n\"ZNtour\"=dword:00000030\n\"ZPas\"=dword:00000001\n")
endfunction()

set(registre "${TRAVAIL}/registre.reg")
ecrit_registre("${registre}" "${TRAVAIL}/projet")

# X zero at 100; into the zone, out of it and back.
file(WRITE "${TRAVAIL}/a.cut"
     "T:0 XG:100 YG:0 XD:100 YD:0\r\nT:1 XG:110 YG:10 XD:110 YD:10\r\nT:1 XG:120 YG:20 XD:120 YD:20\r\n"
     "T:1 XG:130 YG:60 XD:130 YD:60\r\nT:1 XG:140 YG:70 XD:140 YD:70\r\nT:1 XG:150 YG:30 XD:150 YD:30\r\n"
     "T:1 XG:160 YG:40 XD:160 YD:40\r\n")
file(WRITE "${TRAVAIL}/attendu.cut"
     "T:0 XG:100 YG:0 XD:100 YD:0\r\nT:1 XG:110 YG:10 XD:110 YD:10\r\nT:1 XG:120 YG:20 XD:120 YD:0\r\n"
     "T:5 XG:120 YG:20 XD:120 YD:10\r\nT:1 XG:130 YG:60 XD:130 YD:10\r\nT:1 XG:140 YG:70 XD:140 YD:10\r\n"
     "T:1 XG:150 YG:30 XD:150 YD:10\r\nT:5 XG:150 YG:30 XD:150 YD:0\r\nT:1 XG:160 YG:40 XD:160 YD:0\r\n")
string(CONCAT rapport_attendu
       "  Vitesse min/max : 14.1 / 41.2 mm/s\n  Temps de découpe : 0 mn 6 s\n  Position Zéro en X:  100 \n"
       "  A gauche : X de 0 à 60  et Y de 0 à 70 \n  A droite : X de 0 à 60  et Y de 0 à 70 \n")

# The milling output in the project folder, the report on stdout.
execute_process(COMMAND "${PROG}" fraisage --registre "${registre}" a.cut WORKING_DIRECTORY "${TRAVAIL}"
                OUTPUT_VARIABLE sortie ERROR_VARIABLE erreur RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  echec("fraisage: code ${code}, stderr: ${erreur}")
endif()
if(NOT sortie STREQUAL rapport_attendu)
  echec("rapport différent:\n[${sortie}]\nattendu:\n[${rapport_attendu}]")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${TRAVAIL}/projet/Fr+a.cut" "${TRAVAIL}/attendu.cut"
                RESULT_VARIABLE different)
if(different)
  file(READ "${TRAVAIL}/projet/Fr+a.cut" obtenu)
  echec("sortie de fraisage différente:\n${obtenu}")
endif()

# "rapport" with the same store runs the start-up too, and writes no milling output.
file(REMOVE "${TRAVAIL}/projet/Fr+a.cut")
execute_process(COMMAND "${PROG}" rapport --registre "${registre}" "${TRAVAIL}/a.cut"
                OUTPUT_VARIABLE sortie ERROR_VARIABLE erreur RESULT_VARIABLE code)
if(NOT code EQUAL 0 OR NOT sortie STREQUAL rapport_attendu OR EXISTS "${TRAVAIL}/projet/Fr+a.cut")
  echec("rapport --registre: code ${code}, stdout [${sortie}], stderr ${erreur}")
endif()

# Failures: exit 1 and the error on stderr; nothing left in the project folder.
function(attend_echec attendu)
  execute_process(COMMAND "${PROG}" fraisage ${ARGN} OUTPUT_VARIABLE sortie ERROR_VARIABLE erreur
                  RESULT_VARIABLE code)
  string(FIND "${erreur}" "${attendu}" position)
  if(NOT code EQUAL 1 OR NOT position EQUAL 0)
    echec("fraisage ${ARGN}: code ${code}, stderr [${erreur}]")
  endif()
endfunction()
attend_echec("parvel-cut: Erreur 53 : Fichier introuvable : entrée ${TRAVAIL}/absent.cut" --registre "${registre}"
             "${TRAVAIL}/absent.cut")
set(sans_projet "${TRAVAIL}/sans_projet.reg")
ecrit_registre("${sans_projet}" "${TRAVAIL}/absent")
attend_echec("parvel-cut: Erreur 76 : Chemin d'accès introuvable : sortie de fraisage ${TRAVAIL}/absent/Fr+a.cut" --registre "${sans_projet}"
             "${TRAVAIL}/a.cut")
file(GLOB restes "${TRAVAIL}/projet/*" "${TRAVAIL}/projet/.*")
if(restes)
  echec("fichiers laissés: ${restes}")
endif()

# Without --registre: the user's own store, filled with the first run's defaults, and no
# project folder, so the output goes beside the file.
set(ENV{XDG_CONFIG_HOME} "${TRAVAIL}/config")
set(ENV{HOME} "${TRAVAIL}")
execute_process(COMMAND "${PROG}" fraisage "${TRAVAIL}/a.cut" OUTPUT_QUIET ERROR_VARIABLE erreur
                RESULT_VARIABLE code)
if(NOT code EQUAL 0 OR NOT EXISTS "${TRAVAIL}/Fr+a.cut")
  echec("fraisage sans --registre: code ${code}, stderr ${erreur}")
endif()
file(READ "${TRAVAIL}/config/parvel/registre.reg" magasin)
if(NOT magasin MATCHES "\"VitZ\"=dword:000000c8")
  echec("paramètres par défaut non enregistrés:\n${magasin}")
endif()

# A picture written over its own input is refused; the input stays as it was.
file(READ "${TRAVAIL}/a.cut" avant)
execute_process(COMMAND "${PROG}" image "${TRAVAIL}/a.cut" "${TRAVAIL}/./a.cut" OUTPUT_QUIET ERROR_VARIABLE erreur
                RESULT_VARIABLE code)
file(READ "${TRAVAIL}/a.cut" apres)
if(NOT code EQUAL 1 OR NOT avant STREQUAL apres OR NOT erreur MATCHES "^parvel-cut: Erreur")
  echec("image sur son entrée: code ${code}, stderr [${erreur}]")
endif()
