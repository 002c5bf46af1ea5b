// The page: a climate file opened from the disk, checked as it is typed by
// the checker compiled to WebAssembly (climat.js, loaded before this file),
// its findings marked in the editor and listed beside it, the sure fixes,
// and the text saved in Latin-1. Nothing leaves the author's machine.
import { EditorState } from "@codemirror/state";
import { EditorView, keymap, lineNumbers, highlightSpecialChars, hoverTooltip, drawSelection } from "@codemirror/view";
import exemple from "../exemples/climat.txt";
import { defaultKeymap, history, historyKeymap } from "@codemirror/commands";
import { setDiagnostics, lintGutter, nextDiagnostic, previousDiagnostic } from "@codemirror/lint";
import { autocompletion, completionKeymap } from "@codemirror/autocomplete";
import { StreamLanguage, syntaxHighlighting, defaultHighlightStyle } from "@codemirror/language";

const $ = (selecteur) => document.querySelector(selecteur);

// What the page measures, for the README's figures and the tests.
window.mesures = { ouverture: [], frappe: [], corrections: [], dessin: [], image: [], constats: [] };
// From a key pressed to the next frame ("image"), and to the first frame
// that shows the findings of the text it made ("constats").
let touche = 0;
document.addEventListener("keydown", () => {
  touche = performance.now();
  const depuis = touche;
  requestAnimationFrame(() => setTimeout(() => window.mesures.image.push(performance.now() - depuis)));
}, true);

// The module's functions, with the text passed as UTF-8 and its length;
// each answers in JSON.
let module_;
function appelle(nom, ...arguments_) {
  return JSON.parse(module_.UTF8ToString(module_["_" + nom](...arguments_)));
}
function avec_texte(nom, texte, ...suite) {
  const taille = module_.lengthBytesUTF8(texte);
  const tampon = module_._malloc(taille + 1);
  module_.stringToUTF8(texte, tampon, taille + 1);
  const resultat = JSON.parse(module_.UTF8ToString(module_["_" + nom](tampon, taille, ...suite)));
  module_._free(tampon);
  return resultat;
}
// On a long text a keystroke pays for the findings alone: the check waits
// for the keystroke's frame (see the editor's listener), the causes for the
// worker (see verifie), the drawing for a pause in the typing (redessine).
const long_texte = (doc) => doc.lines > 1000;

// The fixes are made by a worker with its own copy of the checker, so that
// no task of the page lasts long on a large file: the editor never waits for
// them. The worker's script is the checker's (climat.js, already loaded:
// the function Climat is all of it) followed by `travail`, put together in a
// Blob, since a page opened from the disk may start no worker from a file.
// `travail` runs in the worker and uses nothing of this file.
function travail() {
  const pret = Climat();
  onmessage = async ({ data: { id, quoi, texte } }) => {
    const m = await pret;
    const taille = m.lengthBytesUTF8(texte);
    const tampon = m._malloc(taille + 1);
    m.stringToUTF8(texte, tampon, taille + 1);
    const analyse = JSON.parse(m.UTF8ToString(m._climat_analyse(tampon, taille, 1)));
    m._free(tampon);
    postMessage({ id, resultat: JSON.parse(m.UTF8ToString(m["_" + quoi]())), analyse });
  };
}
let travailleur;
const attentes = new Map();
let demandes = 0;
// What the worker answers for `texte`: the fixes ("climat_corrections") or
// the whole text fixed ("climat_tout_corriger") as `resultat`, and the
// findings with their causes as `analyse`.
function demande(quoi, texte) {
  if (!travailleur) {
    const source = `var _scriptDir;\nvar Climat = ${Climat.toString()};\n(${travail.toString()})();`;
    travailleur = new Worker(URL.createObjectURL(new Blob([source], { type: "text/javascript" })));
    travailleur.onmessage = ({ data: { id, resultat, analyse } }) => {
      attentes.get(id)({ resultat, analyse });
      attentes.delete(id);
    };
  }
  return new Promise((fin) => {
    attentes.set(++demandes, fin);
    travailleur.postMessage({ id: demandes, quoi, texte });
  });
}

