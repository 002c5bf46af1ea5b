#!/bin/sh
# Each layer sees only the headers of the layers it is built on: for each
# target, with the include folders it is compiled with, a header of each
# layer it may use compiles, and one of each other layer is not found.
#   couches.sh LISTE COMPILATEUR
# LISTE (written by CMake): one line a layer, "name header seen,names
# -Ifolder...".
liste=$1
compilateur=$2
echecs=0
couches=0
while read -r couche _ voit dossiers; do
  couches=$((couches + 1))
  while read -r autre entete _ _; do
    # shellcheck disable=SC2086  # one folder a word
    if printf '#include "%s"\n' "$entete" | "$compilateur" -std=c++20 -fsyntax-only $dossiers -x c++ - 2>/dev/null; then
      vu=visible
    else
      vu=invisible
    fi
    case ",$voit," in
      *",$autre,"*) attendu=visible ;;
      *) attendu=invisible ;;
    esac
    if [ "$vu" != "$attendu" ]; then
      echo "$couche : $entete ($autre) devrait être $attendu, il est $vu"
      echecs=$((echecs + 1))
    fi
  done < "$liste"
done < "$liste"
[ "$echecs" -eq 0 ] && echo "$couches couches, chacune ne voit que celles dont elle est faite"
[ "$echecs" -eq 0 ]
