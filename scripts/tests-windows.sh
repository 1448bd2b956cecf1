#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds the programs, their installer and the core's tests for 64-bit Windows
# (mingw-w64) in build-mingw/, runs every core test executable under Wine, in a Wine
# prefix of its own, then the window test (parvel.exe on a display of its own, driven
# through its messages) and the installer test (a silent install and uninstall in a
# fresh prefix). Exits non-zero on any build or test failure. Release by default: debug information
# doubles the cross-compilation time (PARVEL_BUILD_TYPE overrides it).
set -euo pipefail

racine=$(cd "$(dirname "$0")/.." && pwd)
build="$racine/build-mingw"
debut=$SECONDS

# A fresh machine may lack the cross toolchain or Wine.
manque=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || manque+=(g++-mingw-w64-x86-64-posix)
command -v wine >/dev/null || manque+=(wine wine64)
[ -d /usr/src/googletest ] || manque+=(libgtest-dev)
[ -f /usr/x86_64-w64-mingw32/include/zlib.h ] || manque+=(libz-mingw-w64-dev)
command -v cmake >/dev/null || manque+=(cmake)
command -v Xvfb >/dev/null || manque+=(xvfb)
command -v import >/dev/null || manque+=(imagemagick)
command -v makensis >/dev/null || manque+=(nsis)
if [ ${#manque[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
        echo "tests-windows: missing packages: ${manque[*]}" >&2
        exit 1
    fi
    echo "tests-windows: installing ${manque[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${manque[@]}" >/dev/null
fi

mkdir -p "$build"
# The compiler cache when there is one: a cross-build from scratch takes minutes.
lanceur=()
command -v ccache >/dev/null && lanceur=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$racine" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$racine/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE="${PARVEL_BUILD_TYPE:-Release}" -DPARVEL_UI=OFF -DPARVEL_BENCH=OFF -DPARVEL_TESTS=ON \
    "${lanceur[@]}" \
    >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j "${PARVEL_JOBS:-2}"
cmake --build "$build" -j "${PARVEL_JOBS:-2}" --target installeur
construit=$SECONDS

# Console programs need no display; keep Wine quiet and away from the user's prefix.
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all DISPLAY= WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
xvfb=
termine() {
    wineserver -k >/dev/null 2>&1 || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
}
trap termine EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "tests-windows: creating the Wine prefix"
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi

reussis=0
echoues=0
mapfile -t executables < <(find "$build/tests" -maxdepth 1 -name 'test_*.exe' | sort)
if [ ${#executables[@]} -eq 0 ]; then
    echo "tests-windows: no test executable in $build/tests" >&2
    exit 1
fi
for exe in "${executables[@]}"; do
    nom=$(basename "$exe" .exe)
    journal="$build/$nom.wine.log"
    code=0
    # Run from the build folder: drive-relative paths then resolve on Wine's Z: drive.
    (cd "$build" && timeout 900 wine "$exe" --gtest_color=no) 2>&1 | tr -d '\r' >"$journal" || code=$?
    p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$journal" | tail -1)
    f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' "$journal" | tail -1)
    p=${p:-0}
    f=${f:-0}
    if ! grep -q '^\[==========\] .* ran\.' "$journal"; then
        # It stopped before its summary: count it as one failure.
        f=$((f + 1))
        echo "$nom: stopped early (exit $code)"
        tail -n 30 "$journal"
    elif [ "$f" -gt 0 ]; then
        grep -E -B2 -A12 'Failure$|^\[  FAILED  \]' "$journal" | head -n 200
    fi
    echo "$nom: $p passed, $f failed"
    reussis=$((reussis + p))
    echoues=$((echoues + f))
done

verifie() { # verifie NOM CONDITION...: one result of the window or installer tests
    local nom=$1
    shift
    if "$@"; then
        echo "  ok: $nom"
        reussis=$((reussis + 1))
    else
        echo "  ÉCHEC: $nom"
        echoues=$((echoues + 1))
    fi
}

# parvel-cut on C:\Découpes\aile été.cut: every command does with it what it does with
# the same file under a plain name (the ANSI argv and narrow file calls lost the accents).
accents="$WINEPREFIX/drive_c/Découpes"
rm -rf "$accents"
mkdir -p "$accents"
cp "$racine/examples/aile.cut" "$accents/aile été.cut"
cp "$racine/examples/aile.cut" "$accents/aile.cut"
cut() { (cd "$build" && timeout 60 wine src/parvel-cut.exe "$@" 2>&1 | tr -d '\r'); }
echo "parvel-cut, chemin accentué:"
for commande in rapport verifie; do
    verifie "$commande « C:\\Découpes\\aile été.cut »" \
        diff <(cut $commande 'C:\Découpes\aile été.cut') <(cut $commande 'C:\Découpes\aile.cut')
done
verifie "rapport --json donne le chemin en UTF-8" \
    grep -qF '"chemin": "C:\\Découpes\\aile été.cut"' <(cut rapport --json 'C:\Découpes\aile été.cut')
cut image 'C:\Découpes\aile été.cut' 'C:\Découpes\aile été.png' >/dev/null || true
cut image 'C:\Découpes\aile.cut' 'C:\Découpes\aile.png' >/dev/null || true
verifie "image écrit « aile été.png »" cmp "$accents/aile été.png" "$accents/aile.png"
cut fraisage 'C:\Découpes\aile été.cut' >/dev/null || true
cut fraisage 'C:\Découpes\aile.cut' >/dev/null || true
verifie "fraisage écrit « Fr+aile été.cut »" cmp "$accents/Fr+aile été.cut" "$accents/Fr+aile.cut"

# The window test: parvel.exe opens C:\Découpes\aile été.cut on a display of its own; the
# probe reads the report, zooms with the mouse, plays the cut, mills it with the prompts
# answered "2,4", stops the load of a big file, and reads the about box through the
# window's messages; the screenshot shows what was drawn, and closing must end the program.
affichage=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$affichage" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$affichage" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$affichage")"
rm -f "$affichage"
journal="$build/fenetre.wine.log"
suite="$build/fenetre.suite"
capture="$build/fenetre-windows.png"
rm -f "$journal" "$suite" "$capture"
# The recent files of earlier runs go, so that the list shows this run's.
wine reg delete 'HKCU\Software\Local AppWizard-Generated Applications\Parvel\Fenetre' /f >/dev/null 2>&1 || true
# A block geometry in the store: the faces' figures under the drawing, and the 3D view.
bloc='HKCU\Software\Local AppWizard-Generated Applications\Parvel\Bloc'
for v in L=100000 d=30000 w=40000; do
    wine reg add "$bloc" /v "${v%=*}" /t REG_DWORD /d "${v#*=}" /f >/dev/null 2>&1 || true
done
# The milling settings start from the defaults; the milled file is this run's.
wine reg delete 'HKCU\Software\Local AppWizard-Generated Applications\Parvel\Fraisage' /f >/dev/null 2>&1 || true
rm -f "$accents/Fr+aile été.cut"
# About 150 MB: aile.cut's cut over and over, long enough to load for a stop in its middle.
awk 'NR == FNR { l[NR] = $0; n = NR; next }
     END { for (i = 1; i <= 4; i++) print l[i]
           for (k = 0; k < 1500; k++) for (i = 5; i <= n - 2; i++) print l[i]
           print l[n - 1]; print l[n] }' "$racine/examples/aile.cut" /dev/null >"$build/gros.cut"
(cd "$build" && exec timeout 180 wine src/win32/parvel.exe 'C:\Découpes\aile été.cut') >/dev/null 2>&1 &
programme=$!
# Straight into the file (a pipe would hold the lines back until the probe ends); CR LF line ends.
(cd "$build" && exec timeout 240 wine tests/sonde-fenetre.exe 60 fenetre.suite lecture fraisage gros=gros.cut recharger \
    fermer >"$journal" 2>&1) &
sonde=$!
for _ in $(seq 900); do
    grep -q '^image1 \|^erreur' "$journal" 2>/dev/null && break
    sleep 0.1
done
read -r _ x y l h < <(grep '^image1 ' "$journal" | tr -d '\r' || echo "image1 0 0 0 0")
pixels() { # pixels RRGGBB: how many pixels of that colour the drawing area shows
    convert "$capture" -crop "${l}x${h}+${x}+${y}" +repage txt:- 2>/dev/null | grep -ci "#$1\b" || true
}
# The picture is painted once the redraw has ended: look again for a while.
magenta=0
blanc=0
for _ in $(seq 40); do
    import -display "$DISPLAY" -window root "$capture" 2>/dev/null || true
    magenta=$(pixels 800080)
    blanc=$(pixels FFFFFF)
    [ "$l" -gt 0 -a "$magenta" -gt 50 -a "$blanc" -gt 50 ] && break
    sleep 0.5
done
touch "$suite"
wait "$sonde" || true
code=0
wait "$programme" || code=$?
rm -f "$build/gros.cut"
sed -i 's/\r$//' "$journal"
echo "fenetre ($((SECONDS - construit)) s):"
verifie "« aile été.cut » ouvert, son rapport et les figures des faces sont ceux de parvel-cut" \
    diff <(sed -n 's/^rapport //p; s/^faces //p' "$journal") \
    <(cd "$build" && timeout 60 wine src/parvel-cut.exe rapport ../examples/aile.cut | tr -d '\r')
echo "  trajectoire gauche (128,0,128): $magenta pixels, droite (255,255,255): $blanc pixels"
verifie "les deux trajectoires sont dessinées" [ "$l" -gt 0 -a "$magenta" -gt 50 -a "$blanc" -gt 50 ]
version=$(sed -n 's/^project(Parvel VERSION \([0-9.]*\).*/\1/p' "$racine/CMakeLists.txt")
verifie "fenêtre à 96 ppp" grep -qx 'ppp 96' "$journal"
verifie "chaque contrôle à sa place en twips (à 1 pixel), dans l'ordre du clavier" \
    [ "$(grep -c '^disposition .* ok$' "$journal")" -eq "$(grep -vc '^#' "$racine/tests/data/fenetre/disposition.tsv")" ]
grep '^disposition ' "$journal" | grep -v ' ok$' || true
verifie "le fichier ouvert est en tête des fichiers récents du registre" \
    grep -qx 'recent C:\\Découpes\\aile été\.cut' "$journal"
grep '^faces-visibles\|^lecture-fil\|^fraisage\|^ouvrir\|^progression' "$journal" || true
verifie "les trois lignes des faces se lisent entières" grep -q '^faces-visibles 3/3 ' "$journal"
verifie "« Lire » avance le curseur et déplace le fil" grep -q '^lecture-fil ok' "$journal"
verifie "« Réglage » pose ses six questions" grep -qx 'fraisage-invites 6' "$journal"
verifie "« 2,4 » lu 2,4 : la vitesse gardée en centièmes (240)" \
    grep -qx 'fraisage-registre DegZ 2 VitZ 240' "$journal"
verifie "la boîte À propos montre la vitesse de dégagement 2.4 mm/s" grep -q '^apropos .* à 2\.4 mm/s' "$journal"
verifie "la fenêtre fraise « aile été.cut » dans C:\\Découpes" [ -s "$accents/Fr+aile été.cut" ]
verifie "la boîte d'ouverture a son titre" grep -qx 'ouvrir-titre Fichier CUT à ouvrir' "$journal"
for maniere in bouton echap; do
    verifie "gros fichier arrêté ($maniere) : panneau vu puis parti, fenêtre qui répond, document gardé" \
        grep -q "^progression-$maniere ok" "$journal"
done
verifie "un zoom au rectangle choisit « Variable »" grep -qx "zoom-variable 1" "$journal"
verifie "un cran de molette agrandit et garde le point sous le curseur" grep -q '^molette ok' "$journal"
grep '^molette' "$journal" || true
verifie "la ligne des vérifications sous le dessin" grep -q '^etat-verifications Vérifications : .* — détails$' "$journal"
grep '^etat-verifications\|^verifications\|^constat1\|^lecture\|^vue3d' "$journal" || true
verifie "F7 ouvre les vérifications de « aile été.cut »" \
    grep -q '^verifications aile été\.cut \(a passé\| : [0-9]\)' "$journal"
verifie "la vue 3D s'ouvre" grep -qx 'vue3d Parvel - Vue 3D' "$journal"
verifie "« aile été.cut » réécrit se recharge de lui-même" grep -qx 'rechargement ok' "$journal"
grep '^rechargement\|^recharge ' "$journal" || true
verifie "la boîte À propos donne titre et version" grep -qx "apropos-titre À propos de Parvel" "$journal"
verifie "la boîte À propos donne la version $version" grep -qx "apropos Version $version" "$journal"
verifie "la fenêtre fermée, la boîte À propos reste ouverte" \
    [ "$(grep -cx 'principale-fermee 1\|apropos-reste 1' "$journal")" -eq 2 ]
verifie "OK ferme la boîte À propos, et le programme se termine avec elle" \
    [ "$(grep -cx 'apropos-fermee 1' "$journal")" -eq 1 -a "$code" -eq 0 ]
grep '^erreur' "$journal" || true

# The same window at 144 DPI: every control at its twips at that resolution; a file with
# findings, the first of which, chosen, moves playback to its first line.
journal144="$build/fenetre-144.wine.log"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 || true
wineserver -k >/dev/null 2>&1 || true
(cd "$build" && exec timeout 120 wine src/win32/parvel.exe ../tests/data/verifications/defauts.cut) >/dev/null 2>&1 &
programme=$!
(cd "$build" && exec timeout 120 wine tests/sonde-fenetre.exe 60 >"$journal144" 2>&1) || true
code=0
wait "$programme" || code=$?
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
wineserver -k >/dev/null 2>&1 || true
sed -i 's/\r$//' "$journal144"
verifie "fenêtre à 144 ppp" grep -qx 'ppp 144' "$journal144"
verifie "à 144 ppp, chaque contrôle à sa place en twips" \
    [ "$(grep -c '^disposition .* ok$' "$journal144")" -eq "$(grep -vc '^#' "$racine/tests/data/fenetre/disposition.tsv")" ]
verifie "F7 montre les constats de « defauts.cut »" \
    grep -q '^verifications defauts\.cut : [0-9]* problèmes\?\. ' "$journal144"
grep '^constat1\|^lecture' "$journal144" || true
premiere=$(sed -n 's/^lecture .* | ligne \([0-9]*\)$/\1/p' "$journal144")
verifie "choisir le premier constat mène la lecture à sa première ligne" \
    grep -qE "^constat1 .*[ (]${premiere:-x}[-,)]" "$journal144"
verifie "« Quitter » termine le programme" [ "$code" -eq 0 ]
grep '^disposition ' "$journal144" | grep -v ' ok$' || true

# The installer, silently into a fresh prefix, then its uninstaller.
echo "installeur ($((SECONDS - construit)) s):"
installeur="$build/parvel-$version-setup.exe"
prefixe="$build/wineprefix-installeur"
rm -rf "$prefixe"
(
    export WINEPREFIX="$prefixe"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    timeout 120 wine "$installeur" /S >/dev/null 2>&1 || echo "  le programme d'installation a échoué"
    wineserver -w
)
dossier=$(find "$prefixe/drive_c/users" -type d -path '*/AppData/Local/Programs/Parvel' | head -1)
cle() { # the key's values, nothing when it is absent
    local r
    r=$(WINEPREFIX="$prefixe" wine reg query "$@" 2>/dev/null | tr -d '\r') && echo "$r" || true
}
verifie "les programmes sont installés" [ -n "$dossier" -a -f "$dossier/parvel.exe" -a \
    -f "$dossier/parvel-cut.exe" -a -f "$dossier/desinstaller.exe" ]
verifie "parvel-cut.exe installé tourne" \
    grep -q "$version" <(WINEPREFIX="$prefixe" timeout 60 wine "$dossier/parvel-cut.exe" --version 2>&1)
verifie "l'entrée du menu Démarrer" [ -n "$(find "$prefixe/drive_c/users" -path '*Start Menu/Programs/Parvel.lnk')" ]
verifie "les fichiers .cut s'ouvrent dans Parvel" \
    grep -q 'parvel.exe" "%1"' <(cle 'HKCU\Software\Classes\Parvel.FichierCut\shell\open\command' /ve)
verifie ".cut est associé" grep -q 'Parvel.FichierCut' <(cle 'HKCU\Software\Classes\.cut' /ve)
verifie "listé dans les programmes installés" grep -q 'desinstaller.exe' \
    <(cle 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Parvel' /v UninstallString)
(
    export WINEPREFIX="$prefixe"
    [ -z "$dossier" ] || timeout 120 wine "$dossier/desinstaller.exe" /S >/dev/null 2>&1 || true
    wineserver -w
)
restes=$(
    find "$prefixe/drive_c/users" -path '*Programs/Parvel*' -o -name 'Parvel.lnk'
    cle 'HKCU\Software\Classes\.cut'
    cle 'HKCU\Software\Classes\Parvel.FichierCut'
    cle 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Parvel'
)
verifie "le désinstalleur ne laisse rien" [ -z "$restes" ]
[ -z "$restes" ] || echo "$restes"
WINEPREFIX="$prefixe" wineserver -k >/dev/null 2>&1 || true

echo "tests-windows: build $((construit - debut)) s, tests $((SECONDS - construit)) s"
echo "wine: $reussis passed, $echoues failed"
[ "$echoues" -eq 0 ]