// The file as the simulation reads it: one byte, one character (Latin-1).
function depuis_latin1(octets) {
  let texte = "";
  for (let i = 0; i < octets.length; i += 8192) texte += String.fromCharCode(...octets.subarray(i, i + 8192));
  return texte;
}
// And back, as a Latin-1 editor writes it: "?" for a character Latin-1 lacks.
function en_latin1(texte) {
  const octets = new Uint8Array(texte.length);
  for (let i = 0; i < texte.length; ++i) {
    const c = texte.charCodeAt(i);
    octets[i] = c < 256 ? c : 0x3f;
  }
  return octets;
}
// Saved in UTF-8: valid UTF-8 with at least one character beyond ASCII.
function en_utf8(octets) {
  if (!octets.some((o) => o >= 0x80)) return null;
  try {
    return new TextDecoder("utf-8", { fatal: true }).decode(octets);
  } catch {
    return null;
  }
}

// The protocol's place [line, UTF-16 unit] as a place of the editor's text.
function place(doc, [ligne, caractere]) {
  const l = doc.line(Math.min(ligne + 1, doc.lines));
  return l.from + Math.min(caractere, l.length);
}

// A little Markdown, as the guide's sections and the hover hold it: code
// blocks, rules, bold and code, the rest as text.
function markdown(texte) {
  const echappe = (t) => t.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;");
  const en_ligne = (t) =>
    echappe(t)
      .replace(/``\s?(.+?)\s?``|`([^`]+)`/g, (_, a, b) => `<code>${a ?? b}</code>`)
      .replace(/\*\*(.+?)\*\*/g, "<strong>$1</strong>")
      // A link to a code's section of the guide opens it beside the editor.
      .replace(/\[([^\]]+)\]\([^)]*#cl(\d{3})\)/g, '<a href="#" class="vers-section" data-code="CL$2">$1</a>');
  return texte
    .split(/^```[^\n]*\n([\s\S]*?)^```$/m)
    .map((morceau, i) =>
      i % 2
        ? `<pre>${echappe(morceau)}</pre>`
        : morceau
            .split(/\n{2,}/)
            .map((p) => p.trim() === "---" ? "<hr>"
              // A list: each item begins with "- " on a line of its own.
              : /^- /.test(p.trim()) ? `<ul>${p.trim().split(/\n(?=- )/).map((l) => `<li>${en_ligne(l.slice(2))}</li>`).join("")}</ul>`
              : p.trim() ? `<p>${en_ligne(p)}</p>` : "")
            .join(""),
    )
    .join("");
}

let vue;
let nom_du_fichier = "climat.txt";
let dernier = { constats: [] };
let corrections = [];
let minuteur_corrections = 0;
let choix = 0;  // the finding chosen last, by its rank

// Checks the editor's text and shows what it finds; `debut` is when the
// change or the opening began, for the figures.
function verifie(debut, serie) {
  const texte = vue.state.doc.toString();
  // Nothing opened nor typed yet: the invitation, no findings.
  const accueil = !ouvert && texte === "";
  $("aside").classList.toggle("accueil", accueil);
  const causes = !long_texte(vue.state.doc);
  dernier = accueil ? { erreurs: 0, avertissements: 0, non_montres: 0, constats: [] } : avec_texte("climat_analyse", texte, causes ? 1 : 0);
  const doc = vue.state.doc;
  const diagnostics = dernier.constats.map((c) => {
    const de = place(doc, c.debut);
    return { from: de, to: Math.max(de, place(doc, c.fin)), severity: c.gravite === "erreur" ? "error" : "warning",
             message: `${c.code} ${c.message}` };
  });
  vue.dispatch(setDiagnostics(vue.state, diagnostics));
  corrections = [];
  liste();
  if (!$("#climat").hidden) redessine();
  window.mesures[serie].push(performance.now() - debut);
  if (serie === "frappe" && touche) {
    const depuis = touche;
    touche = 0;
    requestAnimationFrame(() => setTimeout(() => window.mesures.constats.push(performance.now() - depuis)));
  }
  // The fixes, each confirmed by the pass, once the typing pauses; kept
  // only if the text is still the one they are for.
  clearTimeout(minuteur_corrections);
  if (accueil) return;
  minuteur_corrections = setTimeout(async () => {
    const doc = vue.state.doc;
    const envoi = performance.now();
    const { resultat, analyse } = await demande("climat_corrections", texte);
    window.mesures.corrections.push([envoi, performance.now()]);
    if (vue.state.doc !== doc) return;
    corrections = resultat;
    if (!causes) dernier = analyse;
    liste();
  }, 150);
}

function bilan() {
  const { erreurs, avertissements, constats, non_montres } = dernier;
  const pluriel = (n, mot) => `${n} ${mot}${n > 1 ? "s" : ""}`;
  const causes = constats.filter((c) => c.cause === undefined).length;
  let texte = constats.length === 0 ? "Aucun constat." : `${pluriel(erreurs, "erreur")}, ${pluriel(avertissements, "avertissement")}`;
  if (constats.length > 0) texte += causes < constats.length ? `, qui découlent de ${pluriel(causes, "cause")} à corriger d'abord.` : ".";
  if (non_montres > 0) texte += ` Les ${non_montres} suivants ne sont pas listés : verifie_climat les donne tous.`;
  $("#bilan").textContent = texte;
  $("#tout-corriger").disabled = corrections.length === 0;
}

