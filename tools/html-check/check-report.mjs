// Opens tarn-replay's HTML report in Debian's headless Chromium and checks
// it as a reader would meet it:
//   node tools/html-check/check-report.mjs PAGE REPORT_JSON [--screenshot FILE.png]
// - the page logs no error and asks the network for nothing (every request
//   but the page itself is refused and counted);
// - the screenshot shows plots: enough of the page is drawn, in the
//   plots' colours, and every figure's paths have points (one unbroken
//   line per series when no frame is degenerate);
// - every number and text marked data-json in the page equals the JSON
//   report's value at that pointer, rounded to the digits shown, and no
//   digit stands in the prose outside them (axis ticks inside the plots
//   are scales, not figures);
// - prints the page's size and the time from navigation to load.
// Prints one line per failure and exits 1 when there is any.
import fs from "node:fs";
import path from "node:path";
import { chromium } from "playwright-core";
import { PNG } from "pngjs";

const [pagePath, jsonPath, ...rest] = process.argv.slice(2);
if (!pagePath || !jsonPath) {
  console.error("usage: node check-report.mjs PAGE REPORT_JSON [--screenshot FILE.png]");
  process.exit(2);
}
const screenshotPath = rest[0] === "--screenshot" ? rest[1] : null;
const report = JSON.parse(fs.readFileSync(jsonPath, "utf8"));
const url = "file://" + path.resolve(pagePath);
let failures = 0;
const fail = (what) => {
  failures++;
  console.log(`FAIL ${path.basename(pagePath)}: ${what}`);
};

const browser = await chromium.launch({ executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium", args: ["--no-sandbox"] });
const page = await browser.newPage({ viewport: { width: 960, height: 900 } });
const errors = [];
const requests = [];
page.on("console", (message) => message.type() === "error" && errors.push(message.text()));
page.on("pageerror", (error) => errors.push(error.message));
await page.route("**/*", (route) => {
  if (route.request().url() === url) return route.continue();
  requests.push(route.request().url());
  return route.abort();
});
await page.goto(url, { waitUntil: "load" });
const loadMs = await page.evaluate(() => {
  const [entry] = performance.getEntriesByType("navigation");
  return entry.loadEventEnd - entry.startTime;
});
if (errors.length) fail(`the page logged errors: ${errors.join("; ")}`);
if (requests.length) fail(`the page asked the network for: ${requests.join(" ")}`);

// The plots are drawn: each figure has a path with points, and the
// screenshot holds the series' colours over a fair share of its pixels.
const figures = await page.$$eval("figure svg", (svgs) =>
  svgs.map((svg) => ({ title: svg.querySelector("title")?.textContent ?? "", points: [...svg.querySelectorAll("path")]
    .reduce((n, p) => n + (p.getAttribute("d")?.match(/[ML]/g)?.length ?? 0), 0),
    breaks: [...svg.querySelectorAll("path")].map((p) => (p.getAttribute("d")?.match(/M/g)?.length ?? 0) - 1) })));
if (figures.length === 0) fail("no figure");
for (const f of figures)
  if (f.points === 0 && !/Lost and missing/.test(f.title)) fail(`figure "${f.title}" draws nothing`);
// The checked sessions have no gaps in time, so without degenerate frames
// every series is one unbroken line, however short the session.
if (report.quality.degenerate_frames.length === 0)
  for (const f of figures)
    if (f.breaks.some((n) => n > 0)) fail(`figure "${f.title}" breaks a line where no frame is missing`);
const shot = await page.screenshot({ fullPage: true });
const png = PNG.sync.read(shot);
let drawn = 0;
let coloured = 0;
for (let i = 0; i < png.data.length; i += 4) {
  const [r, g, b] = [png.data[i], png.data[i + 1], png.data[i + 2]];
  if (r < 245 || g < 245 || b < 245) drawn++;
  if (Math.abs(r - 0x00) < 40 && Math.abs(g - 0x72) < 40 && Math.abs(b - 0xb2) < 40) coloured++;
}
const pixels = png.width * png.height;
if (drawn < pixels * 0.02) fail(`the screenshot is nearly blank (${drawn} of ${pixels} pixels drawn)`);
if (coloured < 200) fail(`the screenshot shows hardly any plotted series (${coloured} pixels in the series' blue)`);
if (screenshotPath) await page.locator("#drift").screenshot({ path: screenshotPath });

// Every marked figure is the report's, as shown.
const marked = await page.$$eval("[data-json]", (elements) => elements.map((e) => [e.dataset.json, e.textContent]));
const at = (pointer) => pointer.split("/").slice(1).reduce((v, key) => v?.[key.replace(/~1/g, "/").replace(/~0/g, "~")], report);
for (const [pointer, shown] of marked) {
  const value = at(pointer);
  if (typeof value === "number") {
    const digits = (shown.split(".")[1] ?? "").length;
    if (Number(shown) !== Number(value.toFixed(digits))) fail(`${pointer}: shows ${shown}, the report has ${value}`);
  } else if (value !== shown) {
    fail(`${pointer}: shows "${shown}", the report has ${JSON.stringify(value)}`);
  }
}
const unmarked = await page.evaluate(() => {
  const found = [];
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let node = walker.nextNode(); node; node = walker.nextNode()) {
    if (node.parentElement.closest("svg, header, [data-json]")) continue;
    if (/\d/.test(node.textContent)) found.push(node.textContent.trim());
  }
  return found;
});
for (const text of unmarked) fail(`a number not from the report: "${text}"`);

await browser.close();
const bytes = fs.statSync(pagePath).size;
console.log(`${path.basename(pagePath)}: ${(bytes / 1024).toFixed(0)} KiB, loaded in ${loadMs.toFixed(0)} ms, ` +
            `${figures.length} figures, ${marked.length} figures of the report in its text` +
            (failures ? `, ${failures} failed` : ", passed"));
process.exit(failures ? 1 : 0);
