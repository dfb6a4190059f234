// Checks the Unity package tarball that tools/build-unity-package.sh made:
//   node tools/check-unity-package.mjs TARBALL SOURCE_DIR VERSION
// - the tarball holds exactly the package: every file of SOURCE_DIR
//   (bindings/csharp/package, .meta files byte for byte, so GUIDs stay as
//   committed) plus the native library beside each plugin .meta;
// - package.json and every .asmdef parse and hold the fields Unity needs;
// - every file and folder Unity imports has exactly one .meta, and no .meta
//   is left without its asset; every GUID is well formed and unique;
// - every scene and prefab is text-serialised, its objects' file IDs are
//   unique, each reference within it is found, and each GUID it names is
//   the package's or one of Unity's built-in ones;
// - each native library is the binary its folder names (PE or ELF, x86-64)
//   and its .meta enables it for exactly its editor and player platform;
// - each library names every function the package's C# imports from it.
// Prints one line per failure and "N passed, N failed".
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";

const [tarball, sourceDir, version] = process.argv.slice(2);
if (!tarball || !sourceDir || !version) {
  console.error("usage: node tools/check-unity-package.mjs TARBALL SOURCE_DIR VERSION");
  process.exit(2);
}

let passed = 0;
let failed = 0;
function check(what, ok, detail = "") {
  if (ok) passed++;
  else {
    failed++;
    console.log(`FAIL ${what}${detail ? ": " + detail : ""}`);
  }
}

function walk(dir, base = dir, out = []) {
  for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
    const full = path.join(dir, entry.name);
    out.push({ rel: path.relative(base, full).split(path.sep).join("/"), dir: entry.isDirectory() });
    if (entry.isDirectory()) walk(full, base, out);
  }
  return out;
}

// ---- The tarball holds exactly the package --------------------------------

const listing = execFileSync("tar", ["-tzf", tarball], { encoding: "utf8" }).split("\n").filter(Boolean);
check("every tarball entry is under package/", listing.every((e) => e.startsWith("package/")),
      listing.filter((e) => !e.startsWith("package/")).join(" "));
const unpacked = fs.mkdtempSync(path.join(os.tmpdir(), "unity-package-"));
execFileSync("tar", ["-xzf", tarball, "-C", unpacked]);
const root = path.join(unpacked, "package");
const shipped = walk(root);
const shippedFiles = new Set(shipped.filter((e) => !e.dir).map((e) => e.rel));

const libraryFolders = { "Runtime/Plugins/Windows/x86_64": "Windows", "Runtime/Plugins/Linux/x86_64": "Linux" };
const sourceFiles = walk(sourceDir).filter((e) => !e.dir).map((e) => e.rel);
const libraries = sourceFiles.filter((f) => /\.(dll|so)\.meta$/.test(f)).map((f) => f.slice(0, -5));
const expected = new Set([...sourceFiles, ...libraries]);
const missing = [...expected].filter((f) => !shippedFiles.has(f));
const extra = [...shippedFiles].filter((f) => !expected.has(f));
check("tarball holds every file of the package", missing.length === 0, missing.join(" "));
check("tarball holds nothing else", extra.length === 0, extra.join(" "));
check("the package ships both libraries for both platforms", libraries.length === 4, libraries.join(" "));
for (const f of sourceFiles.filter((f) => shippedFiles.has(f))) {
  check(`${f} shipped as committed`,
        fs.readFileSync(path.join(root, f)).equals(fs.readFileSync(path.join(sourceDir, f))));
}

// ---- package.json and the assembly definitions -----------------------------

function readJson(file) {
  try {
    return JSON.parse(fs.readFileSync(file, "utf8"));
  } catch (e) {
    check(`${path.basename(file)} parses`, false, e.message);
    return {};
  }
}
const manifest = readJson(path.join(root, "package.json"));
check("package.json name is reverse-domain, lower case, at most 50 characters",
      /^com\.[a-z0-9_-]+(\.[a-z0-9_-]+)+$/.test(manifest.name ?? "") && manifest.name.length <= 50, manifest.name);