// The roots whose findings the author unfolded, by their code and line: a
// keystroke elsewhere leaves them so.
const depliees = new Set();
const cle = (c) => `${c.code}:${c.ligne}`;

// The list of findings: the roots in file order, each followed by the
// findings that follow from it, folded under a count until asked for. Each
// item has its place, code and kind, its text the message, and its fix
// when there is one.
// Past this many items (a hundred) the list grows on request: a file with thousands
// of findings keeps a keystroke within a frame.
const PAR_PAGE = 100;
let montres = PAR_PAGE;
// The finding explained, by its code and line: the explanation stays while
// it is listed, and goes with it.
let explique = null;

function liste() {
  const ul = $("#constats");
  const ordre = [];
  dernier.constats.forEach((c, i) => {
    if (c.cause !== undefined) return;
    ordre.push(i);
    dernier.constats.forEach((s, k) => s.cause === i && ordre.push(k));
  });
  const rang_dans_la_liste = new Map(ordre.map((i, n) => [i, n]));
  const elements = ordre.slice(0, montres).map((i) => {
    const c = dernier.constats[i];
    const li = document.createElement("li");
    li.className = "constat";
    // One item of the list takes the focus from the Tab key (the one chosen,
    // else the first); the arrows move between them.
    li.tabIndex = i === Math.min(choix, dernier.constats.length - 1) ? 0 : -1;
    if (c.cause !== undefined) {
      li.dataset.cause = rang_dans_la_liste.get(c.cause);
      li.classList.add("suite");
      li.hidden = !depliees.has(cle(dernier.constats[c.cause]));
    }
    if (c.origine) li.dataset.origine = c.origine[0] + 1;
    li.dataset.ligne = c.ligne;
    li.dataset.colonne = c.colonne;
    li.dataset.code = c.code;
    li.dataset.gravite = c.gravite;
    li.dataset.indice = i;
    li.setAttribute("aria-label", `Ligne ${c.ligne}, colonne ${c.colonne}, ${c.gravite} ${c.code} : ${c.message}`);
    const message = document.createElement("span");
    message.className = "message";
    message.textContent = c.message;
    li.append(message);
    if (c.suites) {
      const plie = document.createElement("button");
      plie.className = "plier";
      plie.setAttribute("aria-expanded", depliees.has(cle(c)) ? "true" : "false");
      plie.textContent = `${c.suites} constat${c.suites > 1 ? "s en découlent" : " en découle"}`;
      plie.addEventListener("click", (e) => {
        e.stopPropagation();
        if (depliees.has(cle(c))) depliees.delete(cle(c));
        else depliees.add(cle(c));
        liste();
      });
      li.append(plie);
    }
    const correction = corrections.find((k) => k.code === c.code && k.ligne === c.ligne);
    if (correction) {
      const bouton = document.createElement("button");
      bouton.className = "corriger";
      bouton.title = correction.titre;
      bouton.setAttribute("aria-label", `Corriger : ${correction.titre}`);
      bouton.addEventListener("click", (e) => {
        e.stopPropagation();
        applique(correction);
      });
      li.append(bouton);
    }
    if (explique && explique.code === c.code && explique.ligne === c.ligne) li.classList.add("choisi");
    return li;
  });
  if (ordre.length > montres) {
    const suite = document.createElement("li");
    const bouton = document.createElement("button");
    bouton.id = "montrer-plus";
    bouton.textContent = `Montrer ${Math.min(PAR_PAGE, ordre.length - montres)} constats de plus (${ordre.length - montres} non montrés)`;
    bouton.addEventListener("click", () => {
      montres += PAR_PAGE;
      liste();
    });
    suite.append(bouton);
    elements.push(suite);
  }
  ul.replaceChildren(...elements);
  if (explique && !dernier.constats.some((c) => c.code === explique.code && c.ligne === explique.ligne)) explique_rien();
  bilan();
}

