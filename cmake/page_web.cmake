# The page (web/): the pass, its fixes and the guide's sections compiled to
# WebAssembly by Debian's emscripten, in one script that holds the module
# (climat.js), and the page's script bundled with its editor component from
# web/node_modules (page.js), beside index.html. Left out, with one line
# that says why, when either is missing.
find_program(EMCC emcc)
set(ESBUILD ${CMAKE_CURRENT_SOURCE_DIR}/web/node_modules/.bin/esbuild)
if(NOT EMCC)
  message(STATUS "Page web non construite : emcc introuvable (paquet Debian emscripten)")
  return()
endif()
if(NOT EXISTS ${ESBUILD} OR NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/web/node_modules/@codemirror/view)
  message(STATUS "Page web non construite : les paquets npm de web/ manquent (npm ci --prefix web)")
  return()
endif()

set(WEB ${CMAKE_CURRENT_BINARY_DIR}/web)
file(MAKE_DIRECTORY ${WEB})
# The page's sources are those of the layers it calls, taken from their
# targets, and the JSON writers of the protocol's; the page's own file is
# web/passe_web.cpp.
set(SOURCES_WEB ${CMAKE_CURRENT_SOURCE_DIR}/web/passe_web.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/testeur_climat/protocole/ecrit_json.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/testeur_climat/protocole/modele_json.cpp)
set(INCLUDES_WEB -I${CMAKE_CURRENT_SOURCE_DIR}/testeur_climat/protocole)
foreach(cible chaines passe corrections langage)
  get_target_property(sources ${cible} SOURCES)
  get_target_property(dossier ${cible} SOURCE_DIR)
  foreach(source ${sources})
    if(IS_ABSOLUTE ${source})
      list(APPEND SOURCES_WEB ${source})
    else()
      list(APPEND SOURCES_WEB ${dossier}/${source})
    endif()
  endforeach()
  get_target_property(dossiers ${cible} INCLUDE_DIRECTORIES)
  foreach(d ${dossiers})
    list(APPEND INCLUDES_WEB -I${d})
  endforeach()
endforeach()
list(REMOVE_DUPLICATES INCLUDES_WEB)
# The guide's sections are a file the langage target makes: the page waits
# for that target rather than for the file.
set(DEPENDANCES_WEB ${SOURCES_WEB})
list(REMOVE_ITEM DEPENDANCES_WEB ${GUIDE_INTEGRE})
set(EXPORTS _climat_analyse,_climat_corrections,_climat_tout_corriger,_climat_survol,_climat_propositions,_climat_modele,_climat_section,_climat_dessin,_climat_fiche,_climat_plan,_malloc,_free)
set(AVERTISSEMENTS_WEB -Wall -Wextra -Wpedantic -Wshadow -Wconversion)
if(TESTEUR_WERROR)
  list(APPEND AVERTISSEMENTS_WEB -Werror)
endif()
# Debian's emcc finds its own node modules there, whatever node is first on
# the PATH.
add_custom_command(OUTPUT ${WEB}/climat.js
  COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs
          ${EMCC} -std=c++20 -O2 ${AVERTISSEMENTS_WEB} ${INCLUDES_WEB}
          -DVERSION_TESTEUR=\"${PROJECT_VERSION}\"
          -DGUIDE_CLIMAT_CHEMIN=\"${CMAKE_INSTALL_FULL_DATADIR}/doc/testeur-climat/guide-climat.md\"
          ${SOURCES_WEB}
          -sSINGLE_FILE=1 -sMODULARIZE=1 -sEXPORT_NAME=Climat -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web,worker
          -sEXPORTED_FUNCTIONS=${EXPORTS} -sEXPORTED_RUNTIME_METHODS=UTF8ToString,stringToUTF8,lengthBytesUTF8
          -o ${WEB}/climat.js
  DEPENDS ${DEPENDANCES_WEB} langage VERBATIM)
add_custom_command(OUTPUT ${WEB}/page.js
  COMMAND ${ESBUILD} ${CMAKE_CURRENT_SOURCE_DIR}/web/page.js --bundle --minify --format=iife --target=es2020
          --loader:.txt=binary --log-level=warning --outfile=${WEB}/page.js
  DEPENDS web/page.js web/package-lock.json exemples/climat.txt VERBATIM)
add_custom_command(OUTPUT ${WEB}/index.html
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/web/index.html ${WEB}/index.html
  DEPENDS web/index.html VERBATIM)
add_custom_target(page_web ALL DEPENDS ${WEB}/climat.js ${WEB}/page.js ${WEB}/index.html)
install(FILES ${WEB}/index.html ${WEB}/climat.js ${WEB}/page.js DESTINATION ${CMAKE_INSTALL_DATADIR}/testeur-climat/web)