check("package.json version is the project's", manifest.version === version, `${manifest.version} vs ${version}`);
check("package.json unity is a minimum editor version", /^\d{4}\.\d+$/.test(manifest.unity ?? ""), manifest.unity);
for (const field of ["displayName", "description"]) {
  check(`package.json ${field}`, typeof manifest[field] === "string" && manifest[field].trim().length > 0);
}
const samples = Array.isArray(manifest.samples) ? manifest.samples : [];
check("package.json lists samples", samples.length > 0);
for (const sample of samples) {
  check(`sample ${sample.displayName}: displayName, description, a folder under Samples~`,
        typeof sample.displayName === "string" && typeof sample.description === "string" &&
          /^Samples~\/[^/]+$/.test(sample.path ?? "") && fs.statSync(path.join(root, sample.path), { throwIfNoEntry: false })?.isDirectory());
}
for (const doc of ["README.md", "CHANGELOG.md", "LICENSE.md"]) check(`${doc} shipped`, shippedFiles.has(doc));
check("Documentation~ shipped", shipped.some((e) => e.rel.startsWith("Documentation~/")));

const asmdefs = [...shippedFiles].filter((f) => f.endsWith(".asmdef"));
check("Runtime has an assembly definition", asmdefs.some((f) => /^Runtime\/[^/]+\.asmdef$/.test(f)), asmdefs.join(" "));
for (const f of asmdefs) {
  const a = readJson(path.join(root, f));
  check(`${f}: name is the file's`, a.name === path.basename(f, ".asmdef"), a.name);
  check(`${f}: references and platform lists are arrays`,
        ["references", "includePlatforms", "excludePlatforms"].every((k) => Array.isArray(a[k])));
  check(`${f}: at most one of includePlatforms and excludePlatforms`,
        !(a.includePlatforms?.length && a.excludePlatforms?.length));
  check(`${f}: auto-referenced, no unsafe code`, a.autoReferenced === true && a.allowUnsafeCode === false);
}

// ---- .meta files and GUIDs --------------------------------------------------

// Unity imports everything but folders whose names end in "~". A sample's
// contents are imported once the user imports the sample, so they carry
// their .meta files too (not the Samples~ folder or the sample's own).
function imported(rel) {
  const parts = rel.split("/");
  const hidden = parts.findIndex((p) => p.endsWith("~"));
  if (hidden < 0) return true;
  return parts[0] === "Samples~" && hidden === 0 && parts.length >= 3;
}
const guids = new Map();
for (const entry of shipped) {
  if (entry.rel.endsWith(".meta")) {
    const asset = entry.rel.slice(0, -5);
    check(`${entry.rel} has its asset`, shipped.some((e) => e.rel === asset) && imported(asset));
    const text = fs.readFileSync(path.join(root, entry.rel), "utf8");
    const guid = /^guid: ([0-9a-f]{32})$/m.exec(text)?.[1];
    check(`${entry.rel}: format 2 and a 32-digit GUID`, text.startsWith("fileFormatVersion: 2\n") && !!guid);
    const folder = shipped.find((e) => e.rel === asset)?.dir;
    check(`${entry.rel}: folderAsset matches`, /^folderAsset: yes$/m.test(text) === !!folder);
    if (guid) {
      check(`${entry.rel}: GUID unique`, !guids.has(guid), guids.get(guid));
      guids.set(guid, entry.rel);
    }
    continue;
  }
  if (!imported(entry.rel)) continue;
  const metas = shipped.filter((e) => e.rel.toLowerCase() === `${entry.rel}.meta`.toLowerCase());
  check(`${entry.rel} has exactly one .meta`, metas.length === 1, `${metas.length}`);
}

// ---- Scenes and prefabs -------------------------------------------------------

// Unity's own assets a scene or prefab may name (the built-in resources).
const builtInGuids = new Set(["0000000000000000e000000000000000", "0000000000000000f000000000000000"]);
for (const entry of shipped.filter((e) => /\.(prefab|unity)$/.test(e.rel))) {
  const text = fs.readFileSync(path.join(root, entry.rel), "utf8");
  check(`${entry.rel}: Unity's text serialisation`,
        text.startsWith("%YAML 1.1\n%TAG !u! tag:unity3d.com,2011:\n"));
  const anchors = [...text.matchAll(/^--- !u!\d+ &(\d+)$/gm)].map((m) => m[1]);
  check(`${entry.rel}: every object's file ID unique`, new Set(anchors).size === anchors.length);
  const local = [...text.matchAll(/\{fileID: (\d+)\}/g)].map((m) => m[1]).filter((id) => id !== "0");
  const dangling = local.filter((id) => !anchors.includes(id));
  check(`${entry.rel}: every reference within the file found`, dangling.length === 0, dangling.join(" "));
  const named = [...text.matchAll(/guid: ([0-9a-f]{32})/g)].map((m) => m[1]);
  const unknown = named.filter((g) => !guids.has(g) && !builtInGuids.has(g));
  check(`${entry.rel}: every GUID it names is the package's or Unity's`, unknown.length === 0, unknown.join(" "));
  check(`${entry.rel}: names the component's script`, named.some((g) => guids.get(g) === "Runtime/Unity/HandCalibrationRig.cs.meta"));
}