// The outline: each part of the file, as the checker names it; choosing
// one takes the editor to its head. Made when the list is reached (not at
// each keystroke), and redrawn only when it changes.
let plan_montre = "";
function plan() {
  const parties = $("aside").classList.contains("accueil") ? [] : appelle("climat_plan");
  const cle_ = JSON.stringify(parties);
  if (cle_ === plan_montre) return;
  plan_montre = cle_;
  const choix_ = [new Option("Aller à un paragraphe…", "")];
  for (const p of parties) choix_.push(new Option(p.detail ? `${p.nom} (${p.detail})` : p.nom, String(p.ligne + 1)));
  $("#plan").replaceChildren(...choix_);
}

// What "Tout corriger" did: how many fixes, and the lines it changed.
function montre_les_changements(faites, diff) {
  const zone = $("#changements");
  zone.hidden = false;
  zone.querySelector("summary").textContent =
    `${faites} correction${faites > 1 ? "s sûres faites" : " sûre faite"} (Ctrl-Z les annule d'un coup) : voir les changements`;
  const pre = zone.querySelector("pre");
  pre.replaceChildren(...diff.split("\n").filter((l) => l !== "").map((l) => {
    const ligne = document.createElement("span");
    ligne.className = l[0] === "+" ? "ajout" : l[0] === "-" ? "retrait" : l[0] === "@" ? "morceau" : "";
    ligne.textContent = l + "\n";
    return ligne;
  }));
}

function explique_rien() {
  explique = null;
  $("#explication").innerHTML = "<p>Choisissez un constat pour lire son explication.</p>";
}

// The climate the text describes, drawn by the checker from what it read;
// its style is added once, and a drawing that has not changed is left as
// it is (the focus stays where it was).
let dessin_montre = "";
function dessine() {
  const debut = performance.now();
  const { html, style } = appelle("climat_dessin");
  if (!$("#style-dessin")) {
    const element = document.createElement("style");
    element.id = "style-dessin";
    element.textContent = style;
    document.head.append(element);
  }
  if (html !== dessin_montre) $("#climat").innerHTML = dessin_montre = html;
  window.mesures.dessin.push(performance.now() - debut);
}

// Drawing reads the text once more, for what it holds: on a long text that
// would double a keystroke's cost, so there the drawing follows once the
// typing pauses.
let minuteur_dessin = 0;
function redessine() {
  clearTimeout(minuteur_dessin);
  if (!long_texte(vue.state.doc)) dessine();
  else minuteur_dessin = setTimeout(() => { if (!$("#climat").hidden) dessine(); }, 150);
}

function montre_le_climat(oui) {
  $("#climat").hidden = !oui;
  $("aside").classList.toggle("climat-vu", oui);
  $("#voir-climat").setAttribute("aria-pressed", String(oui));
  $("#voir-climat").textContent = oui ? "Voir les constats" : "Voir le climat";
  if (oui) dessine();
}

