# SPDX-License-Identifier: GPL-3.0-or-later
# Runs `parvel-cut verifie` and `rapport --json` with the settings file of DONNEES (a top
# Y speed of 10 mm/s, a travel of 1000 x 500 mm, a block from 200 to 600 mm of a 1000 mm wire) on the hand-written file with a finding
# of each kind and on the sample wing: exit codes, one line a finding, and the JSON read
# back field by field.
set(ENV{LC_ALL} C)
set(registre "${DONNEES}/machine.reg")
set(defauts "${DONNEES}/defauts.cut")

function(lance code_attendu)
  execute_process(COMMAND "${PROG}" ${ARGN} OUTPUT_VARIABLE sortie ERROR_VARIABLE erreur RESULT_VARIABLE code)
  if(NOT code EQUAL code_attendu OR NOT erreur STREQUAL "")
    message(FATAL_ERROR "[${ARGN}] code ${code} au lieu de ${code_attendu}\nstderr: ${erreur}")
  endif()
  set(sortie "${sortie}" PARENT_SCOPE)
endfunction()

function(attendu valeur)
  string(JSON lu ERROR_VARIABLE invalide GET "${json}" ${ARGN})
  if(invalide OR NOT lu STREQUAL valeur)
    message(FATAL_ERROR "${ARGN} : [${lu}] au lieu de [${valeur}] ${invalide}")
  endif()
endfunction()

function(longueur valeur)
  string(JSON lu ERROR_VARIABLE invalide LENGTH "${json}" ${ARGN})
  if(invalide OR NOT lu EQUAL valeur)
    message(FATAL_ERROR "${ARGN} : ${lu} éléments au lieu de ${valeur} ${invalide}")
  endif()
endfunction()

lance(3 verifie --registre "${registre}" "${defauts}")
string(REGEX MATCHALL "[^\n]+\n" lignes "${sortie}")
list(LENGTH lignes n)
list(GET lignes 0 premiere)
if(NOT n EQUAL 4 OR NOT premiere STREQUAL
   "Déplacement de durée nulle ou négative : 2 lignes (4-5), pire : -1 s à la ligne 5\n")
  message(FATAL_ERROR "constats:\n${sortie}")
endif()

lance(3 verifie --json --registre "${registre}" "${defauts}")
set(json "${sortie}")
attendu("${defauts}" chemin)
attendu(10 seuils vitesse_max_y)
attendu(1000 seuils course_x)
longueur(4 constats)
longueur(6 controles)
attendu(ON controles 2 fait)
attendu(vitesse_y constats 1 sorte)
attendu(7 constats 1 plages 0 0)
attendu(20 constats 1 pire)
attendu(hors_course constats 3 sorte)
attendu(2 constats 3 lignes)
attendu(10 constats 3 plages 0 0)
attendu(11 constats 3 plages 0 1)
attendu(11 constats 3 ligne_pire)

# Without the store's machine the Y speed and the travel are not checked, and said so.
lance(3 verifie --json --registre "${DONNEES}/vide.cut" "${defauts}")
set(json "${sortie}")
attendu(OFF controles 2 fait)
attendu("configuration de la machine absente" controles 2 raison)
longueur(2 constats)

# With the block's geometry, the lines that run opposite ways on its two faces.
lance(3 verifie --json --registre "${registre}" --machine 100,40,20 "${DONNEES}/../faces/inversions.cut")
set(json "${sortie}")
attendu(ON controles 5 fait)
attendu(profil_inverse constats 1 sorte)
attendu(3 constats 1 lignes)
attendu(7 constats 1 plages 2 0)

lance(0 rapport --json --registre "${registre}" "${defauts}")
set(json "${sortie}")
longueur(4 verifications constats)
attendu(rapport_vitesses verifications constats 2 sorte)

lance(0 verifie --registre "${registre}" "${EXEMPLES}/aile.cut")
if(NOT sortie STREQUAL "Vérifications : aucun problème trouvé\n")
  message(FATAL_ERROR "aile.cut: ${sortie}")
endif()