// ---- Native libraries and their platforms ----------------------------------

// platformData of a PluginImporter .meta: "Editor: Editor" -> { enabled, settings }.
function platforms(text) {
  const out = {};
  for (const chunk of text.split(/^  - first:\n/m).slice(1)) {
    const key = /^ {6}(.*?)\s*$/m.exec(chunk)[1].trim();
    const settings = {};
    for (const m of chunk.matchAll(/^ {8}([^:\n]+): (.*)$/gm)) settings[m[1]] = m[2].trim();
    out[key] = { enabled: /^ {6}enabled: 1$/m.test(chunk), settings };
  }
  return out;
}
function binaryKind(file) {
  const b = fs.readFileSync(file);
  if (b.subarray(0, 4).equals(Buffer.from([0x7f, 0x45, 0x4c, 0x46])))
    return b[4] === 2 && b.readUInt16LE(18) === 62 ? "Linux" : "ELF, not x86-64";
  if (b.subarray(0, 2).toString() === "MZ") {
    const pe = b.readUInt32LE(0x3c);
    return b.subarray(pe, pe + 4).equals(Buffer.from("PE\0\0", "binary")) && b.readUInt16LE(pe + 4) === 0x8664
      ? "Windows" : "PE, not x86-64";
  }
  return "unknown";
}
const standalone = { Windows: "Win64", Linux: "Linux64" };
for (const lib of libraries) {
  const os_ = libraryFolders[path.dirname(lib)];
  check(`${lib} is in a platform folder`, !!os_);
  if (!os_ || !shippedFiles.has(lib)) continue;
  check(`${lib} is an x86-64 ${os_} binary`, binaryKind(path.join(root, lib)) === os_, binaryKind(path.join(root, lib)));
  const text = fs.readFileSync(path.join(root, `${lib}.meta`), "utf8");
  check(`${lib}.meta is a PluginImporter`, /^PluginImporter:$/m.test(text));
  const p = platforms(text);
  const enabled = Object.keys(p).filter((k) => p[k].enabled).sort();
  const want = ["Editor: Editor", `Standalone: ${standalone[os_]}`];
  check(`${lib}: enabled for exactly the ${os_} editor and player`, JSON.stringify(enabled) === JSON.stringify(want),
        enabled.join(", "));
  const editor = p["Editor: Editor"]?.settings ?? {};
  check(`${lib}: editor on ${os_} x86_64`, editor.OS === os_ && editor.CPU === "x86_64", JSON.stringify(editor));
  check(`${lib}: player on x86_64`, p[`Standalone: ${standalone[os_]}`]?.settings.CPU === "x86_64");
  const any = p[": Any"]?.settings ?? {};
  check(`${lib}: excluded from every other platform`,
        Object.entries(any).filter(([k]) => k.startsWith("Exclude ")).every(
          ([k, v]) => v === (["Exclude Editor", `Exclude ${standalone[os_]}`].includes(k) ? "0" : "1")),
        JSON.stringify(any));
}

// ---- Entry points ----------------------------------------------------------

// Every function the package's C# imports is named in its library on both
// platforms (export tables hold names NUL-separated), so a library built
// before a function was added fails here, not in a player with
// EntryPointNotFoundException.
for (const f of [...shippedFiles].filter((f) => f.endsWith(".cs"))) {
  const text = fs.readFileSync(path.join(root, f), "utf8");
  const library = /const string Library = "([^"]+)"/.exec(text)?.[1];
  const names = [...text.matchAll(/\[DllImport\(Library\b[^\]]*\]\s*(?:\w+\s+)*extern\s+\S+\s+(\w+)\s*\(/g)].map((m) => m[1]);
  if (!library || names.length === 0) continue;
  for (const lib of libraries.filter((l) => [`${library}.dll`, `lib${library}.so`].includes(path.basename(l)))) {
    if (!shippedFiles.has(lib)) continue;
    const binary = fs.readFileSync(path.join(root, lib));
    const absent = names.filter((name) => !binary.includes(Buffer.from(`\0${name}\0`, "latin1")));
    check(`${lib} exports the ${names.length} functions ${f} imports`, absent.length === 0, absent.join(" "));
  }
}

fs.rmSync(unpacked, { recursive: true, force: true });
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