// An element of the drawing chosen: the editor shows its line.
function va_a_la_ligne(element) {
  const ligne = vue.state.doc.line(Math.min(Number(element.dataset.ligne), vue.state.doc.lines));
  vue.dispatch({ selection: { anchor: ligne.from }, effects: EditorView.scrollIntoView(ligne.from, { y: "center" }) });
}

function telecharge_fiche() {
  const fiche = avec_texte("climat_fiche", nom_du_fichier);
  enregistre(new Blob([fiche], { type: "text/html" }), nom_du_fichier.replace(/\.[^.]*$/, "") + ".fiche.html");
}

function applique(correction) {
  const doc = vue.state.doc;
  vue.dispatch({ changes: { from: place(doc, correction.debut), to: place(doc, correction.fin), insert: correction.texte } });
}

// A finding chosen: the editor shows it (a root whose slip is elsewhere,
// its slip), the guide explains it.
function choisit(li) {
  choix = Number(li.dataset.indice);
  const c = dernier.constats[choix];
  const de = place(vue.state.doc, c.origine || c.debut);
  vue.dispatch({ selection: { anchor: de }, effects: EditorView.scrollIntoView(de, { y: "center" }) });
  for (const autre of document.querySelectorAll(".constat.choisi")) autre.classList.remove("choisi");
  li.classList.add("choisi");
  explique = { code: c.code, ligne: c.ligne };
  explique_le_code(c.code);
}

// A code's card of the guide, in the explanation panel: its first lines
// (the message, what is wrong, where it leads), the rest a click away.
function explique_le_code(code) {
  const fiche = appelle("climat_section", Number(code.slice(2)));
  const coupe = fiche.indexOf("**Exemple fautif**");
  const debut = coupe < 0 ? fiche : fiche.slice(0, coupe);
  const suite = coupe < 0 ? "" : fiche.slice(coupe);
  $("#explication").innerHTML = `<h2>${code}</h2>` + markdown(debut) +
    (suite ? `<details id="fiche-entiere"><summary>La fiche entière : exemples, correction, cas particuliers</summary>${markdown(suite)}</details>` : "");
}

// A file opened starts a new editor state: its undo history begins with
// it, so that Ctrl-Z never brings another file's text back under this
// file's name.
function ouvre(texte, nom) {
  const debut = performance.now();
  nom_du_fichier = nom;
  vue.setState(EditorState.create({ doc: texte, extensions: extensions_de_l_editeur }));
  $("#nom").textContent = nom;
  modifie = false;
  ouvert = true;
  montres = PAR_PAGE;
  explique_rien();
  $("#changements").hidden = true;
  verifie(debut, "ouverture");
  plan();
}

// Whether the text has changes not saved since it was opened or saved:
// leaving the page then asks first.
let modifie = false;
// Whether there is something to check: a file opened, or text typed. Until
// then the page invites to open one.
let ouvert = false;

// Whether the text shown may give way to `quoi`: yes when it is saved, or
// when the author says so.
const peut_ouvrir = (quoi) =>
  !modifie || confirm(`Les modifications de ${nom_du_fichier} ne sont pas enregistrées. Ouvrir ${quoi} quand même ?`);

async function lit_le_fichier(fichier) {
  if (!peut_ouvrir(fichier.name)) return;
  const octets = new Uint8Array(await fichier.arrayBuffer());
  const utf8 = en_utf8(octets);
  ouvre(depuis_latin1(octets), fichier.name);
  $("#utf8").hidden = utf8 === null;
  $("#convertir").onclick = () => {
    $("#utf8").hidden = true;
    ouvre(utf8, fichier.name);
  };
}

function enregistre(blob, nom) {
  const lien = document.createElement("a");
  lien.href = URL.createObjectURL(blob);
  lien.download = nom;
  document.body.append(lien);
  lien.click();
  lien.remove();
  setTimeout(() => URL.revokeObjectURL(lien.href), 10000);
}
function telecharge() {
  enregistre(new Blob([en_latin1(vue.state.doc.toString())], { type: "application/octet-stream" }), nom_du_fichier);
  modifie = false;
}

