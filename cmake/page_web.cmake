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
set(SOURCES_WEB web/passe_web.cpp console/texte.cpp testeur_climat/passe.cpp testeur_climat/entete.cpp
    testeur_climat/listes.cpp testeur_climat/saisons.cpp testeur_climat/causes.cpp testeur_climat/regles.cpp
    testeur_climat/horloge.cpp testeur_climat/editeurs.cpp testeur_climat/ecrit_json.cpp
    testeur_climat/corrections.cpp testeur_climat/lsp_document.cpp testeur_climat/lsp_langage.cpp)
list(TRANSFORM SOURCES_WEB PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
set(EXPORTS _climat_analyse,_climat_corrections,_climat_tout_corriger,_climat_survol,_climat_propositions,_climat_section,_malloc,_free)
set(AVERTISSEMENTS_WEB -Wall -Wextra -Wpedantic -Wshadow -Wconversion)
if(TESTEUR_WERROR)
  list(APPEND AVERTISSEMENTS_WEB -Werror)
endif()
# Debian's emcc finds its own node modules there, whatever node is first on
# the PATH.
add_custom_command(OUTPUT ${WEB}/climat.js
  COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs
          ${EMCC} -std=c++20 -O2 ${AVERTISSEMENTS_WEB} -I${CMAKE_CURRENT_SOURCE_DIR}
          -DVERSION_TESTEUR=\"${PROJECT_VERSION}\"
          -DGUIDE_CLIMAT_CHEMIN=\"${CMAKE_INSTALL_FULL_DATADIR}/doc/testeur-climat/guide-climat.md\"
          ${SOURCES_WEB} ${GUIDE_INTEGRE}
          -sSINGLE_FILE=1 -sMODULARIZE=1 -sEXPORT_NAME=Climat -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web,worker
          -sEXPORTED_FUNCTIONS=${EXPORTS} -sEXPORTED_RUNTIME_METHODS=UTF8ToString,stringToUTF8,lengthBytesUTF8
          -o ${WEB}/climat.js
  DEPENDS ${SOURCES_WEB} ${GUIDE_INTEGRE} VERBATIM)
add_custom_command(OUTPUT ${WEB}/page.js
  COMMAND ${ESBUILD} ${CMAKE_CURRENT_SOURCE_DIR}/web/page.js --bundle --minify --format=iife --target=es2020
          --log-level=warning --outfile=${WEB}/page.js
  DEPENDS web/page.js web/package-lock.json VERBATIM)
add_custom_command(OUTPUT ${WEB}/index.html
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/web/index.html ${WEB}/index.html
  DEPENDS web/index.html VERBATIM)
add_custom_target(page_web ALL DEPENDS ${WEB}/climat.js ${WEB}/page.js ${WEB}/index.html)
install(FILES ${WEB}/index.html ${WEB}/climat.js ${WEB}/page.js DESTINATION ${CMAKE_INSTALL_DATADIR}/testeur-climat/web)
