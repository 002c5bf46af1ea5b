// The built page tried as an author uses it, in Debian's Chromium driven by
// puppeteer-core, opened from the disk (file://):
//   node tests/page.mjs BUILD/web BUILD/verifie_climat [SCREENSHOT.png]
// Every example opened through #fichier lists exactly verifie_climat's
// findings; a fix typed in the editor updates the list; "Appliquer toutes
// les corrections sûres" then "Enregistrer" gives the bytes of
// verifie_climat --corrige; a file saved in UTF-8 is recognised and
// converted; no request leaves the page's folder. Prints the page's own
// timings and size.
import { spawnSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { createRequire } from "node:module";

const [dossier, verifie_climat, capture] = process.argv.slice(2).map((a) => path.resolve(a));
const racine = path.resolve(path.dirname(new URL(import.meta.url).pathname), "..");
// The browser's driver is one of the page's packages, in web/node_modules.
const puppeteer = createRequire(path.join(racine, "web/package.json"))("puppeteer-core");
const temporaire = fs.mkdtempSync(path.join(os.tmpdir(), "page-"));
const fautes = [];
const egal = (nom, obtenu, voulu) => {
  if (JSON.stringify(obtenu) !== JSON.stringify(voulu))
    fautes.push(`${nom} : obtenu ${String(JSON.stringify(obtenu)).slice(0, 400)}, attendu ${String(JSON.stringify(voulu)).slice(0, 400)}`);
};
const mediane = (t) => [...t].sort((a, b) => a - b)[Math.floor(t.length / 2)];
// A download, once it holds the bytes wanted: Chromium may show the file
// before it has written all of it.
const telecharge = async (chemin, voulu) => {
  while (!(fs.existsSync(chemin) && Buffer.compare(fs.readFileSync(chemin), voulu) === 0))
    await new Promise((r) => setTimeout(r, 50));
  return fs.existsSync(chemin) && Buffer.compare(fs.readFileSync(chemin), voulu);
};

const navigateur = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  headless: true,
  userDataDir: path.join(temporaire, "profil"),
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync"],
});
try {
  const page = await navigateur.newPage();
  // No wait has a time limit: on a loaded machine anything may be slow, and
  // a page that never answers is stopped by the test's own limit.
  page.setDefaultTimeout(0);
  await page.setViewport({ width: 1280, height: 800 });
  const adresse = "file://" + path.join(dossier, "index.html");
  page.on("request", (r) => {
    const url = r.url();
    if (!url.startsWith("file://" + dossier + "/") && !url.startsWith("data:") && !url.startsWith("blob:"))
      fautes.push(`requête hors de la page : ${url}`);
  });
  page.on("pageerror", (e) => fautes.push(`erreur de la page : ${e.message}`));
  // Opening a file over unsaved changes asks first: the test says yes.
  const questions = [];
  page.on("dialog", (d) => {
    questions.push(d.message());
    d.accept();
  });
  // What the page asks of its worker, in order.
  await page.evaluateOnNewDocument(() => {
    const envoie = Worker.prototype.postMessage;
    window.envois = [];
    Worker.prototype.postMessage = function (m, ...reste) {
      window.envois.push([m.quoi, performance.now()]);
      return envoie.call(this, m, ...reste);
    };
  });
  await page.goto(adresse);
  await page.waitForSelector("body[data-pret=oui]");

  // The first screen invites to open a file and lists nothing; its button,
  // reached by the Tab key alone, opens the sample, which is clean.
  const accueil = () => page.$eval("#accueil", (e) => getComputedStyle(e).display !== "none");
  egal("le premier écran", [await accueil(), await page.$$eval(".constat", (l) => l.length)], [true, 0]);
  for (let k = 0; k < 30 && (await page.evaluate(() => document.activeElement.id)) !== "exemple"; ++k) await page.keyboard.press("Tab");
  await page.keyboard.press("Enter");
  await page.waitForFunction(() => document.querySelector("#nom").textContent === "climat.txt", { timeout: 0 })
    .catch(() => fautes.push("l'exemple ne s'ouvre pas au clavier"));
  egal("l'exemple ouvert", [await accueil(), await page.$eval("#nom", (e) => e.textContent), await page.$eval("#bilan", (e) => e.textContent)],
       [false, "climat.txt", "Aucun constat."]);

  // The name shown is cleared first: a file of the same name as the one
  // before must not be taken for read before it is.
  const ouvre = async (chemin) => {
    await page.$eval("#nom", (e) => { e.textContent = ""; });
    await (await page.$("#fichier")).uploadFile(chemin);
    await page.waitForFunction((nom) => document.querySelector("#nom").textContent === nom, {}, path.basename(chemin));
  };
  // Each finding with the place of its root's item in the list, and the
  // line of its slip when elsewhere.
  const constats = () =>
    page.$$eval(".constat", (l) => l.map((e) => [Number(e.dataset.ligne), Number(e.dataset.colonne), e.dataset.code, e.dataset.gravite,
                                                  e.querySelector(".message").textContent, e.dataset.cause ?? null, e.dataset.origine ?? null]));
  // verifie_climat's, each root followed by the findings that follow from it.
  const attendus = (chemin) => {
    const c = JSON.parse(spawnSync(verifie_climat, ["--format=json", chemin], { encoding: "utf8" }).stdout).fichiers[0].constats;
    const ordre = c.flatMap((x, i) => (x.cause === undefined ? [i, ...c.flatMap((y, k) => (y.cause === i ? [k] : []))] : []));
    return ordre.map((i) => [c[i].ligne, c[i].colonne, c[i].code, c[i].gravite, c[i].message,
                             c[i].cause === undefined ? null : String(ordre.indexOf(c[i].cause)), c[i].origine ? String(c[i].origine.ligne) : null]);
  };

  // Every example, as verifie_climat sees it, and the line that sums it up
  // (tests/donnees/bilans.txt).
  const exemples = fs.readdirSync(path.join(racine, "exemples")).filter((n) => n.endsWith(".txt")).sort();
  const bilans = [];
  for (const nom of exemples) {
    const chemin = path.join(racine, "exemples", nom);
    await ouvre(chemin);
    egal(nom, await constats(), attendus(chemin));
    // Each root's fold says how many follow from it, one among them.
    const suites = Object.values(attendus(chemin).reduce((n, c) => (c[5] === null ? n : { ...n, [c[5]]: (n[c[5]] ?? 0) + 1 }), {}));
    egal(`${nom}, les plis`, (await page.$$eval(".plier", (l) => l.map((b) => parseInt(b.textContent)))).sort(), suites.sort());
    bilans.push(`${nom} ; ${await page.$eval("#bilan", (e) => e.textContent)}`);
  }
  egal("les bilans", bilans, fs.readFileSync(path.join(racine, "tests/donnees/bilans.txt"), "utf8").split("\n").filter((l) => l && !l.startsWith("#")));

  // A cascade shows its root alone, the rest folded under it; unfolded on
  // request; the root chosen moves the editor to its slip, the blank line;
  // the arrows pass over what is folded.
  await ouvre(path.join(racine, "exemples/cascade_ligne_blanche.txt"));
  // The list is drawn again when the fixes come: they are waited for first.
  await page.waitForFunction(() => !document.querySelector("#tout-corriger").disabled);
  const visibles = () => page.$$eval(".constat", (l) => l.filter((e) => !e.hidden).length);
  egal("une cascade pliée sous sa cause", await visibles(), 1);
  await page.click(".constat .plier");
  egal("la cascade dépliée", [await visibles(), await page.$eval(".plier", (e) => e.getAttribute("aria-expanded"))], [16, "true"]);
  await page.click(".constat .plier");
  await page.click(".constat");
  egal("la cause choisie montre son glissement",
       await page.evaluate(() => window.editeur.state.doc.lineAt(window.editeur.state.selection.main.head).number), 52);
  await page.focus(".constat");
  await page.keyboard.press("ArrowDown");
  egal("les flèches passent ce qui est plié", await page.evaluate(() => document.activeElement.dataset.code), "CL601");
  await page.evaluate(() => window.editeur.dispatch({ selection: { anchor: 0 }, scrollIntoView: true }));

  // A fix typed: "longitude=" made "Longitude=" on line 2 takes its finding away.
  const erreurs = path.join(racine, "exemples/climat_avec_erreurs.txt");
  const copie = path.join(temporaire, "frappe.txt");
  fs.copyFileSync(erreurs, copie);
  await ouvre(copie);
  const avant = await constats();
  await page.click(".cm-line:nth-child(2)");
  await page.keyboard.press("Home");
  await page.keyboard.down("Shift");
  await page.keyboard.press("ArrowRight");
  await page.keyboard.up("Shift");
  const premiere = await page.$eval(".cm-line:nth-child(2)", (e) => e.textContent[0]);
  await page.keyboard.type(premiere === "l" ? "L" : premiere);
  await page.waitForFunction((n) => document.querySelectorAll(".constat").length !== n, { timeout: 0 }, avant.length)
    .catch(() => fautes.push("la frappe n'a pas changé la liste"));
  egal("une faute corrigée à la main", (await constats()).filter((c) => c[0] === 2), []);

  // Unsaved changes: leaving asks first. The same file chosen again is read
  // again (after the question), and undo never goes back past an opening.
  egal("quitter demande", await page.evaluate(() => {
    const e = new Event("beforeunload", { cancelable: true });
    window.dispatchEvent(e);
    return e.defaultPrevented;
  }), true);
  const texte_du_fichier = fs.readFileSync(copie).toString("latin1");
  await ouvre(copie);
  const editeur = () => page.evaluate(() => window.editeur.state.doc.toString());
  egal("le même fichier relu", [await editeur() === texte_du_fichier, questions.length], [true, 1]);
  await ouvre(path.join(racine, "exemples/cascade_oublis.txt"));
  await page.click(".cm-content");
  await page.keyboard.down("Control");
  await page.keyboard.press("z");
  await page.keyboard.up("Control");
  egal("annuler après une ouverture", await editeur() === fs.readFileSync(path.join(racine, "exemples/cascade_oublis.txt")).toString("latin1"), true);
  await ouvre(copie);

  // F8 and Shift-F8 go from finding to finding.
  await page.evaluate(() => window.editeur.dispatch({ selection: { anchor: 0 } }));
  await page.focus(".cm-content");
  const lignes_f8 = [];
  for (const touche of ["F8", "F8", "Shift+F8"]) {
    if (touche.startsWith("Shift")) await page.keyboard.down("Shift");
    await page.keyboard.press("F8");
    if (touche.startsWith("Shift")) await page.keyboard.up("Shift");
    lignes_f8.push(await page.evaluate(() => window.editeur.state.doc.lineAt(window.editeur.state.selection.main.head).number));
  }
  egal("F8, F8, Maj+F8", lignes_f8, [1, 2, 1]);

  // A finding chosen shows its section; its Corriger button makes its fix.
  // The list is drawn again when the fixes come: they are waited for first.
  await page.waitForSelector(".constat[data-code=CL109] .corriger");
  await page.click(".constat[data-code=CL109]");
  egal("explication choisie", await page.$eval("#explication h2", (e) => e.textContent), "CL109");
  // The card's first lines shown, its examples folded behind one click.
  egal("les premières lignes de la fiche", await page.$eval("#explication", (e) => [
    [...e.querySelectorAll(":scope > p")].some((p) => p.textContent.startsWith("Problème")),
    e.querySelector("#fiche-entiere")?.open, e.querySelector("#fiche-entiere pre") !== null]), [true, false, true]);
  await page.click(".constat[data-code=CL109] .corriger");
  await page.waitForFunction(() => !document.querySelector(".constat[data-code=CL109]"), { timeout: 0 })
    .catch(() => fautes.push("le bouton Corriger n'a pas retiré son constat"));
  egal("l'explication part avec son constat", await page.$("#explication h2"), null);

  // The sample drawn: four seasons, seven precipitations, one arrow per
  // value of the eleven rules; an arrow chosen, by click or by Enter, takes
  // the editor to its rule; the sheet is verifie_climat's; a rule typed is
  // drawn at once.
  await ouvre(path.join(racine, "exemples/climat.txt"));
  // The sample coloured as vim colours it (a head in bold), and its outline:
  // a part chosen takes the editor to its head.
  egal("la tête en gras", await page.$eval(".cm-line:nth-child(10) span", (e) => getComputedStyle(e).fontWeight), "700");
  await page.focus("#plan");
  const parties = await page.$$eval("#plan option", (l) => l.slice(1).map((o) => o.textContent));
  egal("le plan", [parties.length, parties[1], parties.at(-1)], [8, ">Température:", "#Horloge vague:"]);
  await page.select("#plan", "21");
  egal("le plan mène au paragraphe", await page.evaluate(() => window.editeur.state.doc.lineAt(window.editeur.state.selection.main.head).number), 21);
  await page.click("#voir-climat");
  const dessin = () => page.$eval("#climat", (c) => [c.hidden, c.querySelectorAll(".bande").length,
    c.querySelectorAll("[data-precipitation]").length, c.querySelectorAll("[data-regle]").length]);
  egal("le climat de l'exemple", await dessin(), [false, 4, 7, 31]);
  const ligne_choisie = () => page.evaluate(() => window.editeur.state.doc.lineAt(window.editeur.state.selection.main.head).number);
  await page.click('#climat [data-regle][data-ligne="62"] text');
  egal("une flèche mène à sa règle", await ligne_choisie(), 62);
  await page.focus('#climat [data-saison="3"]');
  await page.keyboard.press("Enter");
  egal("une saison, par Entrée, à sa ligne", await ligne_choisie(), 51);
  const fiches = path.join(temporaire, "fiches");
  fs.mkdirSync(fiches);
  const cdp_fiche = await page.createCDPSession();
  await cdp_fiche.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: fiches });
  await page.click("#telecharger-fiche");
  egal("la fiche de la page", await telecharge(path.join(fiches, "climat.fiche.html"),
                                                fs.readFileSync(path.join(racine, "exemples/climat.fiche.html"))), 0);
  await page.evaluate(() => {
    const fin = window.editeur.state.doc.line(66).to;
    window.editeur.dispatch({ changes: { from: fin, insert: "\n7=1/\\6." } });
  });
  await page.waitForFunction(() => document.querySelectorAll("#climat [data-regle]").length === 33, { timeout: 0 })
    .catch(() => fautes.push("la règle tapée n'est pas dessinée"));
  await page.click("#voir-climat");
  egal("retour aux constats", await page.$eval("#climat", (c) => c.hidden), true);
  // A character Latin-1 lacks is an error of the line's total too.
  await page.evaluate(() => window.editeur.dispatch({ changes: { from: window.editeur.state.doc.line(12).to, insert: "\u20ac" } }));
  await page.waitForSelector(".constat[data-code=CL801]", { timeout: 0 }).catch(() => {});
  egal("un caractère hors de Latin-1 à sa ligne et sa colonne",
       await page.$eval(".constat[data-code=CL801]", (e) => [e.dataset.ligne, e.dataset.colonne]), ["12", "13"]);
  egal("un caractère hors de Latin-1 au bilan", await page.$eval("#bilan", (e) => e.textContent), "1 erreur, 0 avertissement.");
  await page.evaluate(() => {
    const fin = window.editeur.state.doc.line(12).to;
    window.editeur.dispatch({ changes: { from: fin - 1, to: fin } });
  });

  // Hover on the 7 of "4=[p5+v4-5]4/\7%%30/70." (line 62), and completion
  // after "2=[v" typed on a new line: the winds with their names (the
  // sample still open, a rule added after line 66).
  const { x, y } = await page.evaluate(async () => {
    const position = window.editeur.state.doc.line(62).from + 14;
    window.editeur.dispatch({ selection: { anchor: position }, scrollIntoView: true });
    await new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)));
    const c = window.editeur.coordsAtPos(position);
    return { x: c.left + 2, y: (c.top + c.bottom) / 2 };
  });
  await page.mouse.move(x, y);
  const survol = await page.waitForSelector(".survol", { timeout: 0 }).then((e) => e.evaluate((d) => d.textContent))
    .catch(() => "");
  egal("survol d'un nombre", survol.includes("7:t-4:f7:Orage"), true);
  await page.mouse.move(0, 0);
  await page.evaluate(() => window.editeur.dispatch({ selection: { anchor: window.editeur.state.doc.line(57).to } }));
  await page.focus(".cm-content");
  await page.keyboard.press("Enter");
  await page.keyboard.type("2=[v");
  // The list may first show what "2=" called for, before the last keys
  // reach the editor: the list for "[v" is waited for.
  const proposees = await page.waitForFunction(() => document.querySelector(".cm-tooltip-autocomplete .cm-completionLabel")?.textContent.startsWith("v"),
                                               { timeout: 0 })
    .then(() => page.$$eval(".cm-completionLabel", (l) => l.map((e) => e.textContent))).catch(() => []);
  egal("complétion des vents", proposees, ["v1", "v2", "v3", "v4", "v5"]);

  // Every fix, then the file saved: the bytes of verifie_climat --corrige.
  const corrige = path.join(temporaire, "corrige", "climat_avec_erreurs.txt");
  fs.mkdirSync(path.dirname(corrige));
  fs.copyFileSync(erreurs, corrige);
  fs.copyFileSync(erreurs, path.join(temporaire, "corrige", "encore.txt"));
  spawnSync(verifie_climat, ["--corrige", corrige], { stdio: "ignore" });
  await ouvre(erreurs);
  await page.waitForFunction(() => !document.querySelector("#tout-corriger").disabled);
  // The fixes are made beside the page: the text changes when they come.
  const avant_corrections = await page.evaluate(() => window.editeur.state.doc.toString());
  await page.click("#tout-corriger");
  await page.waitForFunction((t) => window.editeur.state.doc.toString() !== t, { timeout: 0 }, avant_corrections)
    .catch(() => fautes.push("tout corriger n'a rien changé"));
  const telechargements = path.join(temporaire, "telechargements");
  fs.mkdirSync(telechargements);
  const cdp = await page.createCDPSession();
  await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: telechargements });
  await page.click("#telecharger");
  egal("tout corriger puis enregistrer",
       await telecharge(path.join(telechargements, "climat_avec_erreurs.txt"), fs.readFileSync(corrige)), 0);
  // It says how many fixes it made (as many as --corrige) and shows them;
  // one undo takes them all back.
  const faites = /(\d+) corrections, il reste/.exec(spawnSync(verifie_climat, ["--corrige", path.join(temporaire, "corrige", "encore.txt")],
                                                            { encoding: "utf8", input: "" }).stderr || "");
  egal("le compte des corrections", await page.$eval("#changements summary", (e) => e.textContent.split(" ")[0]),
       String(faites ? faites[1] : "?"));
  // The changes shown are verifie_climat's diff without its two lines of names.
  const diff = spawnSync(verifie_climat, ["--format=diff", erreurs]).stdout.toString("latin1").split("\n").slice(2);
  egal("les changements montrés", await page.$eval("#changements pre", (e) => e.textContent),
       diff.filter((l) => l !== "").map((l) => l + "\n").join(""));
  await page.focus(".cm-content");
  await page.keyboard.down("Control");
  await page.keyboard.press("z");
  await page.keyboard.up("Control");
  egal("un seul Ctrl-Z défait tout", await page.evaluate(() => window.editeur.state.doc.toString()) === fs.readFileSync(erreurs).toString("latin1"), true);

  // A NUL byte and bytes Latin-1 maps to control characters after a slip:
  // every fix, then the file saved, keeps every byte after them.
  const nul = path.join(temporaire, "nul", "nul.txt");
  fs.mkdirSync(path.dirname(nul));
  const lignes_ref = fs.readFileSync(path.join(racine, "exemples/climat.txt")).toString("latin1").split("\n");
  const regle = lignes_ref.findIndex((l) => l.startsWith("1=") && l.endsWith("."));
  lignes_ref[regle] = lignes_ref[regle].slice(0, -1);
  lignes_ref[lignes_ref.length - 2] += "\0\x85\x9f fin";
  fs.writeFileSync(nul, Buffer.from(lignes_ref.join("\n"), "latin1"));
  const nul_corrige = path.join(temporaire, "nul", "corrige.txt");
  fs.copyFileSync(nul, nul_corrige);
  spawnSync(verifie_climat, ["--corrige", nul_corrige], { stdio: "ignore" });
  await ouvre(nul);
  await page.waitForFunction(() => !document.querySelector("#tout-corriger").disabled);
  await page.click("#tout-corriger");
  await page.waitForFunction(() => document.querySelector("#bilan").textContent === "Aucun constat.", { timeout: 0 })
    .catch(() => fautes.push("tout corriger n'a rien corrigé dans le fichier au NUL"));
  await page.click("#telecharger");
  egal("octet NUL gardé", await telecharge(path.join(telechargements, "nul.txt"), fs.readFileSync(nul_corrige)), 0);
  egal("la correction a ajouté le point", fs.readFileSync(nul_corrige).length, fs.readFileSync(nul).length + 1);

  // A file saved in UTF-8: said so, and converted, it is the Latin-1 file.
  const latin1 = fs.readFileSync(path.join(racine, "exemples/climat.txt"));
  const utf8 = path.join(temporaire, "utf8", "climat.txt");
  fs.mkdirSync(path.dirname(utf8));
  fs.writeFileSync(utf8, Buffer.from(latin1.toString("latin1"), "utf8"));
  await ouvre(utf8);
  egal("UTF-8 reconnu", await page.$eval("#utf8", (e) => !e.hidden), true);
  await page.click("#convertir");
  fs.rmSync(path.join(telechargements, "climat.txt"), { force: true });
  await page.click("#telecharger");
  egal("UTF-8 converti", await telecharge(path.join(telechargements, "climat.txt"), latin1), 0);
  egal("UTF-8 converti, sans constat", await constats(), []);

  // The figures: opening and keystrokes, on the sample and on 10,000 lines.
  const lignes = latin1.toString("latin1").split("\n");
  const i = lignes.indexOf(">Causes des précipitations:") + 1;
  const grand = path.join(temporaire, "grand", "dix_mille.txt");
  fs.mkdirSync(path.dirname(grand));
  fs.writeFileSync(grand, Buffer.from(
    [...lignes.slice(0, i), ...Array(10000 - lignes.length).fill("2=[t2-4+vb]1;t3,5/\\6."), ...lignes.slice(i)].join("\n"), "latin1"));
  const fautif = path.join(temporaire, "grand", "dix_mille_constats.txt");
  fs.writeFileSync(fautif, Buffer.from(
    [...lignes.slice(0, i), ...Array(10000 - lignes.length).fill("2=[t2-4+vb]1;t3,5/\\6"), ...lignes.slice(i)].join("\n"), "latin1"));
  const chiffres = {};
  for (const [nom, chemin] of [["exemples/climat.txt", path.join(racine, "exemples/climat.txt")], ["10 000 lignes", grand],
                               ["10 000 lignes, 19 842 constats", fautif]]) {
    await page.evaluate(() => { window.mesures = { ouverture: [], frappe: [], corrections: [], dessin: [], image: [], constats: [] }; });
    await ouvre(chemin);
    if (await page.$eval("#climat", (c) => c.hidden)) await page.click("#voir-climat");
    await page.click(".cm-line:nth-child(9)");
    await page.keyboard.press("End");
    for (let k = 0; k < 10; ++k) {
      const n = await page.evaluate(() => window.mesures.frappe.length);
      await page.keyboard.type("x");
      await page.waitForFunction((m) => window.mesures.frappe.length > m, {}, n);
      await page.keyboard.press("Backspace");
      await page.waitForFunction((m) => window.mesures.frappe.length > m + 1, {}, n);
    }
    await page.waitForFunction(() => window.mesures.dessin.length > 0);
    const m = await page.evaluate(() => window.mesures);
    chiffres[nom] = { ouverture: m.ouverture[0], frappe: mediane(m.frappe), dessin: mediane(m.dessin), image: mediane(m.image),
                      constats: mediane(m.constats) };
  }
  // A file of a mebibyte with a slip every ten rules: its fixes are asked
  // of the worker, beside the page, so the page keeps answering meanwhile.
  // How often a timer of the page fired while they were made, and the
  // page's longest task then, are figures only: a loaded machine may delay
  // any timer.
  const mega = path.join(temporaire, "grand", "un_mo.txt");
  const regles = [];
  for (let k = 0; regles.length * 22 < 1 << 20; ++k) regles.push("2=[t2-4+vb]1;t3,5/\\6" + (k % 10 ? "." : ""));
  fs.writeFileSync(mega, Buffer.from([...lignes.slice(0, i), ...regles, ...lignes.slice(i)].join("\n"), "latin1"));
  // (the climate view apart: it is drawn on the page, once the typing pauses)
  await page.click("#voir-climat");
  await page.evaluate(() => {
    window.mesures.corrections = [];
    window.envois = [];
    window.battements = [];
    window.longues = [];
    setInterval(() => window.battements.push(performance.now()), 20);
    new PerformanceObserver((l) => window.longues.push(...l.getEntries().map((e) => [e.startTime, e.duration])))
      .observe({ type: "longtask" });
  });
  await ouvre(mega);
  // A page that made the fixes itself would never ask its worker, and this
  // wait would not end; then comes the answer to that request.
  await page.waitForFunction(() => window.envois.some(([quoi]) => quoi === "climat_corrections"));
  const demande = await page.evaluate(() => window.envois.find(([quoi]) => quoi === "climat_corrections")[1]);
  await page.waitForFunction((t) => window.mesures.corrections.some(([, reponse]) => reponse > t), {}, demande);
  // Of its findings the page lists the first 1000, shown 100 at a time, and
  // offers a fix for the first 200.
  await page.waitForSelector(".corriger");
  while (await page.$("#montrer-plus")) await page.click("#montrer-plus");
  egal("un Mio : constats listés, corrections offertes", [await page.$$eval(".constat", (l) => l.length),
                                                         await page.$$eval(".corriger", (l) => l.length)], [1000, 200]);
  const { battements, plus_longue, duree } = await page.evaluate((t) => {
    const [envoi, reponse] = window.mesures.corrections.find(([, r]) => r > t);
    return { battements: window.battements.filter((b) => b > envoi && b < reponse).length, duree: reponse - envoi,
             plus_longue: Math.max(0, ...window.longues.filter(([d]) => d > envoi + 1 && d < reponse).map(([, longue]) => longue)) };
  }, demande);
  console.log(`un Mio : pendant les corrections, ${battements} battements de 20 ms de la page, sa tâche la plus longue ${plus_longue.toFixed(0)} ms`);
  console.log(`un Mio : corrections en ${duree.toFixed(0)} ms, à côté de la page`);

  const taille = fs.readdirSync(dossier).reduce((t, f) => t + fs.statSync(path.join(dossier, f)).size, 0);
  for (const [nom, c] of Object.entries(chiffres))
    console.log(`${nom} : ouverture ${c.ouverture.toFixed(1)} ms, frappe ${c.frappe.toFixed(1)} ms, dont le dessin du climat ${c.dessin.toFixed(1)} ms, de la touche à l'image ${c.image.toFixed(1)} ms, aux constats ${c.constats.toFixed(1)} ms (médianes de 20)`);
  console.log(`page entière : ${(taille / 1024).toFixed(0)} Kio`);
  egal("page de 1,5 Mo au plus", taille <= 1.5e6, true);

  // No serious or critical fault of accessibility (axe-core), a file open,
  // with the findings and with the climate drawn.
  await page.addScriptTag({ path: path.join(racine, "web/node_modules/axe-core/axe.min.js") });
  for (const vu of [false, true]) {
    if (vu) await page.click("#voir-climat");
    egal(`axe-core, ${vu ? "le climat" : "les constats"}`, await page.evaluate(async () =>
      (await axe.run(document)).violations.filter((v) => ["serious", "critical"].includes(v.impact)).map((v) => `${v.id} ${v.nodes[0].target}`)), []);
  }
  await page.click("#voir-climat");

  // Any screen: on a phone the editor takes the full width, the findings
  // come under it, the header stays one line, and every button is at least
  // 40 px high; on a desktop the findings are beside the editor.
  for (const [largeur, hauteur] of [[390, 844], [1366, 800]]) {
    await page.setViewport({ width: largeur, height: hauteur });
    const m = await page.evaluate(() => {
      const r = (s) => document.querySelector(s).getBoundingClientRect();
      const boutons = [...document.querySelectorAll("header button, #ouvrir, .navigation button")].map((b) => b.getBoundingClientRect().height);
      return { editeur: r("#editeur").width, entete: r("header").height, dessous: r("aside").top >= r("#editeur").bottom - 1,
               boutons: Math.min(...boutons) };
    });
    egal(`écran de ${largeur} px`, [m.editeur >= (largeur < 800 ? largeur - 1 : largeur / 2), m.entete < 70, m.dessous, m.boutons >= 40],
         [true, true, largeur < 800, true]);
  }
  await page.setViewport({ width: 1280, height: 800 });

  if (capture) {
    await ouvre(erreurs);
    await page.waitForFunction(() => !document.querySelector("#tout-corriger").disabled);
    await page.click(".constat:nth-child(5)");
    await page.screenshot({ path: capture });
  }
} finally {
  await navigateur.close();
  fs.rmSync(temporaire, { recursive: true, force: true });
}
console.log(fautes.join("\n") || "page conforme");
process.exit(fautes.length ? 1 : 0);