// Hover and completion come from the checker, on the document as last checked.
const survol = hoverTooltip((vue_, position) => {
  const ligne = vue_.state.doc.lineAt(position);
  const texte = appelle("climat_survol", ligne.number - 1, position - ligne.from);
  if (!texte) return null;
  return {
    pos: position,
    create() {
      const dom = document.createElement("div");
      dom.className = "survol";
      dom.innerHTML = markdown(texte);
      return { dom };
    },
  };
});

function propose(contexte) {
  const ligne = contexte.state.doc.lineAt(contexte.pos);
  const liste_ = appelle("climat_propositions", ligne.number - 1, contexte.pos - ligne.from);
  if (liste_.length === 0) return null;
  return {
    from: ligne.from + liste_[0].debut[1],
    options: liste_.map((p) => ({ label: p.etiquette, detail: p.detail, apply: p.texte, boost: p.tri === "0" ? 1 : 0 })),
  };
}

let extensions_de_l_editeur;

// The colours of vim's and Emacs's climate files: the header's keys, the
// sections and heads, the closing "<", the entries' numbers, the t and f
// fields, the conditions, the engines' signs, the clock's variables, and
// the remarks (a line after the header that is none of these).
const langage_climat = StreamLanguage.define({
  startState: () => ({ ligne: 0 }),
  blankLine: (etat) => { etat.ligne += 1; },
  copyState: (etat) => ({ ligne: etat.ligne }),
  token(flux, etat) {
    if (flux.sol()) {
      etat.ligne += 1;
      if (etat.ligne <= 6 && flux.match(/^[^=:]*[=:]/)) return "keyword";
      if (flux.match(/^#(Affichage|Horloge vague):/)) return "meta";
      if (flux.match(/^>.*:/)) return "heading";
      if (flux.match(/^<.*/)) return "labelName";
      if (etat.ligne > 6 && flux.match(/^[^0-9<>#][^=]*$/)) return "comment";
      if (flux.match(/^\d+/)) return "literal";
    }
    if (flux.match(/^\[[^\]]*\]/)) return "string";
    if (flux.match(/^(%%|%|\/\\)/)) return "className";
    if (flux.match(/^\$[a-z_]*\$/)) return "macroName";
    if (flux.string[flux.pos - 1] === ":" && flux.match(/^[tf][+-]?\d+/)) return "typeName";
    flux.next();
    return null;
  },
});

async function demarre() {
  module_ = await Climat();
  let en_attente = false;
  extensions_de_l_editeur = [
        // Lines end at line feeds, as the checker counts them; a CR stays
        // in the text, so that a file saved with CR LF is saved so again.
        EditorState.lineSeparator.of("\n"),
        lineNumbers(),
        highlightSpecialChars({ addSpecialChars: /[\u0080-\u009f]/ }),
        history(),
        drawSelection(),
        lintGutter(),
        langage_climat,
        syntaxHighlighting(defaultHighlightStyle),
        survol,
        autocompletion({ override: [propose] }),
        keymap.of([...completionKeymap, { key: "F8", run: nextDiagnostic, shift: previousDiagnostic }, ...defaultKeymap, ...historyKeymap]),
        EditorView.contentAttributes.of({ "aria-label": "Texte du fichier de climat" }),
        EditorView.updateListener.of((maj) => {
          if (!maj.docChanged) return;
          modifie = true;
          ouvert = true;
          // Checked once the change is done; changes made together, once.
          // A long text is checked once the keystroke's frame is drawn: the
          // letter shows at once, its findings a frame later.
          if (en_attente) return;
          en_attente = true;
          const debut = performance.now();
          const verifie_enfin = () => {
            en_attente = false;
            verifie(debut, "frappe");
          };
          if (!long_texte(maj.state.doc)) queueMicrotask(verifie_enfin);
          else requestAnimationFrame(() => setTimeout(verifie_enfin));
        }),
      ];
  vue = new EditorView({ parent: $("#editeur"), state: EditorState.create({ doc: "", extensions: extensions_de_l_editeur }) });
  // The editor's scroller takes the focus too, so that a keyboard can
  // scroll a long file without moving the cursor.
  vue.scrollDOM.tabIndex = 0;
  vue.scrollDOM.setAttribute("aria-label", "Défilement du texte");
  // The input is emptied once read: choosing the same file again reads it again.
  $("#fichier").addEventListener("change", async () => {
    const fichier = $("#fichier").files[0];
    if (fichier) await lit_le_fichier(fichier);
    $("#fichier").value = "";
  });
  $("#exemple").addEventListener("click", () => {
    if (!peut_ouvrir("l'exemple")) return;
    $("#utf8").hidden = true;
    ouvre(depuis_latin1(exemple), "climat.txt");
  });
  document.addEventListener("click", (e) => {
    const lien = e.target.closest(".vers-section");
    if (!lien) return;
    e.preventDefault();
    if (!$("#climat").hidden) montre_le_climat(false);
    explique_le_code(lien.dataset.code);
    $("#explication").focus();
  });
  $("#plan").addEventListener("focus", plan);
  $("#plan").addEventListener("pointerdown", plan);
  $("#plan").addEventListener("change", () => {
    if (!$("#plan").value) return;
    va_a_la_ligne({ dataset: { ligne: $("#plan").value } });
    $("#plan").value = "";
    vue.focus();
  });
  $("#suivant").addEventListener("click", () => { nextDiagnostic(vue); vue.focus(); });
  $("#precedent").addEventListener("click", () => { previousDiagnostic(vue); vue.focus(); });
  window.addEventListener("beforeunload", (e) => {
    if (!modifie) return;
    e.preventDefault();
    e.returnValue = "";
  });
  document.addEventListener("dragover", (e) => e.preventDefault());
  document.addEventListener("drop", (e) => {
    e.preventDefault();
    if (e.dataTransfer.files[0]) lit_le_fichier(e.dataTransfer.files[0]);
  });
  $("#constats").addEventListener("click", (e) => e.target.closest(".constat") && choisit(e.target.closest(".constat")));
  $("#constats").addEventListener("keydown", (e) => {
    if (!e.target.classList.contains("constat")) return;
    // Folded findings are passed over.
    const visibles = [...e.target.parentElement.children].filter((li) => !li.hidden);
    const ici = visibles.indexOf(e.target);
    const voisin = { ArrowDown: visibles[ici + 1], ArrowUp: visibles[ici - 1], Home: visibles[0], End: visibles.at(-1) }[e.key];
    if (e.key === "Enter" || e.key === " ") {
      e.preventDefault();
      choisit(e.target);
    } else if (voisin) {
      e.preventDefault();
      e.target.tabIndex = -1;
      voisin.tabIndex = 0;
      voisin.focus();
    }
  });
  $("#tout-corriger").addEventListener("click", async () => {
    const doc = vue.state.doc;
    const { texte, corrections: faites, diff } = (await demande("climat_tout_corriger", doc.toString())).resultat;
    if (!texte || vue.state.doc !== doc) return;
    // One change: Ctrl-Z takes every fix back at once.
    vue.dispatch({ changes: { from: 0, to: doc.length, insert: texte } });
    montre_les_changements(faites, diff);
  });
  $("#telecharger").addEventListener("click", telecharge);
  $("#telecharger-fiche").addEventListener("click", telecharge_fiche);
  $("#voir-climat").addEventListener("click", () => montre_le_climat($("#climat").hidden));
  $("#climat").addEventListener("click", (e) => e.target.closest("[data-ligne]") && va_a_la_ligne(e.target.closest("[data-ligne]")));
  $("#climat").addEventListener("keydown", (e) => {
    if ((e.key === "Enter" || e.key === " ") && e.target.dataset.ligne) {
      e.preventDefault();
      va_a_la_ligne(e.target);
    }
  });
  verifie(performance.now(), "ouverture");
  window.editeur = vue;  // for the tests, which hover over the text as a mouse does
  document.body.dataset.pret = "oui";
}

demarre();
